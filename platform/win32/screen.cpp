#include "platform/screen.h"

#include "gdi.h"
#include "system_library.h"

namespace zv::platform {

namespace {

// The DPI the user signed in at: where the system cannot tell a monitor's own (before Windows
// 8.1), every monitor has it.
int systemDpi() {
    win32::WindowDC dc(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

// A monitor's own DPI, which a per-monitor aware window is drawn at there. The sign-in DPI
// differs from it after an undocked laptop's panel takes over or a scale changed without signing
// out.
int dpiOf(HMONITOR monitor) {
    using GetDpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        win32::systemFunction<GetDpiForMonitorCall>("shcore.dll", "GetDpiForMonitor");
    constexpr int effectiveDpi = 0; // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, effectiveDpi, &x, &y)) &&
        x > 0)
        return static_cast<int>(x);
    return systemDpi();
}

ScreenMetrics metrics(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT bounds{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor && GetMonitorInfoW(monitor, &info))
        bounds = info.rcMonitor;
    ScreenMetrics m;
    m.scale.dpi = dpiOf(monitor);
    m.left = m.scale.twips(bounds.left);
    m.top = m.scale.twips(bounds.top);
    m.width = m.scale.twips(bounds.right - bounds.left);
    m.height = m.scale.twips(bounds.bottom - bounds.top);
    return m;
}

} // namespace

ScreenMetrics primaryMonitor() {
    return metrics(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

ScreenMetrics monitorOf(const void* windowHandle) {
    HWND hwnd = static_cast<HWND>(const_cast<void*>(windowHandle));
    if (!hwnd)
        return primaryMonitor();
    return metrics(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

} // namespace zv::platform
