// Screen readers and a menu window: the object that answers them about the window and its rows,
// and the events that tell them what changed.
#pragma once

#include "platform/window.h"

#include <windows.h>

namespace zv::win32 {

class AccessibleMenu;

// The window's message that carries a row's default action out after the reader's call.
inline constexpr UINT accessibleActionMessage = WM_APP + 1;

// Holds the window's one reference to its object, made on the first question. Readers may hold
// others, in other processes too, beyond the window's life: disconnecting makes every call of
// theirs fail from then on instead of reaching a window that is gone.
class AccessibleMenuOwner {
  public:
    AccessibleMenuOwner() = default;
    ~AccessibleMenuOwner() { disconnect(); }
    AccessibleMenuOwner(const AccessibleMenuOwner&) = delete;
    AccessibleMenuOwner& operator=(const AccessibleMenuOwner&) = delete;

    // The answer to WM_GETOBJECT for the client area; 0 when there is none to give, and the
    // system's default object answers instead.
    LRESULT answer(HWND hwnd, platform::WindowEvents& events, const POINT& origin, WPARAM wp);
    void disconnect();

  private:
    AccessibleMenu* object_ = nullptr;
};

// Fires the event for a row of the window's client area (row -1: the client area itself).
void announce(HWND hwnd, platform::Announcement what, int row);

} // namespace zv::win32
