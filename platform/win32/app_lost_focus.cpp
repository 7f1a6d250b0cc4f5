// Subclassing of the trigger window for the focus watcher.
#include "trigger/app_lost_focus.h"

#include "trigger/frm_trigger.h"

#include <windows.h>

namespace zv {

namespace {

// The window procedure the trigger had before; pointer-sized, as 64-bit Windows needs.
LONG_PTR savedWindowProc = 0;

LRESULT CALLBACK triggerWindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    const auto previous = reinterpret_cast<WNDPROC>(savedWindowProc);
    const bool isTrigger =
        frmTrigger.window() && frmTrigger.window()->handle() == static_cast<void*>(window);
    if (isTrigger && message == WM_ACTIVATEAPP) {
        try {
            activateAppReceived(static_cast<std::uint32_t>(wParam));
        } catch (...) {
            // Failures inside the watcher are ignored: the message loop must go on.
        }
        return 0;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

} // namespace

void hookTrigger(void* window) {
    // A failure leaves the trigger without the watcher; nothing else depends on it.
    savedWindowProc = SetWindowLongPtrA(static_cast<HWND>(window), GWLP_WNDPROC,
                                        reinterpret_cast<LONG_PTR>(&triggerWindowProc));
}

void unhookTrigger(void* window) {
    if (savedWindowProc != 0) {
        SetWindowLongPtrA(static_cast<HWND>(window), GWLP_WNDPROC, savedWindowProc);
        savedWindowProc = 0;
    }
}

bool triggerHooked() {
    return savedWindowProc != 0;
}

} // namespace zv
