// The X side of a test run: its own Xvfb, real pointer and key input through XTest, and screen
// pixels. Every coordinate here is a Windows screen coordinate of the Wine virtual desktop; the
// desktop's X window origin is added on the way to the X server.
#pragma once

#include "image.h"
#include "probe_report.h"
#include "process.h"

#include <initializer_list>
#include <string>
#include <string_view>

struct _XDisplay;

namespace zv::e2e {

enum class MouseButton { Left = 1, Middle = 2, Right = 3 };

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

class XScreen {
  public:
    // Starts Xvfb on a free display number and connects to it.
    XScreen(int width, int height);
    ~XScreen(); // disconnects and ends Xvfb
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    const std::string& display() const { return display_; } // e.g. ":3"
    pid_t serverPid() const { return server_.pid(); }
    int width() const { return width_; }
    int height() const { return height_; }

    // The Wine desktop's X window ("<name> - Wine desktop"), 0 while there is none.
    unsigned long desktopWindow() const;
    // Where Windows screen point (0, 0) is on the X screen; throws while there is no desktop.
    Point desktopOrigin() const;
    Point toRoot(Point windowsPoint) const;

    // Pointer.
    void move(int x, int y);
    void press(MouseButton button = MouseButton::Left);
    void release(MouseButton button = MouseButton::Left);
    void click(int x, int y, MouseButton button = MouseButton::Left);
    void doubleClick(int x, int y, MouseButton button = MouseButton::Left);
    // Presses at the start, moves in steps, releases at the end.
    void drag(int fromX, int fromY, int toX, int toY, MouseButton button = MouseButton::Left,
              int steps = 8);

    // Keys, by X keysym name: "Return", "Escape", "Down", "F2", "a", "Shift_L", ...
    // key() gives the Wine desktop the input focus first; modifiers are held around the key.
    void key(std::string_view keysym, std::initializer_list<std::string_view> modifiers = {});
    void keyDown(std::string_view keysym);
    void keyUp(std::string_view keysym);
    // Types printable ASCII text, with Shift where the character needs it.
    void typeText(std::string_view text);
    // Gives the Wine desktop's X window the keyboard focus (no window manager does it here),
    // unless the focus already is on it or on a Wine window inside it.
    void focusDesktop();
    // Whether the X keyboard focus is on the desktop's X window or inside it.
    bool focusInDesktop() const;

    // Pixels, in Windows screen coordinates (clipped to the X screen).
    Color pixel(int x, int y) const;
    Image capture(const Rect& area) const;
    // The whole X screen.
    Image captureScreen() const;

  private:
    // Root-window pixels; the rectangle must lie on the X screen.
    Image grab(int left, int top, int width, int height) const;
    unsigned keycode(std::string_view keysym, bool& needsShift) const;
    void sendKey(unsigned code, bool down);
    void sync() const;

    int width_;
    int height_;
    ChildProcess server_;
    std::string display_;
    _XDisplay* connection_ = nullptr;
};

} // namespace zv::e2e
