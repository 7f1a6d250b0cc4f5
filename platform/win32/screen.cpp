#include "platform/screen.h"

#include "gdi.h"
#include "system_library.h"

namespace zv::platform {

namespace {

// The DPI a window is drawn at: its monitor's, where the system knows the call (Windows 10
// 1607 on); elsewhere the one DPI of the whole screen.
int dpiOf(HWND hwnd) {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        win32::systemFunction<GetDpiForWindowCall>("user32.dll", "GetDpiForWindow");
    int dpi = hwnd && getDpiForWindow ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
    if (dpi <= 0) {
        win32::WindowDC dc(nullptr);
        dpi = dc ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
    }
    return dpi > 0 ? dpi : 96;
}

ScreenMetrics metrics(HMONITOR monitor, int dpi) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT bounds{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor && GetMonitorInfoA(monitor, &info))
        bounds = info.rcMonitor;
    ScreenMetrics m;
    m.scale.dpi = dpi;
    const double twips = m.scale.twipsPerPixel();
    m.leftTwips = bounds.left * twips;
    m.topTwips = bounds.top * twips;
    m.widthTwips = (bounds.right - bounds.left) * twips;
    m.heightTwips = (bounds.bottom - bounds.top) * twips;
    return m;
}

} // namespace

ScreenMetrics screen() {
    return metrics(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), dpiOf(nullptr));
}

ScreenMetrics monitorOf(const void* windowHandle) {
    HWND hwnd = static_cast<HWND>(const_cast<void*>(windowHandle));
    if (!hwnd)
        return screen();
    return metrics(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), dpiOf(hwnd));
}

} // namespace zv::platform
