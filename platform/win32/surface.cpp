#include "surface.h"

#include "bitmap.h"
#include "font.h"
#include "utf16.h"

#include <algorithm>
#include <utility>

namespace zv::win32 {

GdiSurface::GdiSurface() : image_(std::make_unique<Image>()) {
    image_->dc = UniqueDC(CreateCompatibleDC(nullptr));
}

GdiSurface::~GdiSurface() = default;

void GdiSurface::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    auto fresh = std::make_unique<Image>();
    fresh->dc = UniqueDC(CreateCompatibleDC(nullptr));
    if (fresh->dc && width > 0 && height > 0) {
        // Compatible with the screen, not with the memory DC, which would make it monochrome.
        WindowDC screen(nullptr);
        fresh->bitmap = UniqueBitmap(CreateCompatibleBitmap(screen.get(), width, height));
        if (fresh->bitmap) {
            fresh->bitmapSelection = Selection(fresh->dc.get(), fresh->bitmap.get());
            RECT all{0, 0, width, height};
            FillRect(fresh->dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
    }
    if (fresh->dc && selected_)
        fresh->fontSelection = Selection(fresh->dc.get(), selected_);
    if (!fresh->bitmap)
        width = height = 0;
    image_ = std::move(fresh);
    width_ = width;
    height_ = height;
}

void GdiSurface::resizeCentred(int width, int height, Rgb background) {
    const std::unique_ptr<Image> before = std::move(image_);
    const int beforeWidth = width_, beforeHeight = height_;
    resize(width, height);
    clear(background);
    if (before && before->bitmap && width_ > 0)
        BitBlt(dc(), (width_ - beforeWidth) / 2, (height_ - beforeHeight) / 2, beforeWidth,
               beforeHeight, before->dc.get(), 0, 0, SRCCOPY);
}

void GdiSurface::copyTo(HDC target) const {
    if (width_ > 0 && height_ > 0)
        BitBlt(target, 0, 0, width_, height_, dc(), 0, 0, SRCCOPY);
}

void GdiSurface::setOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
}

void GdiSurface::clear(Rgb colour) {
    fillRect({-originX_, -originY_, width_ - originX_, height_ - originY_}, colour);
}

void GdiSurface::fillRect(const Rect& r, Rgb colour) {
    UniqueBrush brush(CreateSolidBrush(colourRef(colour)));
    if (!brush)
        return;
    RECT rc = shifted(r);
    FillRect(dc(), &rc, brush.get());
}

void GdiSurface::blt(const platform::Bitmap& source, int x, int y) {
    if (HDC from = source.impl().source())
        BitBlt(dc(), x + originX_, y + originY_, source.width(), source.height(), from, 0, 0,
               SRCCOPY);
}

void GdiSurface::bltTransparent(const platform::Bitmap& source, int x, int y, Rgb key) {
    if (HDC from = source.impl().source())
        GdiTransparentBlt(dc(), x + originX_, y + originY_, source.width(), source.height(), from,
                          0, 0, source.width(), source.height(), colourRef(key));
}

void GdiSurface::setFont(const std::string& face, int points) {
    face_ = face;
    points_ = points;
}

void GdiSurface::setBold(bool bold) {
    bold_ = bold;
}

void GdiSurface::setTextColour(Rgb colour) {
    textColour_ = colour;
}

void GdiSurface::useFont() {
    if (face_.empty())
        return; // no font asked for yet: the device context's own
    if (face_ != fontFace_ || points_ != fontPoints_ || dpi_ != fontDpi_) {
        // Put the old fonts out of the DC before they are deleted.
        image_->fontSelection.restore();
        selected_ = nullptr;
        fonts_ = {};
        fontFace_ = face_;
        fontPoints_ = points_;
        fontDpi_ = dpi_;
    }
    UniqueFont& font = fonts_[bold_ ? 1 : 0];
    if (!font) {
        font = makeFont(face_, points_, bold_, dpi_);
        if (!font)
            return; // keep drawing with the font there is
    }
    if (selected_ == font.get())
        return;
    image_->fontSelection.restore();
    image_->fontSelection = Selection(dc(), font.get());
    selected_ = image_->fontSelection.active() ? font.get() : nullptr;
}

void GdiSurface::drawText(const Rect& r, const std::string& text, unsigned format) {
    useFont();
    SetBkMode(dc(), TRANSPARENT);
    SetTextColor(dc(), colourRef(textColour_));
    RECT rc = shifted(r);
    const std::wstring wide = toUtf16(text);
    DrawTextW(dc(), wide.c_str(), static_cast<int>(wide.size()), &rc, format);
}

void GdiSurface::drawIcon(platform::IconHandle icon, int x, int y, int size) {
    if (icon)
        DrawIconEx(dc(), x + originX_, y + originY_, static_cast<HICON>(const_cast<void*>(icon)),
                   size, size, 0, nullptr, DI_NORMAL);
}

Rgb GdiSurface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    const COLORREF c = GetPixel(dc(), x, y);
    if (c == CLR_INVALID)
        return {};
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

} // namespace zv::win32
