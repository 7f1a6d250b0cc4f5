#include "bitmap.h"

namespace zv::platform {

Bitmap::Bitmap(const Picture& picture) : impl_(std::make_unique<Impl>()) {
    Impl& b = *impl_;
    if (picture.width() <= 0 || picture.height() <= 0)
        return;
    b.width = picture.width();
    b.height = picture.height();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width();
    info.bmiHeader.biHeight = -picture.height(); // top-down rows, as the picture keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win32::UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!dib || !dc || !bits)
        return; // out of GDI resources: copies of this bitmap draw nothing
    const int stride = (picture.width() * 3 + 3) & ~3;
    auto* rows = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* p = rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb c = picture.at(x, y);
            *p++ = c.b;
            *p++ = c.g;
            *p++ = c.r;
        }
    }
    b.stride = stride;
    b.bits = rows;
    b.dib = std::move(dib);
    b.dc = std::move(dc);
    b.selection = win32::Selection(b.dc.get(), b.dib.get());
}

Bitmap::~Bitmap() = default;
Bitmap::Bitmap(Bitmap&&) noexcept = default;
Bitmap& Bitmap::operator=(Bitmap&&) noexcept = default;

int Bitmap::width() const {
    return impl_->width;
}
int Bitmap::height() const {
    return impl_->height;
}

Rgb Bitmap::pixel(int x, int y) const {
    const Impl& b = *impl_;
    if (!b.bits || x < 0 || y < 0 || x >= b.width || y >= b.height)
        return {};
    const std::uint8_t* p = b.bits +
                            static_cast<std::size_t>(y) * static_cast<std::size_t>(b.stride) +
                            static_cast<std::size_t>(x) * 3;
    return {p[2], p[1], p[0]};
}

} // namespace zv::platform
