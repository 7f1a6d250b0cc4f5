// The pictures the menu windows are painted with, built in code so the program ships as one
// file: the highlight bar, the header row background, the separator, the submenu arrow and the
// side strip shown beside the root menu.
#pragma once

#include "graphics/picture.h"

namespace zv {

// Sizes the layout relies on without building the pictures.
inline constexpr int kSkinPictureWidth = 200;
inline constexpr int kSkinPictureHeight = 20;
inline constexpr int kSeparatorPictureHeight = 5;
inline constexpr int kMenuArrowWidth = 10;
inline constexpr int kMenuArrowHeight = 20;
inline constexpr int kSideGraphicWidth = 28;
inline constexpr int kSideGraphicHeight = 1200;

// Highlight bar ("hl"), 200 x 20: a framed blue gradient.
Picture makeHighlightPicture();

// Header row background ("header"), 200 x 20: a grey-white gradient with a dark top line, a white
// left edge and a darker right edge.
Picture makeHeaderPicture();

// Separator ("sep"), 200 x 5: an etched line on the menu background.
Picture makeSeparatorPicture();

// Submenu arrow ("mnuArrow"), 10 x 20: a black triangle; the colour of pixel (1, 1) is the
// background, which the menu leaves out when it copies the arrow.
Picture makeMenuArrowPicture();

// Side strip ("sg"), 28 x 1200: light blue with a fine dot pattern and the product name written
// upward near the lower end, the part a short menu shows.
Picture makeSideGraphic();

} // namespace zv
