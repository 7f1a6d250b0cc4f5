#include "platform/screen.h"

#include "headless.h"

namespace zv::platform {

namespace {

ScreenMetrics metrics(const headless::Monitor& m) {
    ScreenMetrics s;
    s.scale.dpi = m.dpi;
    s.left = s.scale.twips(m.pixels.left);
    s.top = s.scale.twips(m.pixels.top);
    s.width = s.scale.twips(m.pixels.right - m.pixels.left);
    s.height = s.scale.twips(m.pixels.bottom - m.pixels.top);
    return s;
}

} // namespace

ScreenMetrics primaryMonitor() {
    return metrics(headless::desktop().monitors.front());
}

// The monitor holding the window's centre; the primary one for a window off every monitor.
ScreenMetrics monitorOf(const void* windowHandle) {
    const headless::WindowRecord* w = headless::findWindow(windowHandle);
    if (!w)
        return primaryMonitor();
    const int x = (w->pixels.left + w->pixels.right) / 2;
    const int y = (w->pixels.top + w->pixels.bottom) / 2;
    for (const headless::Monitor& m : headless::desktop().monitors)
        if (ptInRect(m.pixels, x, y))
            return metrics(m);
    return primaryMonitor();
}

} // namespace zv::platform
