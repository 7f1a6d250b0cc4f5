#include "graphics/grf.h"

#include "graphics/skin_pictures.h"

namespace zv {

Grf grf;

void Grf::load() {
    hl_.emplace(makeHighlightPicture());
    header_.emplace(makeHeaderPicture());
    sep_.emplace(makeSeparatorPicture());
    mnuArrow_.emplace(makeMenuArrowPicture());
}

void Grf::unload() {
    hl_.reset();
    header_.reset();
    sep_.reset();
    mnuArrow_.reset();
}

} // namespace zv
