#include "graphics/icon_registry.h"

#include "platform/surface.h"

#include <set>

namespace zv {

IconRegistry iconRegistry;

void resetIcons() {
    iconRegistry.iconCount = 0;
    iconRegistry.lastGroup = -1;
    iconRegistry.groupRefused = false;
    iconRegistry.extractedAhead.clear();
    iconRegistry.iconSize = 16;
}

void beginIconGroup(const std::string& name) {
    if (iconRegistry.lastGroup + 1 >= groupSlots) {
        iconRegistry.groupRefused = true;
        return;
    }
    iconRegistry.lastGroup += 1;
    iconRegistry.groupNames[iconRegistry.lastGroup] = name;
}

void endIconGroup() {
    if (iconRegistry.groupRefused)
        return;
    iconRegistry.groupEnds[iconRegistry.lastGroup + 1] =
        static_cast<std::int16_t>(iconRegistry.iconCount - 1);
}

void markCatalogueEnd() {
    iconRegistry.lastCatalogueIcon = static_cast<std::int16_t>(iconRegistry.iconCount - 1);
}

std::int16_t loadIcon(const std::string& path, const std::string& tag) {
    if (iconRegistry.iconCount >= iconSlots)
        return -1;
    const std::int16_t index = iconRegistry.iconCount;
    iconRegistry.iconPaths[index] = path;
    iconRegistry.iconHandles[index] = nullptr;
    iconRegistry.iconExtracted[index] = false;
    iconRegistry.iconTags[index] = tag;
    iconRegistry.iconCount += 1;
    return index;
}

platform::IconHandle iconHandle(std::int16_t index) {
    if (index < 0 || index >= iconRegistry.iconCount)
        return nullptr;
    if (!iconRegistry.iconExtracted[index]) {
        const std::string& path = iconRegistry.iconPaths[index];
        const auto ahead = iconRegistry.extractedAhead.find(path);
        iconRegistry.iconHandles[index] = ahead != iconRegistry.extractedAhead.end()
                                              ? ahead->second
                                              : platform::extractIcon(path, iconRegistry.iconSize);
        iconRegistry.iconExtracted[index] = true;
    }
    return iconRegistry.iconHandles[index];
}

void extractAhead(const std::string& path) {
    if (!iconRegistry.extractedAhead.count(path))
        iconRegistry.extractedAhead.emplace(path,
                                            platform::extractIcon(path, iconRegistry.iconSize));
}

void setIconSize(int pixels) {
    if (pixels == iconRegistry.iconSize)
        return;
    // A handle taken from the icons read ahead sits in both places: each is destroyed once.
    std::set<platform::IconHandle> read;
    for (const auto& [path, icon] : iconRegistry.extractedAhead)
        read.insert(icon);
    for (std::int16_t i = 0; i < iconRegistry.iconCount; ++i)
        if (iconRegistry.iconExtracted[i]) {
            read.insert(iconRegistry.iconHandles[i]);
            iconRegistry.iconHandles[i] = nullptr;
            iconRegistry.iconExtracted[i] = false;
        }
    iconRegistry.extractedAhead.clear();
    for (platform::IconHandle icon : read)
        platform::destroyIcon(icon);
    iconRegistry.iconSize = pixels;
}

void drawIcon(platform::Surface& surface, std::int16_t index, int x, int y) {
    surface.drawIcon(iconHandle(index), x, y, iconRegistry.iconSize);
}

std::string getIconTag(std::int16_t index) {
    if (index < 0 || index >= iconRegistry.iconCount)
        return {};
    return iconRegistry.iconTags[index];
}

std::string getIconGroupName(std::int16_t index) {
    if (index < 0 || index > iconRegistry.lastGroup)
        return {};
    return iconRegistry.groupNames[index];
}

} // namespace zv
