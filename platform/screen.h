// Monitors and their scale. The logic measures in pixels at 96 DPI and keeps positions in twips;
// a monitor's scale turns both into its own pixels.
#pragma once

#include "platform/twips.h"

#include <cmath>

namespace zv::platform {

// A monitor's resolution. One pixel is 1440 / dpi twips, so a position in twips keeps its
// physical size on every monitor. A scale always comes from a monitor (primaryMonitor,
// monitorOf) or from the system telling a window it moved (WindowEvents::scaleChanged).
struct DisplayScale {
    int dpi = 96;

    // A length given in pixels at 96 DPI, at this resolution: rounded once, halves away from
    // zero.
    int pixels(int at96) const { return roundedRatio(static_cast<long long>(at96) * dpi, 96); }
    // Pixels of this monitor as twips.
    Twips twips(double pixels) const { return Twips(pixels * (1440.0 / dpi)); }
    // Twips as whole pixels: first to whole twips, then to the nearest pixel (halves away from
    // zero both times), so that two places a whole twip apart stay a whole pixel apart.
    int toPixels(Twips t) const {
        return roundedRatio(std::llround(t.value()) * static_cast<long long>(dpi), 1440);
    }
    // Twips as pixels, not rounded.
    double exactPixels(Twips t) const { return t.value() / (1440.0 / dpi); }

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
    Twips left, top, width, height;
    DisplayScale scale;
    Twips right() const { return left + width; }
    Twips bottom() const { return top + height; }
};

// The primary monitor, at its own scale (which may differ from the scale the user signed in at).
ScreenMetrics primaryMonitor();
// The monitor a window is on (the nearest one when it is on none), with the scale the window is
// drawn at there; the primary monitor for no window.
ScreenMetrics monitorOf(const void* windowHandle);

} // namespace zv::platform
