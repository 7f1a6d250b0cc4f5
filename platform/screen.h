// The screen's size in twips and the twips in one pixel, as the layout formulas use them.
#pragma once

namespace zv::platform {

struct ScreenMetrics {
    int widthTwips = 0;
    int heightTwips = 0;
    int twipsPerPixelX = 15;
    int twipsPerPixelY = 15;
};

ScreenMetrics screen();

} // namespace zv::platform
