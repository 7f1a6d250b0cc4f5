// The X side of a run: its own Xvfb, XTest input and pixels, in Windows screen coordinates.
#pragma once

#include "image.h"
#include "probe_report.h"
#include "process.h"

#include <string>
#include <string_view>

struct _XDisplay;

namespace zv::e2e {

enum class MouseButton { Left = 1, Middle = 2, Right = 3 };

struct Point {
    int x = 0, y = 0;
};

class XScreen {
  public:
    // Starts Xvfb on a free display number and connects to it.
    XScreen(int width, int height);
    ~XScreen(); // disconnects and ends Xvfb

    const std::string& display() const { return display_; } // e.g. ":3"
    pid_t serverPid() const { return server_.pid(); }
    int width() const { return width_; } // the benchmark watches the whole screen
    int height() const { return height_; }
    // The Wine desktop's X window, 0 while there is none.
    unsigned long desktopWindow() const;
    // Where Windows screen point (0, 0) is on the X screen; throws while there is no desktop.
    Point desktopOrigin() const;

    void move(int x, int y);
    void press(MouseButton button = MouseButton::Left) { sendButton(button, true); }
    void release(MouseButton button = MouseButton::Left) { sendButton(button, false); }
    void click(int x, int y, MouseButton button = MouseButton::Left) {
        move(x, y);
        press(button);
        release(button);
    }

    // A key by X keysym name ("Return", "Down", "a", ...), with Shift where the character needs
    // it; the Wine desktop gets the X focus first when no window has it.
    void key(std::string_view keysym) { sendKeyWith(keysym, false); }
    // A key with Shift held ("F10" gives Shift+F10).
    void shiftKey(std::string_view keysym) { sendKeyWith(keysym, true); }
    // Printable ASCII only.
    void typeText(std::string_view text);

    Color pixel(int x, int y) const { return capture({x, y, x + 1, y + 1}).at(0, 0); }
    Image capture(const Rect& area) const; // clipped to the X screen
    Image captureScreen() const { return grab(0, 0, width_, height_); }

  private:
    Image grab(int left, int top, int width, int height) const;
    unsigned keycode(std::string_view keysym, bool& needsShift) const;
    void sendButton(MouseButton button, bool down);
    void sendKeyWith(std::string_view keysym, bool shift);

    int width_, height_;
    ChildProcess server_;
    std::string display_;
    _XDisplay* connection_ = nullptr;
};

} // namespace zv::e2e
