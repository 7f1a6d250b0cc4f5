#include "graphics/side_strip.h"

#include "graphics/skin_pictures.h"

#include <cmath>

namespace zv {

SideStrip sideStrip;

double SideStrip::pictureHeight() const {
    return scale.pixels(kSideStripPictureHeight) * scale.twipsPerPixel();
}

void SideStrip::load() {
    if (!window_)
        window_ = std::make_unique<platform::Window>(platform::WindowStyle::SideStrip, *this,
                                                     "Zelvora strip");
    if (!picture_ || pictureScale_ != scale) {
        picture_ = std::make_unique<platform::Bitmap>(makeSideStripPicture(scale));
        pictureScale_ = scale;
    }
}

void SideStrip::paint() {
    auto& surface = window_->surface();
    const int y = static_cast<int>(std::lround(pictureTop / scale.twipsPerPixel()));
    surface.blt(*picture_, 0, y);
    window_->present();
}

void SideStrip::show() {
    load();
    window_->place(static_cast<int>(std::lround(leftTwips)),
                   static_cast<int>(std::lround(topTwips)),
                   static_cast<int>(std::lround(widthTwips)),
                   static_cast<int>(std::lround(heightTwips)), scale);
    // Painted once shown, as the menus are: painted while hidden, it would be painted again by
    // the system when shown, before its pixels could reach the screen.
    window_->show();
    paint();
}

void SideStrip::hide() {
    if (window_)
        window_->hide();
}

bool SideStrip::visible() const {
    return window_ && window_->visible();
}

void SideStrip::unload() {
    window_.reset();
    picture_.reset();
}

} // namespace zv
