// The look of the menus: row sizes, offsets, the caption font and the highlight style. Fixed
// when the program is built; pixel values are for a 96-DPI screen.
#pragma once

#include "platform/screen.h"

#include <cstdint>

namespace zv {

struct Skin {
    std::int16_t itemHeight = 20;
    std::int16_t itemWidth = 200;
    // The framed gradient picture, or a flat colour over the row.
    bool graphicalHighlight = true;
    std::int16_t iconOffsetY = 3;
    std::int16_t textOffsetX = 35;
    std::int16_t submenuArrowOffsetX = 176;
    std::int16_t submenuArrowOffsetY = 1;
    const char* font = "Tahoma";
    std::int16_t fontSize = 8;
};

inline constexpr Skin defaultSkin{};

// The menus' measures at a screen's resolution, every one scaled and rounded once here. The
// caption font stays in points: the platform makes it for the window's resolution.
struct MenuMetrics {
    int itemHeight, itemWidth, separatorHeight, frame, iconSize, iconLeft, iconOffsetY, textOffsetX,
        submenuArrowOffsetX, submenuArrowOffsetY, sideStripWidth;

    MenuMetrics(const Skin& skin, platform::DisplayScale scale)
        : itemHeight(scale.pixels(skin.itemHeight)), itemWidth(scale.pixels(skin.itemWidth)),
          separatorHeight(scale.pixels(6)), frame(scale.pixels(1)), iconSize(scale.pixels(16)),
          iconLeft(scale.pixels(7)), iconOffsetY(scale.pixels(skin.iconOffsetY)),
          textOffsetX(scale.pixels(skin.textOffsetX)),
          submenuArrowOffsetX(scale.pixels(skin.submenuArrowOffsetX)),
          submenuArrowOffsetY(scale.pixels(skin.submenuArrowOffsetY)),
          sideStripWidth(scale.pixels(28)) {}
};

} // namespace zv
