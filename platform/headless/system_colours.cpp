#include "platform/system_colours.h"

#include "headless.h"

namespace zv::platform {

bool highContrast() {
    return headless::desktop().highContrast;
}

Rgb systemColour(SystemColour which) {
    return headless::desktop().systemColours[static_cast<std::size_t>(which)];
}

} // namespace zv::platform
