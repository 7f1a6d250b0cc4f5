// Monitors and their scale. The logic measures in pixels at 96 DPI and keeps positions in twips;
// a monitor's scale turns both into its own pixels.
#pragma once

namespace zv::platform {

// A monitor's resolution. One pixel is 1440 / dpi twips, so a position in twips keeps its
// physical size on every monitor.
struct DisplayScale {
    int dpi = 96;

    // A length given in pixels at 96 DPI, at this resolution: rounded once, halves away from
    // zero.
    int pixels(int at96) const { return roundedRatio(static_cast<long long>(at96) * dpi, 96); }
    double twipsPerPixel() const { return 1440.0 / dpi; }
    // Twips to whole pixels, rounded to the nearest pixel (halves away from zero).
    int twipsToPixels(int twips) const {
        return roundedRatio(static_cast<long long>(twips) * dpi, 1440);
    }

    friend bool operator==(const DisplayScale&, const DisplayScale&) = default;

  private:
    static int roundedRatio(long long numerator, long long denominator) {
        const long long magnitude =
            ((numerator < 0 ? -numerator : numerator) * 2 + denominator) / (2 * denominator);
        return static_cast<int>(numerator < 0 ? -magnitude : magnitude);
    }
};

// One monitor: its bounds in twips at its own scale.
struct ScreenMetrics {
    double leftTwips = 0, topTwips = 0, widthTwips = 0, heightTwips = 0;
    DisplayScale scale;
    double rightTwips() const { return leftTwips + widthTwips; }
    double bottomTwips() const { return topTwips + heightTwips; }
};

// The primary monitor.
ScreenMetrics screen();
// The monitor a window is on (the nearest one when it is on none), with the scale the window is
// drawn at there.
ScreenMetrics monitorOf(const void* windowHandle);

} // namespace zv::platform
