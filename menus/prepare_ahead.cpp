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

#include <cstddef>
#include <cstdint>
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

class Ahead {
  public:
    // One step; false when everything is ready.
    bool step() {
        switch (stage_++) {
        case 0:
            useMenuScale(triggerWindow.monitor().scale);
            sideStrip.load();
            return true;
        case 1:
            menuLevel(0).load();
            return true;
        case 2:
            icons_ = iconsOfTheRows();
            return !icons_.empty();
        default:
            break;
        }
        const IconAhead& icon = icons_[next_++];
        if (icon.index >= 0)
            iconHandle(icon.index);
        else
            extractAhead(icon.path);
        return next_ < icons_.size();
    }

  private:
    int stage_ = 0;
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
