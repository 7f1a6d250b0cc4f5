#include "headless.h"
#include "internal.h"

#include <algorithm>

namespace zv::headless {

Canvas::Canvas(int width, int height) {
    resize(width, height);
}

void Canvas::resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), Rgb{});
    texts_.clear();
}

Picture Canvas::snapshot() const {
    Picture picture(width_, height_, Rgb{});
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            picture.set(x, y, pixel(x, y));
    return picture;
}

void Canvas::put(int x, int y, Rgb colour) {
    x += originX_;
    y += originY_;
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = colour;
}

Rgb Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {};
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void Canvas::clear(Rgb colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour);
    texts_.clear();
}

void Canvas::setOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
}

void Canvas::fillRect(const Rect& r, Rgb colour) {
    // FillRect leaves out the right and bottom edges and draws nothing for an inverted rectangle.
    const int left = std::max(r.left, -originX_), right = std::min(r.right, width_ - originX_);
    const int top = std::max(r.top, -originY_), bottom = std::min(r.bottom, height_ - originY_);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            put(x, y, colour);
}

void Canvas::blt(const platform::Bitmap& source, int x, int y) {
    for (int sy = 0; sy < source.height(); ++sy)
        for (int sx = 0; sx < source.width(); ++sx)
            put(x + sx, y + sy, source.pixel(sx, sy));
}

void Canvas::bltTransparent(const platform::Bitmap& source, int x, int y, Rgb key) {
    for (int sy = 0; sy < source.height(); ++sy)
        for (int sx = 0; sx < source.width(); ++sx) {
            const Rgb c = source.pixel(sx, sy);
            if (c != key)
                put(x + sx, y + sy, c);
        }
}

void Canvas::setFont(const std::string& face, int points) {
    face_ = face;
    points_ = points;
}

void Canvas::setBold(bool bold) {
    bold_ = bold;
}

void Canvas::setTextColour(Rgb colour) {
    textColour_ = colour;
}

void Canvas::drawText(const Rect& r, const std::string& text, unsigned format) {
    texts_.push_back({text, r, format, textColour_, bold_, face_, points_});
}

void Canvas::drawIcon(platform::IconHandle icon, int x, int y, int size) {
    if (!icon || size <= 0)
        return;
    const IconImage* image = iconImage(icon);
    if (!image) {
        detail::fault("drawIcon: the icon is not live");
        return;
    }
    // DrawIconEx stretches the image to the size asked for; nearest pixel is close enough here.
    for (int dy = 0; dy < size; ++dy)
        for (int dx = 0; dx < size; ++dx) {
            const int sx = dx * image->size / size, sy = dy * image->size / size;
            if (image->opaqueAt(sx, sy))
                put(x + dx, y + dy, image->at(sx, sy));
        }
}

} // namespace zv::headless
