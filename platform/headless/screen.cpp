#include "platform/screen.h"

#include "headless.h"

namespace zv::platform {

namespace {

ScreenMetrics metrics(const headless::Monitor& m) {
    ScreenMetrics s;
    s.scale.dpi = m.dpi;
    const double twips = s.scale.twipsPerPixel();
    s.leftTwips = m.pixels.left * twips;
    s.topTwips = m.pixels.top * twips;
    s.widthTwips = (m.pixels.right - m.pixels.left) * twips;
    s.heightTwips = (m.pixels.bottom - m.pixels.top) * twips;
    return s;
}

} // namespace

ScreenMetrics screen() {
    return metrics(headless::desktop().monitors.front());
}

// The monitor holding the window's centre; the primary one for a window off every monitor.
ScreenMetrics monitorOf(const void* windowHandle) {
    const headless::WindowRecord* w = headless::findWindow(windowHandle);
    if (!w)
        return screen();
    const int x = (w->pixels.left + w->pixels.right) / 2;
    const int y = (w->pixels.top + w->pixels.bottom) / 2;
    for (const headless::Monitor& m : headless::desktop().monitors)
        if (ptInRect(m.pixels, x, y))
            return metrics(m);
    return screen();
}

} // namespace zv::platform
