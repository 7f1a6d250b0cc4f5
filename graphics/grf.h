// The hidden picture form: the four skin pictures the menu windows copy from while painting.
// Loaded once at start-up, never shown.
#pragma once

#include "graphics/picture.h"
#include "platform/bitmap.h"

#include <optional>

namespace zv {

struct SkinPicture {
    platform::Bitmap bitmap;
    Rgb keyColour; // the colour of pixel (1, 1), left out by transparent copies
    explicit SkinPicture(const Picture& p) : bitmap(p), keyColour(p.at(1, 1)) {}
};

class Grf {
  public:
    void load();
    void unload();
    bool loaded() const { return hl_.has_value(); }

    const SkinPicture& hl() const { return *hl_; }
    const SkinPicture& header() const { return *header_; }
    const SkinPicture& sep() const { return *sep_; }
    const SkinPicture& mnuArrow() const { return *mnuArrow_; }

  private:
    std::optional<SkinPicture> hl_, header_, sep_, mnuArrow_;
};

extern Grf grf;

} // namespace zv
