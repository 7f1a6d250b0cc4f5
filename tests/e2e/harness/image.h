// Screen pixels as the tests see them, and a PNG writer for failure screenshots.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zv::e2e {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
    std::string text() const; // "#rrggbb"
};

// 24-bit RGB, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // width * height * 3

    Image() = default;
    Image(int w, int h, Color fill = {});
    Color at(int x, int y) const;
    void set(int x, int y, Color color);
    // How many pixels have exactly this colour.
    long count(Color color) const;
    friend bool operator==(const Image&, const Image&) = default;
};

std::uint32_t crc32(const std::uint8_t* data, std::size_t size);
std::uint32_t adler32(const std::uint8_t* data, std::size_t size);

// The PNG file's bytes (colour type 2, stored deflate blocks: large but needs no library).
std::vector<std::uint8_t> encodePng(const Image& image);
// Writes the PNG, creating the folder; throws on failure.
void writePng(const Image& image, const std::filesystem::path& path);

} // namespace zv::e2e
