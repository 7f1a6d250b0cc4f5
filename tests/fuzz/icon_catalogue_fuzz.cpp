// Any bytes through the icon catalogue reader, into an empty icon table.
#include "core/icon_catalogue.h"

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zv::fuzz::resetIconTable();
    zv::readIconCatalogue(zv::fuzz::asText(data, size), "C:\\p");
    const zv::IconRegistry& icons = zv::iconRegistry;
    if (icons.iconCount < 0 || icons.iconCount > zv::iconSlots || icons.lastGroup < -1 ||
        icons.lastGroup >= zv::groupSlots)
        zv::fuzz::fail("icon table out of bounds: " + std::to_string(icons.iconCount) +
                       " icons, last group " + std::to_string(icons.lastGroup));
    // Walk what the program would show: every registered tag and group name.
    for (std::int16_t i = 0; i < icons.iconCount; ++i)
        if (icons.iconPaths[static_cast<std::size_t>(i)].rfind("C:\\p\\", 0) != 0)
            zv::fuzz::fail("icon " + std::to_string(i) + " has a path outside the program folder");
    for (std::int16_t g = 0; g <= icons.lastGroup; ++g)
        (void)zv::getIconGroupName(g);
    return 0;
}
