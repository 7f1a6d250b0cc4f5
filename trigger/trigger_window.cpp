#include "trigger/trigger_window.h"

#include "core/app_state.h"
#include "core/menu_file.h"
#include "core/messages.h"
#include "graphics/contrast_colours.h"
#include "graphics/trigger_picture.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "menus/prepare_ahead.h"
#include "platform/foreground.h"
#include "platform/keys.h"
#include "platform/message_box.h"
#include "platform/screen.h"
#include "platform/single_instance.h"
#include "trigger/focus_watcher.h"
#include "trigger/quit.h"

#include <cmath>

namespace zv {

TriggerWindow triggerWindow;

bool TriggerWindow::load() {
    const platform::ScreenMetrics screen = platform::primaryMonitor();
    window_ = std::make_unique<platform::Window>(platform::WindowStyle::Trigger, *this, "Zelvora");
    if (!window_->handle()) {
        window_.reset();
        return false;
    }
    menuShown = false;
    dragged = false;
    hookTrigger(window_->handle());
    scale = screen.scale;
    widthTwips = heightTwips = scale.twips(scale.pixels(kTriggerPictureSize));
    topTwips = screen.bottom() - heightTwips - platform::Twips(600);
    leftTwips = screen.left + platform::Twips(20);
    place();
    setTopmost();
    return true;
}

void TriggerWindow::show() {
    window_->show();
    paint();
    window_->focus();
}

void TriggerWindow::unload() {
    window_.reset();
    face_.reset();
}

void TriggerWindow::place() {
    window_->place(leftTwips.whole(), topTwips.whole(), widthTwips.whole(), heightTwips.whole(),
                   scale);
}

platform::ScreenMetrics TriggerWindow::monitor() const {
    return window_ ? platform::monitorOf(window_->handle()) : platform::primaryMonitor();
}

// Moved onto a monitor of another scale: the face is drawn afresh at it, in the place the system
// suggests, and the icons are read again at their new size before the next opening.
void TriggerWindow::scaleChanged(platform::DisplayScale newScale, const Rect& suggested) {
    if (menuShown)
        closeAll();
    scale = newScale;
    leftTwips = scale.twips(suggested.left);
    topTwips = scale.twips(suggested.top);
    widthTwips = scale.twips(suggested.right - suggested.left);
    heightTwips = scale.twips(suggested.bottom - suggested.top);
    face_.reset();
    place();
    paint();
    prepareAhead();
}

void TriggerWindow::paint() {
    if (!face_) {
        const auto contrast = contrastColours();
        face_ = std::make_unique<platform::Bitmap>(
            contrast ? makePlainTriggerPicture(scale, contrast->menu, contrast->menuText)
                     : makeTriggerPicture(scale));
    }
    window_->surface().blt(*face_, 0, 0);
    window_->present();
}

void TriggerWindow::setTopmost() {
    window_->setTopmost(true);
}

void TriggerWindow::setNotTopmost() {
    window_->setTopmost(false);
}

void TriggerWindow::mouseDown(int, int, double x, double y) {
    grabX = static_cast<float>(scale.twips(x).value());
    grabY = static_cast<float>(scale.twips(y).value());
}

void TriggerWindow::mouseMove(int buttons, int, double xPixels, double yPixels) {
    if (buttons != platform::buttonLeft)
        return;
    const float x = static_cast<float>(scale.twips(xPixels).value());
    const float y = static_cast<float>(scale.twips(yPixels).value());
    if (std::fabs(grabX - x) > 10 || std::fabs(grabY - y) > 10) {
        dragged = true;
        leftTwips = leftTwips + platform::Twips(x - grabX);
        topTwips = topTwips + platform::Twips(y - grabY);
        place();
        if (menuShown)
            closeAll();
    }
}

// Log-off and shut-down ask about unsaved changes as Quit does; a save that fails keeps the
// session, so the changes are not lost.
bool TriggerWindow::sessionEndQueried() {
    return !unsavedChanges || askSave();
}

void TriggerWindow::mouseUp(int button, int, double, double) {
    if (button == platform::buttonLeft) {
        if (dragged) {
            dragged = false;
            return;
        }
        if (!menuShown)
            openRoot(false);
        else
            dismiss();
    } else if (button == platform::buttonRight) {
        if (askYesNo("Are you sure you want to quit?"))
            quitApp();
    }
}

void TriggerWindow::keyDown(int keyCode, int) {
    if (!menuShown && (keyCode == platform::keyEnter || keyCode == platform::keySpace ||
                       keyCode == platform::keyDownArrow))
        openRoot(true);
}

void TriggerWindow::systemColoursChanged() {
    face_.reset();
    paint();
}

void TriggerWindow::openRoot(bool fromKeyboard) {
    userWindow_ = platform::userWindow();
    MenuWindow& root = menuLevel(0);
    if (fromKeyboard)
        root.buildWithFirstRowHighlighted(0);
    else
        root.build(0, 0);
    topLevel = 0;
    menuShown = true;
    setNotTopmost();
}

void TriggerWindow::secondStart() {
    if (platform::bringWaitingWindowForward())
        return;
    if (!menuShown) {
        openRoot(true);
        return;
    }
    if (topLevel >= 0 && menuLevel(topLevel).window())
        menuLevel(topLevel).window()->focus();
}

void TriggerWindow::dismiss() {
    closeAll();
    platform::returnForeground(userWindow_);
}

void TriggerWindow::closeAll() {
    menuLevel(0).destroy();
    topLevel = -1;
    menuShown = false;
    // The quit path may close everything after the trigger itself is gone.
    if (window_)
        setTopmost();
}

} // namespace zv
