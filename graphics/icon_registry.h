// The program's one table of row icons (16 x 16 at 96 DPI, read at the size of the scale): the
// catalogue's icons in named groups, then the icons taken from entry targets as they are first
// drawn. Indexes never change during a run.
#pragma once

#include "platform/icons.h"

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zv {

namespace platform {
class Surface;
}

inline constexpr int iconSlots = 301;
inline constexpr int groupSlots = 11;

struct IconRegistry {
    std::int16_t iconCount = 0;
    // Icons are registered by path and extracted when first drawn, so start-up stays quick
    // however long the catalogue is.
    std::array<std::string, iconSlots> iconPaths;
    std::array<platform::IconHandle, iconSlots> iconHandles{};
    std::array<bool, iconSlots> iconExtracted{};
    // Asked of the worker that reads slow drives, and not arrived yet.
    std::array<bool, iconSlots> iconAway{};
    std::array<std::string, iconSlots> iconTags;
    std::int16_t lastGroup = -1;
    std::array<std::string, groupSlots> groupNames;
    std::array<std::int16_t, groupSlots + 1> groupEnds{};
    std::int16_t lastCatalogueIcon = -1;
    // A group beyond the last one the table holds was refused; its icons belong to no group.
    bool groupRefused = false;
    // Icons of paths not registered yet, extracted while the program was idle: a registration
    // of the path takes the handle from here instead of reading the file again.
    std::map<std::string, platform::IconHandle> extractedAhead;
    // The size icons are read and drawn at, in pixels.
    int iconSize = 16;
    // The slot each target's icon was read into: an entry edited again and again takes the
    // same slot each time, so a long editing session does not use the table up.
    std::map<std::string, std::int16_t> targetSlots;
    // Paths extractAhead asked the worker for, not arrived yet.
    std::set<std::string> aheadAway;
};

extern IconRegistry iconRegistry;

void resetIcons();
// Refused (nothing changes) when every group slot is taken.
void beginIconGroup(const std::string& name);
void endIconGroup();
void markCatalogueEnd();
// Registers the first icon of the file at path under tag and returns its index; -1 when the
// table is full. The slot is taken whether or not the file has an icon.
std::int16_t loadIcon(const std::string& path, const std::string& tag);
// The slot of the icon taken from a target file: the one its path already has, otherwise a new
// one (untagged); -1 when the table is full.
std::int16_t targetIcon(const std::string& path);
// The icon's handle, extracted on first use; null for a file without an icon or a bad index.
// A file on a slow drive is read away: null until its icon arrives.
platform::IconHandle iconHandle(std::int16_t index);
// Takes the icons read away; true when a registered icon got its handle (rows showing it need
// painting again).
bool iconsArrived(const std::vector<platform::ArrivedIcon>& arrived);
// Extracts the icon of path before anything registers it; indexes are still given out by
// loadIcon alone, in the order things are drawn.
void extractAhead(const std::string& path);
// A new size for the rows' icons: those read at the old size are let go and read again, at the
// new size, when next asked for. Nothing happens when the size stays.
void setIconSize(int pixels);
// Draws icon index at (x, y) at the icon size; nothing for a null icon or a bad index.
void drawIcon(platform::Surface& surface, std::int16_t index, int x, int y);
std::string getIconTag(std::int16_t index);
std::string getIconGroupName(std::int16_t index);

} // namespace zv
