#include "platform/foreground.h"

#include "foreground_before_click.h"

namespace zv {

namespace {

// The program's window a click activated last, and the other program's window that had the
// foreground before it.
HWND clickedWindow = nullptr;
HWND foregroundBeforeClick = nullptr;

bool ownWindow(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

} // namespace

namespace win32 {

void noteClickActivation(HWND clicked) {
    HWND front = GetForegroundWindow();
    clickedWindow = clicked;
    // A click from one of the program's windows to another keeps the user's window known.
    if (front && !ownWindow(front))
        foregroundBeforeClick = front;
}

} // namespace win32

namespace platform {

void* userWindow() {
    HWND front = GetForegroundWindow();
    if (front && front == clickedWindow && foregroundBeforeClick && IsWindow(foregroundBeforeClick))
        return foregroundBeforeClick;
    return front;
}

void returnForeground(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    // A window closed or hidden meanwhile is left alone: the system picks the next window as it
    // always does.
    if (hwnd && IsWindow(hwnd) && IsWindowVisible(hwnd))
        SetForegroundWindow(hwnd);
}

} // namespace platform

} // namespace zv
