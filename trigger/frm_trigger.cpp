#include "trigger/frm_trigger.h"

#include "core/app.h"
#include "core/app_state.h"
#include "graphics/frm_side_graphics.h"
#include "graphics/trigger_picture.h"
#include "menus/frm_menu.h"
#include "platform/message_box.h"
#include "platform/screen.h"
#include "trigger/app_lost_focus.h"

#include <cmath>

namespace zv {

FrmTrigger frmTrigger;

void FrmTrigger::load() {
    const platform::ScreenMetrics screen = platform::screen();
    window_ = std::make_unique<platform::Window>(platform::WindowStyle::Trigger, *this, "Zelvora");
    menuShown = 0;
    dragged = 0;
    hookTrigger(window_->handle());
    Width = 48.0 * screen.twipsPerPixelX;
    Height = 48.0 * screen.twipsPerPixelY;
    Top = screen.heightTwips - Height - 600;
    Left = 20;
    place();
    setTopmost();
}

void FrmTrigger::show() {
    window_->show();
    paint();
}

void FrmTrigger::unload() {
    window_.reset();
    face_.reset();
}

void FrmTrigger::place() {
    window_->place(static_cast<int>(std::lround(Left)), static_cast<int>(std::lround(Top)),
                   static_cast<int>(std::lround(Width)), static_cast<int>(std::lround(Height)));
}

void FrmTrigger::paint() {
    if (!face_)
        face_ = std::make_unique<platform::Bitmap>(makeTriggerPicture());
    window_->surface().blt(*face_, 0, 0);
    window_->present();
}

void FrmTrigger::setTopmost() {
    window_->setTopmost(true);
}

void FrmTrigger::setNotTopmost() {
    window_->setTopmost(false);
}

void FrmTrigger::mouseDown(int, int, double x, double y) {
    const platform::ScreenMetrics screen = platform::screen();
    grabX = static_cast<float>(x * screen.twipsPerPixelX);
    grabY = static_cast<float>(y * screen.twipsPerPixelY);
}

void FrmTrigger::mouseMove(int buttons, int, double xPixels, double yPixels) {
    if (buttons != platform::buttonLeft)
        return;
    const platform::ScreenMetrics screen = platform::screen();
    const float x = static_cast<float>(xPixels * screen.twipsPerPixelX);
    const float y = static_cast<float>(yPixels * screen.twipsPerPixelY);
    if (std::fabs(grabX - x) > 10 || std::fabs(grabY - y) > 10) {
        dragged = 1;
        Left = Left + (x - grabX);
        Top = Top + (y - grabY);
        place();
        if (menuShown == 1)
            closeAll();
    }
}

void FrmTrigger::mouseUp(int button, int, double, double) {
    if (button == platform::buttonLeft) {
        if (dragged == 1) {
            dragged = 0;
            return;
        }
        if (menuShown == 0) {
            FrmMenu* root = menuLevels[0];
            root->build(0, 0);
            topLevel = 0;
            menuShown = 1;
            setNotTopmost();
            if (root->window())
                root->window()->focus();
        } else {
            closeAll();
        }
    } else if (button == platform::buttonRight) {
        if (platform::messageBox("Are you sure you want to quit?", appTitle,
                                 platform::Buttons::YesNo) == platform::Answer::Yes)
            quitApp();
    }
}

void FrmTrigger::closeAll() {
    if (menuLevels[0])
        menuLevels[0]->destroy();
    frmSideGraphics.hide();
    topLevel = -1;
    menuShown = 0;
    // The quit path may close everything after the trigger itself is gone.
    if (window_)
        setTopmost();
}

} // namespace zv
