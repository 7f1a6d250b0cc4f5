// The pictures the menu windows are painted with, built in code so the program ships as one
// file: the highlight bar, the header row background, the separator, the submenu arrow and the
// side strip shown beside the root menu.
#pragma once

#include "platform/bitmap.h"
#include "platform/geometry.h"
#include "platform/picture.h"
#include "platform/screen.h"

#include <optional>
#include <vector>

namespace zv {

// Sizes at 96 DPI; every picture is drawn at the scale asked for, its sizes scaled with it.
inline constexpr int kSkinPictureWidth = 200;
inline constexpr int kSkinPictureHeight = 20;
inline constexpr int kSeparatorPictureHeight = 5;
inline constexpr int kSubmenuArrowWidth = 10;
inline constexpr int kSubmenuArrowHeight = 20;
inline constexpr int kSideStripWidth = 28;
inline constexpr int kSideStripPictureHeight = 1200;

// Highlight bar, 200 x 20: a framed blue gradient.
Picture makeHighlightPicture(platform::DisplayScale scale = {});

// Header row background, 200 x 20: a grey-white gradient with a dark top line, a white
// left edge and a darker right edge.
Picture makeHeaderPicture(platform::DisplayScale scale = {});

// Separator, 200 x 5: an etched line on the menu background.
Picture makeSeparatorPicture(platform::DisplayScale scale = {});

// Submenu arrow, 10 x 20: a black triangle; the colour of pixel (1, 1) is the
// background, which the menu leaves out when it copies the arrow.
Picture makeSubmenuArrowPicture(platform::DisplayScale scale = {});
// The arrow's triangle as one rectangle per pixel line, in the picture's coordinates: high
// contrast draws it in a system colour.
std::vector<Rect> submenuArrowLines(platform::DisplayScale scale = {});

// Side strip, 28 x 1200: light blue with a fine dot pattern and the product name written
// upward near the lower end, the part a short menu shows.
Picture makeSideStripPicture(platform::DisplayScale scale = {});

// A picture as the menu windows copy it: the bitmap and the colour a transparent copy leaves out
// (that of pixel (1, 1)).
struct SkinPicture {
    platform::Bitmap bitmap;
    Rgb keyColour;
    explicit SkinPicture(const Picture& p) : bitmap(p), keyColour(p.at(1, 1)) {}
};

// The four pictures every menu row is painted with, built at start-up and again when the menus
// open at another scale.
class SkinPictures {
  public:
    void load(platform::DisplayScale scale);
    platform::DisplayScale scale() const { return scale_; }
    void unload();
    bool loaded() const { return highlight_.has_value(); }

    const SkinPicture& highlight() const { return *highlight_; }
    const SkinPicture& header() const { return *header_; }
    const SkinPicture& separator() const { return *separator_; }
    const SkinPicture& submenuArrow() const { return *submenuArrow_; }

  private:
    std::optional<SkinPicture> highlight_, header_, separator_, submenuArrow_;
    platform::DisplayScale scale_;
};

extern SkinPictures skinPictures;

} // namespace zv
