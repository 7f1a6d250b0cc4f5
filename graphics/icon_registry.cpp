#include "graphics/icon_registry.h"

#include "platform/surface.h"

namespace zv {

IconSys iconSys;

void resetIcons() {
    iconSys.iconCount = 0;
    iconSys.lastGroup = -1;
    iconSys.groupRefused = false;
    iconSys.extractedAhead.clear();
}

void beginIconGroup(const std::string& name) {
    if (iconSys.lastGroup + 1 >= groupSlots) {
        iconSys.groupRefused = true;
        return;
    }
    iconSys.lastGroup += 1;
    iconSys.groupNames[iconSys.lastGroup] = name;
}

void endIconGroup() {
    if (iconSys.groupRefused)
        return;
    iconSys.groupEnds[iconSys.lastGroup + 1] = static_cast<std::int16_t>(iconSys.iconCount - 1);
}

void markCatalogueEnd() {
    iconSys.lastCatalogueIcon = static_cast<std::int16_t>(iconSys.iconCount - 1);
}

std::int16_t loadIcon(const std::string& path, const std::string& tag) {
    if (iconSys.iconCount >= iconSlots)
        return -1;
    const std::int16_t index = iconSys.iconCount;
    iconSys.iconPaths[index] = path;
    iconSys.iconHandles[index] = nullptr;
    iconSys.iconExtracted[index] = false;
    iconSys.iconTags[index] = tag;
    iconSys.iconCount += 1;
    return index;
}

platform::IconHandle iconHandle(std::int16_t index) {
    if (index < 0 || index >= iconSys.iconCount)
        return nullptr;
    if (!iconSys.iconExtracted[index]) {
        const std::string& path = iconSys.iconPaths[index];
        const auto ahead = iconSys.extractedAhead.find(path);
        iconSys.iconHandles[index] = ahead != iconSys.extractedAhead.end()
                                         ? ahead->second
                                         : platform::extractSmallIcon(path);
        iconSys.iconExtracted[index] = true;
    }
    return iconSys.iconHandles[index];
}

void extractAhead(const std::string& path) {
    if (!iconSys.extractedAhead.count(path))
        iconSys.extractedAhead.emplace(path, platform::extractSmallIcon(path));
}

void drawIcon(platform::Surface& surface, std::int16_t index, int x, int y) {
    surface.drawIcon(iconHandle(index), x, y, 16);
}

std::string getIconTag(std::int16_t index) {
    if (index < 0 || index >= iconSys.iconCount)
        return {};
    return iconSys.iconTags[index];
}

std::string getIconGroupName(std::int16_t index) {
    if (index < 0 || index > iconSys.lastGroup)
        return {};
    return iconSys.groupNames[index];
}

} // namespace zv
