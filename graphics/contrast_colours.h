// While the user has high contrast on, the menus and the trigger give up their own colours and
// pictures and draw with the system's.
#pragma once

#include "platform/picture.h"

#include <optional>

namespace zv {

struct ContrastColours {
    Rgb menu, menuText, highlight, highlightText, grayText;
    friend bool operator==(const ContrastColours&, const ContrastColours&) = default;
};

// The system's colours while high contrast is on; none while it is off.
std::optional<ContrastColours> contrastColours();

} // namespace zv
