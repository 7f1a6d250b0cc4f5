// What probe.exe reports, parsed. The record format is described at the top of probe.cpp.
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
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int centerX() const { return left + width() / 2; }
    int centerY() const { return top + height() / 2; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

using Hwnd = std::uint64_t;

struct Control {
    Hwnd top = 0; // the top-level window it belongs to
    Hwnd hwnd = 0;
    Hwnd parent = 0; // the immediate parent (a control may sit in a group)
    int id = 0;      // GetDlgCtrlID
    std::string className;
    std::string text;
    Rect rect;
    bool visible = false;
    bool enabled = false;
    std::uint32_t style = 0;
    int check = -1;     // BM_GETCHECK for buttons, else -1
    int count = -1;     // items of a combo box or list box, else -1
    int selection = -1; // selected item of a combo box or list box, else -1
    std::string selectionText;
    friend bool operator==(const Control&, const Control&) = default;
};

struct Window {
    std::uint32_t pid = 0; // Windows process id
    std::string exe;       // that process's executable base name, e.g. "zelvora.exe"
    Hwnd hwnd = 0;
    Hwnd owner = 0;
    std::string title;
    std::string className;
    Rect rect;
    bool visible = false;
    bool topmost = false;
    bool enabled = false;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int zOrder = 0; // 0 is the top of the desktop's z-order
    std::vector<Control> controls;

    // Dialogs, message boxes included, have the system dialog class.
    bool isDialog() const { return className == "#32770"; }
    // A message box's text: its static control with id 0xFFFF (empty when there is none).
    std::string messageText() const;
    // The first control of this class (case-insensitive) and exact text, or null.
    const Control* control(std::string_view className, std::string_view text) const;
    // The first control of this class with this id, or null.
    const Control* controlById(std::string_view className, int id) const;
    friend bool operator==(const Window&, const Window&) = default;
};

struct DesktopState {
    int width = 0, height = 0;
    Hwnd foreground = 0, active = 0, focus = 0;
    int cursorX = 0, cursorY = 0;
    friend bool operator==(const DesktopState&, const DesktopState&) = default;
};

struct WindowReport {
    DesktopState desktop;
    std::vector<Window> windows; // in z-order, topmost first

    // Windows of processes running this executable (case-insensitive).
    std::vector<Window> of(std::string_view exe) const;
    // The visible ones among them.
    std::vector<Window> visibleOf(std::string_view exe) const;
    // The first window of that executable with this title, or null.
    const Window* find(std::string_view exe, std::string_view title) const;
    const Window* byHandle(Hwnd hwnd) const;
};

struct ProcessEntry {
    std::uint32_t pid = 0;
    std::uint32_t parent = 0;
    std::string exe;
};

// -1 where neither the system nor the probe can say. Under Wine the probe counts GDI objects
// from the process's GDI handle table and USER objects as windows + menus + icons (cursors
// count as icons); on Windows the USER count is the system's and menus and icons are -1.
struct ResourceCounts {
    std::uint32_t pid = 0;
    std::string exe;
    long gdiObjects = -1;
    long userObjects = -1;
    long handles = -1;
    long windows = -1; // top-level, message-only and child windows
    long menus = -1;
    long icons = -1;
};

enum class IdleResult { Idle, Busy, Failed };

struct IdleState {
    std::uint32_t pid = 0;
    std::string exe;
    IdleResult result = IdleResult::Failed;
};

std::string unescapeField(std::string_view text);
bool sameName(std::string_view a, std::string_view b); // ASCII case-insensitive

WindowReport parseWindowReport(const std::string& text);
std::vector<ProcessEntry> parseProcessReport(const std::string& text);
std::vector<ResourceCounts> parseResourceReport(const std::string& text);
std::vector<IdleState> parseIdleReport(const std::string& text);

// A readable listing for failure messages.
std::string describe(const Window& window);
std::string describe(const std::vector<Window>& windows);

} // namespace zv::e2e
