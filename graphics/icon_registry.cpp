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
    iconRegistry.targetSlots.clear();
    iconRegistry.aheadAway.clear();
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
    iconRegistry.iconAway[index] = false;
    iconRegistry.iconTags[index] = tag;
    iconRegistry.iconCount += 1;
    return index;
}

std::int16_t targetIcon(const std::string& path) {
    const auto known = iconRegistry.targetSlots.find(path);
    if (known != iconRegistry.targetSlots.end())
        return known->second;
    const std::int16_t index = loadIcon(path, "");
    if (index >= 0)
        iconRegistry.targetSlots.emplace(path, index);
    return index;
}

platform::IconHandle iconHandle(std::int16_t index) {
    if (index < 0 || index >= iconRegistry.iconCount)
        return nullptr;
    if (!iconRegistry.iconExtracted[index] && !iconRegistry.iconAway[index]) {
        const std::string& path = iconRegistry.iconPaths[index];
        const auto ahead = iconRegistry.extractedAhead.find(path);
        if (ahead != iconRegistry.extractedAhead.end()) {
            iconRegistry.iconHandles[index] = ahead->second;
            iconRegistry.iconExtracted[index] = true;
        } else if (iconRegistry.aheadAway.count(path) || platform::iconReadMayWait(path)) {
            // A drive that may not answer must not freeze the menus: the row shows no icon
            // until the worker has read it.
            iconRegistry.iconAway[index] = true;
            if (!iconRegistry.aheadAway.count(path))
                platform::readIconAway(path, iconRegistry.iconSize);
        } else {
            iconRegistry.iconHandles[index] = platform::extractIcon(path, iconRegistry.iconSize);
            iconRegistry.iconExtracted[index] = true;
        }
    }
    return iconRegistry.iconHandles[index];
}

bool iconsArrived(const std::vector<platform::ArrivedIcon>& arrived) {
    bool shown = false;
    for (const platform::ArrivedIcon& icon : arrived) {
        if (icon.size != iconRegistry.iconSize) {
            // Read before the size changed: it would be drawn stretched. Whoever still waits
            // for it gets it read again at the new size.
            platform::destroyIcon(icon.icon);
            bool awaited = iconRegistry.aheadAway.count(icon.path) > 0;
            for (int i = 0; i < iconRegistry.iconCount && !awaited; ++i)
                awaited = iconRegistry.iconAway[i] && iconRegistry.iconPaths[i] == icon.path;
            if (awaited)
                platform::readIconAway(icon.path, iconRegistry.iconSize);
            continue;
        }
        bool taken = false;
        for (int i = 0; i < iconRegistry.iconCount; ++i) {
            if (!iconRegistry.iconAway[i] || iconRegistry.iconPaths[i] != icon.path)
                continue;
            iconRegistry.iconHandles[i] = icon.icon;
            iconRegistry.iconExtracted[i] = true;
            iconRegistry.iconAway[i] = false;
            taken = true;
        }
        iconRegistry.aheadAway.erase(icon.path);
        if (!taken && !iconRegistry.extractedAhead.count(icon.path))
            iconRegistry.extractedAhead.emplace(icon.path, icon.icon);
        else if (!taken)
            platform::destroyIcon(icon.icon);
        shown = shown || taken;
    }
    return shown;
}

void extractAhead(const std::string& path) {
    if (iconRegistry.extractedAhead.count(path) || iconRegistry.aheadAway.count(path))
        return;
    if (platform::iconReadMayWait(path)) {
        iconRegistry.aheadAway.insert(path);
        platform::readIconAway(path, iconRegistry.iconSize);
        return;
    }
    iconRegistry.extractedAhead.emplace(path, platform::extractIcon(path, iconRegistry.iconSize));
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
