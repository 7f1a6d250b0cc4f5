// The trigger: the small always-on-top window that opens and closes the root menu, can be
// dragged anywhere, offers to quit on a right click, and owns closing every menu at once.
// Its position and mouse coordinates are twips.
#pragma once

#include "platform/bitmap.h"
#include "platform/screen.h"
#include "platform/window.h"

#include <memory>

namespace zv {

class TriggerWindow : public platform::WindowEvents {
  public:
    bool menuShown = false;
    bool dragged = false;
    // Where the button went down on the face, as whole-float twips (drags compare in them).
    float grabX = 0, grabY = 0;
    platform::Twips leftTwips, topTwips, widthTwips, heightTwips;
    // The scale of the monitor the trigger is on; the menus open at it.
    platform::DisplayScale scale;

    // Makes the native window, sizes and places it, makes it topmost and attaches the focus
    // watcher. Start-up then shows it. False when the system could not make the window.
    bool load();
    void show();
    void unload();
    bool loaded() const { return window_ != nullptr; }
    platform::Window* window() { return window_.get(); }

    void closeAll();
    // Closes every menu without starting anything: the window the user was in when the root
    // opened gets the foreground back.
    void dismiss();
    platform::Twips rightEdge() const { return leftTwips + widthTwips; }
    platform::Twips bottomEdge() const { return topTwips + heightTwips; }
    // The monitor the trigger is on (the primary one before the trigger is made).
    platform::ScreenMetrics monitor() const;

    void mouseDown(int button, int shift, double x, double y) override;
    void mouseMove(int buttons, int shift, double x, double y) override;
    void mouseUp(int button, int shift, double x, double y) override;
    // Enter, Space and Down open the root with its first row highlighted.
    void keyDown(int keyCode, int shift) override;
    void systemColoursChanged() override;
    // Started again from its folder: the user wants the launcher, so it answers as a click
    // would, or brings forward what is already open.
    void secondStart() override;
    void scaleChanged(platform::DisplayScale newScale, const Rect& suggested) override;
    bool sessionEndQueried() override;

  private:
    // From the keyboard the first row comes highlighted, so the arrows go on from there.
    void openRoot(bool fromKeyboard);
    void setTopmost();
    void setNotTopmost();
    void place();
    void paint();

    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::Bitmap> face_;
    // The window the user was in when the root opened (platform::userWindow()).
    void* userWindow_ = nullptr;
};

extern TriggerWindow triggerWindow;

} // namespace zv
