#include "platform/screen.h"

#include "headless.h"

namespace zv::platform {

ScreenMetrics screen() {
    const auto& d = headless::desktop();
    return {d.screenWidthPixels * d.twipsPerPixelX, d.screenHeightPixels * d.twipsPerPixelY,
            d.twipsPerPixelX, d.twipsPerPixelY};
}

} // namespace zv::platform
