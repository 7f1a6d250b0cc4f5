// Any bytes through the icon catalogue reader, into an empty icon table.
#include "core/icon_catalogue.h"

#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zv::fuzz::resetIconTable();
    zv::readIconCatalogue(zv::fuzz::asText(data, size), "C:\\p");
    const zv::IconRegistry& icons = zv::iconRegistry;
    if (icons.iconCount < 0 || icons.iconCount > zv::iconSlots || icons.lastGroup < -1 ||
        icons.lastGroup >= zv::groupSlots) {
        std::fprintf(stderr, "icon table out of bounds: %d icons, last group %d\n", icons.iconCount,
                     icons.lastGroup);
        std::abort();
    }
    // Walk what the program would show: every registered tag and group name.
    for (std::int16_t i = 0; i < icons.iconCount; ++i)
        if (icons.iconPaths[static_cast<std::size_t>(i)].rfind("C:\\p\\", 0) != 0) {
            std::fprintf(stderr, "icon %d has a path outside the program folder\n", i);
            std::abort();
        }
    for (std::int16_t g = 0; g <= icons.lastGroup; ++g)
        (void)zv::getIconGroupName(g);
    return 0;
}
