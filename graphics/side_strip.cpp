#include "graphics/side_strip.h"

#include "graphics/skin_pictures.h"

#include <cmath>

namespace zv {

SideStrip sideStrip;

double SideStrip::pictureHeight() const {
    return scale.pixels(kSideStripPictureHeight) * scale.twipsPerPixel();
}

void SideStrip::load() {
    if (!picture_ || pictureScale_ != scale) {
        picture_ = std::make_unique<platform::Bitmap>(makeSideStripPicture(scale));
        pictureScale_ = scale;
    }
}

void SideStrip::draw(platform::Surface& surface, int x) {
    load();
    const int y = static_cast<int>(std::lround(pictureTop / scale.twipsPerPixel()));
    surface.blt(*picture_, x, y);
}

void SideStrip::unload() {
    picture_.reset();
}

} // namespace zv
