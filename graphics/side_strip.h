// The strip beside the root menu showing the side graphic sg, its lower end level with the
// form's lower end. Positions are twips.
#pragma once

#include "platform/window.h"

#include <memory>
#include <optional>

namespace zv {

class SideStrip : public platform::WindowEvents {
  public:
    double leftTwips = 0, topTwips = 0, widthTwips = 0, heightTwips = 0;
    // The scale the strip is drawn at: the root menu's.
    platform::DisplayScale scale;
    // The picture sg inside the form: its top (twips, negative when only its lower part shows)
    // and its height in twips.
    double pictureTop = 0;
    double pictureHeight() const;

    // Makes the native window, hidden, and the picture at the strip's scale, if not made yet.
    void load();
    // Places the window by the fields above, shows it and paints it.
    void show();
    void hide();
    bool visible() const;
    void unload();
    platform::Window* window() { return window_.get(); }

  private:
    void paint();
    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::Bitmap> picture_;
    platform::DisplayScale pictureScale_;
};

extern SideStrip sideStrip;

} // namespace zv
