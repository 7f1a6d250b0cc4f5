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

// Twips to whole pixels, rounded to the nearest pixel (halves away from zero).
inline int twipsToPixels(int twips, int twipsPerPixel) {
    if (twipsPerPixel <= 0)
        return 0;
    const long long t = twips;
    const long long magnitude = ((t < 0 ? -t : t) * 2 + twipsPerPixel) / (2LL * twipsPerPixel);
    return static_cast<int>(t < 0 ? -magnitude : magnitude);
}

} // namespace zv::platform
