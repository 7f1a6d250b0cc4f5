#include "image.h"

#include <png.h>

#include <cstdio>
#include <stdexcept>

namespace zv::e2e {

std::string Color::text() const {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", r, g, b);
    return text;
}

void writePng(const Image& image, const std::filesystem::path& path) {
    static_assert(sizeof(Color) == 3, "pixels are handed to libpng as packed RGB");
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr))
        throw std::runtime_error("cannot write " + path.string() + ": " + png.message);
}

} // namespace zv::e2e
