// Subclassing a window to watch its activation message.
#include "platform/activation_hook.h"

#include <windows.h>

namespace zv::platform {

namespace {

// The window procedure the window had before; pointer-sized, as 64-bit Windows needs.
LONG_PTR savedWindowProc = 0;
HWND hookedWindow = nullptr;
ActivationHandler activationHandler = nullptr;

LRESULT CALLBACK hookedWindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) noexcept {
    const auto previous = reinterpret_cast<WNDPROC>(savedWindowProc);
    if (window == hookedWindow && message == WM_ACTIVATEAPP && activationHandler) {
        try {
            activationHandler(static_cast<std::uint32_t>(wParam));
        } catch (...) {
            // Failures inside the handler are ignored: the message loop must go on.
        }
        return 0;
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

} // namespace

void hookActivation(void* window, ActivationHandler handler) {
    hookedWindow = static_cast<HWND>(window);
    activationHandler = handler;
    // A failure leaves the window unwatched; nothing else depends on it.
    savedWindowProc = SetWindowLongPtrW(hookedWindow, GWLP_WNDPROC,
                                        reinterpret_cast<LONG_PTR>(&hookedWindowProc));
}

void unhookActivation(void* window) {
    if (savedWindowProc != 0) {
        SetWindowLongPtrW(static_cast<HWND>(window), GWLP_WNDPROC, savedWindowProc);
        savedWindowProc = 0;
    }
    hookedWindow = nullptr;
    activationHandler = nullptr;
}

bool activationHooked() {
    return savedWindowProc != 0;
}

} // namespace zv::platform
