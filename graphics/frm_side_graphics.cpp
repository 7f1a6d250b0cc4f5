#include "graphics/frm_side_graphics.h"

#include "graphics/skin_pictures.h"
#include "platform/screen.h"

#include <cmath>

namespace zv {

FrmSideGraphics frmSideGraphics;

double FrmSideGraphics::sgHeight() const {
    return static_cast<double>(kSideGraphicHeight) * platform::screen().twipsPerPixelY;
}

void FrmSideGraphics::load() {
    if (!window_)
        window_ = std::make_unique<platform::Window>(platform::WindowStyle::SideStrip, *this,
                                                     "Zelvora strip");
    if (!sg_)
        sg_ = std::make_unique<platform::Bitmap>(makeSideGraphic());
}

void FrmSideGraphics::paint() {
    auto& surface = window_->surface();
    const int y = static_cast<int>(std::lround(sgTop / platform::screen().twipsPerPixelY));
    surface.blt(*sg_, 0, y);
    window_->present();
}

void FrmSideGraphics::show() {
    load();
    window_->place(static_cast<int>(std::lround(Left)), static_cast<int>(std::lround(Top)),
                   static_cast<int>(std::lround(Width)), static_cast<int>(std::lround(Height)));
    // Painted once shown, as the menus are: painted while hidden, it would be painted again by
    // the system when shown, before its pixels could reach the screen.
    window_->show();
    paint();
}

void FrmSideGraphics::hide() {
    if (window_)
        window_->hide();
}

bool FrmSideGraphics::visible() const {
    return window_ && window_->visible();
}

void FrmSideGraphics::unload() {
    window_.reset();
    sg_.reset();
}

} // namespace zv
