#include "graphics/contrast_colours.h"

#include "platform/system_colours.h"

namespace zv {

std::optional<ContrastColours> contrastColours() {
    if (!platform::highContrast())
        return std::nullopt;
    using platform::SystemColour;
    using platform::systemColour;
    return ContrastColours{systemColour(SystemColour::Menu), systemColour(SystemColour::MenuText),
                           systemColour(SystemColour::Highlight),
                           systemColour(SystemColour::HighlightText),
                           systemColour(SystemColour::GrayText)};
}

} // namespace zv
