// The colours the user chose for the whole system, and whether high contrast is on.
#pragma once

#include "platform/picture.h"

namespace zv::platform {

enum class SystemColour { Menu, MenuText, Highlight, HighlightText, GrayText };

// Whether the user turned high contrast on (the accessibility setting).
bool highContrast();
Rgb systemColour(SystemColour which);

} // namespace zv::platform
