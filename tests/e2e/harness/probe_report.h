// What probe.exe reports, parsed (the records are described in tests/e2e/README.md).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zv::e2e {

struct ProbeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Screen pixels, right and bottom exclusive, as GetWindowRect gives them.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    int centerX() const { return left + width() / 2; }
    int centerY() const { return top + height() / 2; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

using Hwnd = std::uint64_t;

struct Control {
    int id = 0; // GetDlgCtrlID
    Hwnd hwnd = 0;
    std::string className, text;
    Rect rect;
    bool visible = false, enabled = false;
    int count = -1; // items of a combo box, else -1
    std::string selectionText;
    unsigned long style = 0; // GWL_STYLE
};

struct Window {
    std::uint32_t pid = 0; // Windows process id
    std::string exe;       // that process's executable base name, e.g. "zelvora.exe"
    Hwnd hwnd = 0;
    std::string className, title;
    Rect rect;
    bool visible = false, enabled = false, topmost = false;
    Rect client; // the client area, in screen pixels
    std::vector<Control> controls;

    // Dialogs, message boxes included, have the system dialog class.
    bool isDialog() const { return className == "#32770"; }
    // A message box's text: its static control with id 0xFFFF (empty when there is none).
    std::string messageText() const;
    // The first control of this class (case-insensitive) and exact text, or null.
    const Control* control(std::string_view className, std::string_view text) const;
    // The control of this class (case-insensitive) at this place among them, or null.
    const Control* nthControl(std::string_view className, int index) const;
};

struct WindowReport {
    Hwnd active = 0, focus = 0;  // of the desktop's foreground thread
    std::vector<Window> windows; // in z-order, topmost first

    // The visible windows of processes running this executable (case-insensitive).
    std::vector<Window> visibleOf(std::string_view exe) const;
};

// -1 where neither the system nor the probe can say. Under Wine the probe counts GDI objects
// from the process's GDI handle table and USER objects as windows + menus + icons.
struct ResourceCounts {
    long gdiObjects = -1, userObjects = -1, handles = -1, windows = -1, menus = -1, icons = -1;
};

enum class IdleResult { Idle, Busy, Failed };

// What a window's client area answers a screen reader (IAccessible), and of each child.
struct AccessibleEntry {
    long role = -1; // -1: no answer
    std::string name;
    long state = -1;
    std::string defaultAction;
    unsigned long locationResult = 0; // accLocation's HRESULT
    Rect place;                       // on the screen
};
struct AccessibleReport {
    unsigned long failure = 0; // AccessibleObjectFromWindow's HRESULT when it gave no object
    AccessibleEntry self;
    long childCount = -1;
    long focus = -1; // accFocus's child id
    // Children 1 to childCount, and one more to show the answer outside them.
    std::vector<AccessibleEntry> rows;
};

// A screen reader's event, with the name its object gave.
struct HeardEvent {
    std::uint32_t event = 0;
    Hwnd window = 0;
    long object = 0, child = 0;
    std::string name;
};
struct EventLog {
    bool listening = false; // the hooks are in place
    std::vector<HeardEvent> events;
};

WindowReport parseWindowReport(const std::string& text);
AccessibleReport parseAccessibleReport(const std::string& text);
// The recorder's file as far as it is written.
EventLog parseEventLog(const std::string& text);
std::vector<ResourceCounts> parseResourceReport(const std::string& text);
std::vector<IdleResult> parseIdleReport(const std::string& text);

// A readable listing for failure messages.
std::string describe(const Window& window);
std::string describe(const std::vector<Window>& windows);

} // namespace zv::e2e
