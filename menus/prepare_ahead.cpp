#include "menus/prepare_ahead.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "graphics/icon_registry.h"
#include "graphics/side_strip.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/icons.h"
#include "platform/window.h"
#include "trigger/trigger_window.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zv {

namespace {

// The icon a row will draw: a registered one by index, or its target's by path.
struct IconAhead {
    std::int16_t index = -1;
    std::string path;
};

bool drawsIcon(const MenuEntry& entry) {
    return entry.itemType == File || entry.itemType == Menu || entry.itemType == Special;
}

// Every row's icon, the root's rows first as the first click shows them, then the others in
// list order.
std::vector<IconAhead> iconsOfTheRows() {
    std::vector<IconAhead> rootRows, otherRows;
    for (std::int16_t slot : listOrder()) {
        const MenuEntry& entry = items[slot];
        if (drawsIcon(entry)) {
            IconAhead icon{entry.iconIndex, entry.iconIndex == -1 ? entry.target.asText() : ""};
            (entry.parentMenu == 0 ? rootRows : otherRows).push_back(std::move(icon));
        }
    }
    rootRows.insert(rootRows.end(), otherRows.begin(), otherRows.end());
    return rootRows;
}

// How many levels a menu and the submenus it opens fill, along its deepest path; a menu met
// again on the path (a submenu that opens an outer menu) ends it.
// Each menu is walked once for each depth it is met at: a store whose menus each open the next
// from many rows would otherwise be walked once per path, too many to finish.
using LevelsSeen = std::map<std::pair<std::int16_t, std::size_t>, int>;

int levelsOf(std::int16_t menu, std::vector<std::int16_t>& path, LevelsSeen& seen) {
    if (path.size() >= static_cast<std::size_t>(menuLevelCount) ||
        std::find(path.begin(), path.end(), menu) != path.end())
        return 0;
    const auto key = std::make_pair(menu, path.size());
    if (const auto found = seen.find(key); found != seen.end())
        return found->second;
    path.push_back(menu);
    int deepest = 0;
    for (std::int16_t slot : listOrder()) {
        const MenuEntry& entry = items[slot];
        if (entry.parentMenu == menu && entry.itemType == Menu)
            if (const auto submenu = entry.target.asNumber())
                deepest = std::max(deepest, levelsOf(*submenu, path, seen));
    }
    path.pop_back();
    return seen[key] = 1 + deepest;
}

// The row of an open level whose submenu leads deepest, or -1 when none opens one.
std::int16_t deepestRow(const MenuWindow& menu, std::vector<std::int16_t>& path) {
    LevelsSeen seen;
    std::int16_t best = -1;
    int bestLevels = 0;
    for (std::int16_t row = 0; row <= menu.lastRow; ++row) {
        const MenuEntry& entry = items[menu.rowSlots[row]];
        if (entry.itemType != Menu)
            continue;
        if (const auto submenu = entry.target.asNumber()) {
            const int levels = levelsOf(*submenu, path, seen);
            if (levels > bestLevels) {
                best = row;
                bestLevels = levels;
            }
        }
    }
    return best;
}

class Ahead {
  public:
    // One step; false when everything is ready.
    bool step() {
        switch (stage_) {
        case 0:
            useMenuScale(triggerWindow.monitor().scale);
            sideStrip.load();
            icons_ = iconsOfTheRows();
            ++stage_;
            return true;
        case 1:
            // Every row's icon, one a step.
            if (next_ < icons_.size()) {
                const IconAhead& icon = icons_[next_++];
                if (icon.index >= 0)
                    iconHandle(icon.index);
                else
                    extractAhead(icon.path);
                return true;
            }
            ++stage_;
            return true;
        default:
            // Then the windows of the root and of each level its deepest submenus open, laid
            // out as they first open, shown once where nobody sees them (a window's first
            // showing costs more than any later one) and painted.
            return warmLevel();
        }
    }

  private:
    // Readies the next level; false when there is none. A level the user has open shows what
    // the user opened and is left as it is: laid out here it would turn into another menu under
    // the pointer. The levels below it are readied from what it shows.
    bool warmLevel() {
        if (level_ >= menuLevelCount)
            return false;
        MenuWindow& menu = menuLevel(level_);
        const auto atLevel = static_cast<std::int16_t>(level_++);
        if (atLevel == 0) {
            if (!menu.isOpen())
                menu.layOut(0, 0);
        } else {
            MenuWindow& parent = menuLevel(atLevel - 1);
            path_.push_back(parent.menuId);
            if (!menu.isOpen()) {
                const std::int16_t row = deepestRow(parent, path_);
                if (row < 0)
                    return false;
                const auto submenu = items[parent.rowSlots[row]].target.asNumber();
                menu.layOut(*submenu, atLevel, row);
            }
        }
        if (!menu.isOpen()) {
            menu.showOnceUnseen();
            menu.paintUnseen();
        }
        return true;
    }

    int stage_ = 0;
    int level_ = 0;
    std::vector<std::int16_t> path_; // the menus of the levels readied so far
    std::vector<IconAhead> icons_;
    std::size_t next_ = 0;
};

// Icons read away from slow drives: the open menus showing them are painted again.
void showArrivedIcons(const std::vector<platform::ArrivedIcon>& arrived) {
    if (!iconsArrived(arrived))
        return;
    for (int level = 0; level <= topLevel && level < menuLevelCount; ++level)
        if (menuLevel(level).isOpen())
            menuLevel(level).drawAll();
}

} // namespace

void prepareAhead() {
    platform::whenIconsArrive(&showArrivedIcons);
    platform::runWhenIdle([ahead = Ahead()]() mutable { return ahead.step(); });
}

} // namespace zv
