#include "image.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace zv::e2e {

std::string Color::text() const {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", r, g, b);
    return text;
}

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        c ^= data[i];
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xffffffffu;
}

void chunk(Bytes& out, const char type[4], const Bytes& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + start, out.size() - start));
}

} // namespace

void writePng(const Image& image, const std::filesystem::path& path) {
    Bytes raw; // each row: filter byte 0, then the row's RGB
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x)
            raw.insert(raw.end(), {image.at(x, y).r, image.at(x, y).g, image.at(x, y).b});
    }
    Bytes zlib = {0x78, 0x01};
    for (std::size_t done = 0, length = 0; done < raw.size() || zlib.size() == 2; done += length) {
        length = std::min<std::size_t>(raw.size() - done, 65535);
        const auto n = static_cast<std::uint16_t>(length);
        // BFINAL on the last block, BTYPE 00 (stored), then LEN and NLEN.
        zlib.insert(zlib.end(), {std::uint8_t(done + length == raw.size()), std::uint8_t(n),
                                 std::uint8_t(n >> 8), std::uint8_t(~n), std::uint8_t(~n >> 8)});
        zlib.insert(zlib.end(), raw.begin() + std::ptrdiff_t(done),
                    raw.begin() + std::ptrdiff_t(done + length));
    }
    std::uint32_t a = 1, b = 0; // Adler-32 of the raw bytes
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32(zlib, b << 16 | a);

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}, header;
    put32(header, static_cast<std::uint32_t>(image.width));
    put32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlib);
    chunk(png, "IEND", {});
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace zv::e2e
