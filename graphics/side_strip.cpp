#include "graphics/side_strip.h"

#include "graphics/skin_pictures.h"

#include <cmath>

namespace zv {

SideStrip sideStrip;

platform::Twips SideStrip::pictureHeight() const {
    return scale.twips(scale.pixels(kSideStripPictureHeight));
}

void SideStrip::load() {
    if (!picture_ || pictureScale_ != scale) {
        picture_ = std::make_unique<platform::Bitmap>(makeSideStripPicture(scale));
        pictureScale_ = scale;
    }
}

void SideStrip::draw(platform::Surface& surface, int x) {
    load();
    const int y = static_cast<int>(std::lround(scale.exactPixels(pictureTop)));
    surface.blt(*picture_, x, y);
}

void SideStrip::unload() {
    picture_.reset();
}

} // namespace zv
