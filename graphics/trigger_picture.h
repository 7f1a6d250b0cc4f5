// The program's mark, a blue tile with a white "Z": the trigger window's face and, with rounded
// transparent corners, the window icon. One drawing serves both so they always match.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/picture.h"
#include "platform/screen.h"

namespace zv {

inline constexpr int kTriggerPictureSize = 48;

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0; // not premultiplied; a = 255 is opaque
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// A square image with transparency, rows top to bottom, each left to right.
struct MarkImage {
    int size = 0;
    std::vector<Rgba> pixels;
    Rgba at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                      static_cast<std::size_t>(x)];
    }
};

enum class MarkCorners {
    Square, // fills the whole square: the trigger window is an opaque square
    Rounded // rounded, transparent corners: for the window icon
};

// Draws the mark at size x size pixels (size >= 8), smoothed.
MarkImage drawMark(int size, MarkCorners corners);

// The trigger window's face: 48 x 48 at 96 DPI, drawn afresh at the size of any other scale.
Picture makeTriggerPicture(platform::DisplayScale scale = {});
// The face in two plain colours for high contrast: the "Z" and a one-pixel frame in glyph on
// background.
Picture makePlainTriggerPicture(platform::DisplayScale scale, Rgb background, Rgb glyph);

} // namespace zv
