#include "platform/screen.h"

#include "gdi.h"

namespace zv::platform {

namespace {

int twipsPerPixel(HDC screenDc, int axis) {
    const int dpi = screenDc ? GetDeviceCaps(screenDc, axis) : 0;
    return 1440 / (dpi > 0 ? dpi : 96);
}

} // namespace

ScreenMetrics screen() {
    win32::WindowDC dc(nullptr);
    ScreenMetrics m;
    m.twipsPerPixelX = twipsPerPixel(dc.get(), LOGPIXELSX);
    m.twipsPerPixelY = twipsPerPixel(dc.get(), LOGPIXELSY);
    m.widthTwips = GetSystemMetrics(SM_CXSCREEN) * m.twipsPerPixelX;
    m.heightTwips = GetSystemMetrics(SM_CYSCREEN) * m.twipsPerPixelY;
    return m;
}

} // namespace zv::platform
