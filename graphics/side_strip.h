// The strip beside the root menu showing the side picture, its lower end level with the menu's
// lower end. It is drawn inside the root menu's window, on the side that faces the trigger: one
// window on the screen where the user sees one. Positions are twips.
#pragma once

#include "platform/bitmap.h"
#include "platform/screen.h"
#include "platform/surface.h"

#include <memory>

namespace zv {

class SideStrip {
  public:
    platform::Twips leftTwips, widthTwips;
    // The scale the strip is drawn at: the root menu's.
    platform::DisplayScale scale;
    // The picture's top inside the strip (twips, negative when only its lower part shows) and
    // its height in twips.
    platform::Twips pictureTop;
    platform::Twips pictureHeight() const;

    // Makes the picture at the strip's scale, if not made yet.
    void load();
    // Draws the strip into surface with its left edge at x, from the surface's top.
    void draw(platform::Surface& surface, int x);
    void unload();

  private:
    std::unique_ptr<platform::Bitmap> picture_;
    platform::DisplayScale pictureScale_;
};

extern SideStrip sideStrip;

} // namespace zv
