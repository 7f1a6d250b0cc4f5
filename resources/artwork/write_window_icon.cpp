// Writes the window icon file: the program's mark at 48, 32 and 16 pixels, 32-bit images with
// alpha. Built and run on the host by scripts/make-window-icon.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include "graphics/trigger_picture.h"

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// One icon image: a bitmap header of twice the height (colour image and mask), the BGRA rows
// bottom to top, then the 1-bit mask rows (padded to 32 bits) where set bits are transparent.
std::vector<std::uint8_t> iconImage(const zv::MarkImage& mark) {
    const int n = mark.size;
    const int maskStride = ((n + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(n));
    put32(out, static_cast<std::uint32_t>(2 * n));
    put16(out, 1);  // planes
    put16(out, 32); // bits per pixel
    put32(out, 0);  // no compression
    put32(out, static_cast<std::uint32_t>(n * n * 4 + n * maskStride));
    for (int i = 0; i < 4; ++i) {
        put32(out, 0); // resolution and palette fields, unused
    }
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const zv::Rgba p = mark.at(x, y);
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < n; ++x) {
            if (mark.at(x, y).a == 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_window_icon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[] = {48, 32, 16};
    std::vector<std::vector<std::uint8_t>> images;
    for (int size : sizes) {
        images.push_back(iconImage(zv::drawMark(size, zv::MarkCorners::Rounded)));
    }

    std::vector<std::uint8_t> file;
    put16(file, 0); // reserved
    put16(file, 1); // icon
    put16(file, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i])); // width
        file.push_back(static_cast<std::uint8_t>(sizes[i])); // height
        file.push_back(0);                                   // no palette
        file.push_back(0);                                   // reserved
        put16(file, 1);                                      // planes
        put16(file, 32);                                     // bits per pixel
        put32(file, static_cast<std::uint32_t>(images[i].size()));
        put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }

    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::fprintf(stderr, "write_window_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
