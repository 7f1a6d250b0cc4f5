// The look of the menus: row sizes, offsets, the caption font and the highlight style. Fixed
// when the program is built; pixel values are for a 96-DPI screen.
#pragma once

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

} // namespace zv
