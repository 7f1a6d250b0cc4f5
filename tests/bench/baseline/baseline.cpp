// The bare Win32 program the launcher's timings and memory are measured against: a 48 x 48
// topmost window where the trigger starts, and a click on it that shows (or, the next time,
// removes) a 202 x 68 window beside it, as large as the launcher's root menu: scaled by the
// display's DPI / 96, as the root menu is. Nothing more than the system's own painting: each
// window's class brush fills it.
#include <windows.h>

namespace {

constexpr COLORREF faceColour = RGB(36, 99, 176);
constexpr COLORREF windowColour = RGB(245, 244, 243);

constexpr int triggerLeft = 1, triggerTop = 680, triggerSize = 48;
// Where the launcher's root menu shows: right of the trigger and the strip beside it, its
// bottom level with the trigger's.
constexpr int windowLeft = 77, windowWidth = 202, windowHeight = 68;

const char* const triggerClass = "ZvBaselineTrigger";
const char* const windowClass = "ZvBaselineWindow";

HWND shown = nullptr;

int scaled(int at96) {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int logPixels = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
        if (screen)
            ReleaseDC(nullptr, screen);
        return logPixels > 0 ? logPixels : 96;
    }();
    return MulDiv(at96, dpi, 96);
}

LRESULT CALLBACK triggerProcedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
    switch (message) {
    case WM_LBUTTONUP:
        // The launcher opens its menu on the button's release too.
        if (shown) {
            DestroyWindow(shown);
            shown = nullptr;
        } else {
            // Its bottom level with the trigger's, as the root menu's is.
            const int width = scaled(windowWidth), height = scaled(windowHeight);
            shown = CreateWindowExA(WS_EX_TOOLWINDOW, windowClass, "Baseline window", WS_POPUP,
                                    windowLeft, triggerTop + triggerSize - height, width, height,
                                    nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            if (shown) {
                ShowWindow(shown, SW_SHOW);
                SetForegroundWindow(shown);
                SetFocus(shown);
            }
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wp, lp);
    }
}

bool registerClass(const char* name, WNDPROC procedure, COLORREF colour) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!registerClass(triggerClass, &triggerProcedure, faceColour) ||
        !registerClass(windowClass, &DefWindowProcA, windowColour))
        return 1;
    HWND trigger = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, triggerClass, "Baseline",
                                   WS_POPUP, triggerLeft, triggerTop, triggerSize, triggerSize,
                                   nullptr, nullptr, instance, nullptr);
    if (!trigger)
        return 1;
    ShowWindow(trigger, SW_SHOW);
    UpdateWindow(trigger);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
