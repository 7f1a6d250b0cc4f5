// Native top-level windows of the program. The logic keeps a window's position in twips and
// hands it here; the platform converts to pixels, keeps the off-screen image and feeds user
// input back as plain events.
#pragma once

#include "platform/screen.h"
#include "platform/surface.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zv::platform {

// Button values of mouse events: 1 left, 2 right, 4 middle; shift state: 1 Shift, 2 Ctrl, 4 Alt.
inline constexpr int buttonLeft = 1;
inline constexpr int buttonRight = 2;
inline constexpr int buttonMiddle = 4;

// What a screen reader learns of one row of a window.
enum class RowKind {
    Entry,     // runs something: a file or a built-in command
    Submenu,   // opens another level
    Header,    // a caption that cannot be chosen
    Separator, // a line between rows
};

struct AccessibleRow {
    RowKind kind = RowKind::Entry;
    std::string name;         // as drawn
    Rect bounds;              // client pixels from the logic's (0, 0)
    bool highlighted = false; // the row the keys act on
    bool submenuOpen = false; // a submenu row whose level is open
};

// What a window tells screen readers as it happens.
enum class Announcement {
    MenuStart,   // the window opened as a menu, for the user to see
    MenuEnd,     // that menu closed
    Focus,       // the highlight, and with it the keyboard's focus, is on a row
    StateChange, // a row's state changed (a submenu opened beside it)
};

// What a window tells the logic. Coordinates are client pixels as floating-point numbers.
class WindowEvents {
  public:
    // mouseDown and mouseUp get the one button that changed; mouseMove the buttons held.
    virtual void mouseDown(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    virtual void mouseMove(int /*buttons*/, int /*shift*/, double /*x*/, double /*y*/) {}
    virtual void mouseUp(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
    // Virtual-key codes; F10 comes too, though the system keeps it for itself.
    virtual void keyDown(int /*keyCode*/, int /*shift*/) {}
    virtual void timerTick() {}
    // The program was started again from its folder (trigger windows only).
    virtual void secondStart() {}
    // The window is now on a monitor of another scale; suggested is the place the system
    // proposes for it there, in pixels.
    virtual void scaleChanged(DisplayScale /*scale*/, const Rect& /*suggested*/) {}
    // The system's colours or the high-contrast setting may have changed.
    virtual void systemColoursChanged() {}
    // The user is logging off or shutting down; false keeps the session (and the program) going.
    virtual bool sessionEndQueried() { return true; }

    // Screen readers. A window with no rows has nothing to tell them.
    virtual std::string accessibleName() const { return {}; }
    virtual std::vector<AccessibleRow> accessibleRows() const { return {}; }
    // A screen reader moves the highlight to a row.
    virtual void accessibleHighlight(int /*row*/) {}
    // A screen reader asked for a row's default action; it arrives as an event of its own, after
    // the reader's call has returned.
    virtual void accessibleAction(int /*row*/) {}

  protected:
    ~WindowEvents() = default;
};

enum class WindowStyle {
    Menu,    // borderless, no task-bar entry
    Trigger, // borderless, no task-bar entry, the program's window icon
};

// One native window. Creating it makes the native window hidden; destroying it destroys the
// native window. Destroying a Window from inside one of its own event handlers is safe: the
// platform touches nothing of it after the handler returns.
class Window {
  public:
    Window(WindowStyle style, WindowEvents& events, const std::string& title);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Position and size in twips, turned into pixels at scale (that of the monitor the window is
    // to be on); the off-screen image follows the new size and its captions are made for that
    // scale.
    void place(Twips left, Twips top, Twips width, Twips height, DisplayScale scale);
    // Where the logic's (0, 0) is in the window, in pixels: drawing and mouse events count from
    // there, so a window can hold something beside what the logic draws. (0, 0) until set.
    void setOrigin(int x, int y);
    // Shows the window without activating it: what it shows can reach the screen before the
    // round of messages an activation costs (focus() does that).
    void show();
    void hide();
    // Shows a hidden window outside every monitor, without activation, and hides it again where
    // it was: the system makes then what a window's first showing needs. Does nothing while a
    // mouse button is held on one of the program's windows.
    void showOnceOffScreen();
    bool visible() const;
    // Keeps position and size; on: above every non-topmost window, off: an ordinary window.
    void setTopmost(bool on);
    void focus();

    Surface& surface();
    // Puts the off-screen image on the screen now, in one step.
    void present();

    // The window's one timer: starting it again restarts the full interval; it ticks until
    // stopped.
    void startTimer(int milliseconds);
    void stopTimer();

    // Tells screen readers what changed: of a row, or of the window itself with row -1.
    void announce(Announcement what, int row = -1);

    // The native handle (an HWND on Windows), for calls that take an owner window; null when
    // the system could not make the window.
    void* handle() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

// Runs the events that are waiting and returns; long work calls it between small steps.
void yieldToEvents();

// Work for the moments the program waits for the user: the main loop runs one step of task
// each time it finds no event waiting, until a step returns false. A step must be short, as an
// event arriving meanwhile waits for it, and must not set a new task. A new task replaces the
// one before.
void runWhenIdle(std::function<bool()> task);

} // namespace zv::platform
