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
    int width = 0, height = 0;
    std::vector<Color> pixels;

    Image() = default;
    Image(int w, int h) : width(w), height(h), pixels(std::size_t(w) * h) {}
    // Throws outside the image.
    Color at(int x, int y) const {
        return pixels.at(x < 0 || x >= width ? pixels.size() : std::size_t(y) * width + x);
    }
    friend bool operator==(const Image&, const Image&) = default;
};

// Writes the image as a PNG, creating the folder; throws on failure.
void writePng(const Image& image, const std::filesystem::path& path);

} // namespace zv::e2e
