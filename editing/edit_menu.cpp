#include "editing/edit_menu.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "core/messages.h"
#include "editing/item_editor.h"
#include "editing/quick_add_dialog.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/message_box.h"
#include "platform/popup_menu.h"
#include "trigger/quit.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace zv {

EditMenu editMenu;

namespace {

using Command = void (EditMenu::*)();

struct Entry {
    const char* caption;
    Command command; // null for separators and "No action"
};

const std::vector<Entry>& editModeEntries() {
    static const std::vector<Entry> entries = {
        {"Disable Edit mode", &EditMenu::disableEditMode},
        {"-", nullptr},
        {"&Modify", &EditMenu::modifyEntry},
        {"&Insert", &EditMenu::insertEntry},
        {"Delete", &EditMenu::deleteEntry},
        {"-", nullptr},
        {"Cut", &EditMenu::cutEntry},
        {"&Copy", &EditMenu::copyEntry},
        {"Paste", &EditMenu::pasteEntry},
        {"Move &Up", &EditMenu::moveUp},
        {"Move &Down", &EditMenu::moveDown},
        {"-", nullptr},
        {"Batch add...", &EditMenu::batchAdd},
        {"-", nullptr},
        {"Save", &EditMenu::save},
        {"Quit", &EditMenu::quit},
        {"-", nullptr},
        {"&No action :)", nullptr},
    };
    return entries;
}

const std::vector<Entry>& shortEntries() {
    static const std::vector<Entry> entries = {
        {"&Enable Edit mode", &EditMenu::enableEditMode},
        {"-", nullptr},
        {"&Quit", &EditMenu::quit},
        {"-", nullptr},
        {"&No action :)", nullptr},
    };
    return entries;
}

int freeSlots() {
    int n = 0;
    for (const auto& item : items)
        if (item.name.empty())
            ++n;
    return n;
}

// Takes out every entry of submenu id and of every submenu inside it, wherever in the list
// they stand (a placeholder stands before its Menu entry): passes repeat until one finds no
// further submenu. Nothing outside those submenus is touched.
void removeSubmenu(std::int16_t id) {
    if (id == 0)
        return; // the root is no submenu: a Menu entry pointing at it takes nothing with it
    std::vector<std::int16_t> ids{id};
    for (std::size_t known = 0; known != ids.size();) {
        known = ids.size();
        std::vector<std::int16_t> doomed;
        for (std::int16_t slot : listOrder()) {
            const MenuEntry& entry = items[slot];
            if (std::find(ids.begin(), ids.end(), entry.parentMenu) == ids.end())
                continue;
            doomed.push_back(slot);
            if (entry.itemType == Menu)
                if (auto inner = entry.target.asNumber();
                    inner && *inner != 0 && std::find(ids.begin(), ids.end(), *inner) == ids.end())
                    ids.push_back(*inner);
        }
        for (std::int16_t slot : doomed)
            remove(slot);
    }
}

} // namespace

void showMenuFull() {
    tell("The menu is full: it holds at most 101 entries. Entries you delete free their "
         "places only after you save and restart Zelvora.");
}

void EditMenu::show(MenuWindow& caller, std::optional<Point> at) {
    callerMenu = &caller;
    stopHoverTimers();
    const auto& entries = editMode ? editModeEntries() : shortEntries();
    std::vector<platform::PopupEntry> shown;
    for (const auto& e : entries)
        shown.push_back({e.caption});
    void* owner = caller.window() ? caller.window()->handle() : nullptr;
    const int chosen = platform::popupMenu(owner, shown, at);
    if (chosen >= 0 && chosen < static_cast<int>(entries.size()) && entries[chosen].command)
        (this->*entries[chosen].command)();
}

void EditMenu::stopHoverTimers() {
    for (int level = 0; level <= topLevel && level < menuLevelCount; ++level)
        menuLevel(level).stopHoverTimer();
}

bool EditMenu::highlighted() const {
    return callerMenu && callerMenu->hasRow();
}

std::int16_t EditMenu::highlightedSlot() const {
    return callerMenu->slotOfRow(callerMenu->hoverRow);
}

// The caller may have been closed while a dialog was up (the program lost the activation); a
// closed window stays closed.
void EditMenu::rebuildCaller() {
    if (callerMenu->isOpen())
        callerMenu->rebuild();
}

void EditMenu::disableEditMode() {
    editMode = false;
}

void EditMenu::enableEditMode() {
    editMode = true;
}

void* EditMenu::callerHandle() {
    return callerMenu->window() ? callerMenu->window()->handle() : nullptr;
}

void EditMenu::modifyEntry() {
    if (!highlighted())
        return;
    const std::int16_t slot = highlightedSlot();
    auto edited = itemEditor.edit(&items[slot], callerMenu->menuId, callerHandle());
    // The dialog is modal, but other windows still run meanwhile: the entry may be gone.
    if (!edited || !inList(slot))
        return;
    edited->nextIndex = items[slot].nextIndex;
    items[slot] = *edited;
    rebuildCaller();
    unsavedChanges = true;
}

void EditMenu::insertEntry() {
    if (freeSlots() == 0) {
        showMenuFull();
        return;
    }
    const std::int16_t idBefore = lastMenuId;
    auto edited = itemEditor.edit(nullptr, callerMenu->menuId, callerHandle());
    if (!edited)
        return;
    const bool isMenu = edited->itemType == Menu;
    // A submenu past the highest 16-bit id would wrap around onto ids already in use.
    const bool idsLeft = idBefore < std::numeric_limits<std::int16_t>::max();
    if (freeSlots() < (isMenu ? 2 : 1) || (isMenu && !idsLeft)) {
        lastMenuId = idBefore; // the refused submenu does not use up its id
        showMenuFull();
        return;
    }
    // Before the highlighted row; without one, at the end of the list, in the caller's menu.
    const std::int16_t added =
        highlighted() ? insertBefore(highlightedSlot(), *edited) : append(*edited);
    if (isMenu) {
        // A new submenu is never empty: its placeholder goes just before the Menu entry and
        // shows the icon chosen for the submenu.
        insertBefore(added, MenuEntry{"No program", File, edited->target.asNumber().value_or(0),
                                      Target(""), edited->iconIndex, -1});
    }
    rebuildCaller();
    unsavedChanges = true;
}

void EditMenu::deleteEntry() {
    if (!highlighted())
        return;
    if (callerMenu->lastRow == 0) {
        tell("There must be at least 1 item in any menu.");
        return;
    }
    const std::int16_t slot = highlightedSlot();
    const MenuEntry removed = items[slot];
    remove(slot);
    if (removed.itemType == Menu)
        if (auto id = removed.target.asNumber())
            removeSubmenu(*id);
    rebuildCaller();
    unsavedChanges = true;
}

void EditMenu::cutEntry() {
    if (!highlighted())
        return;
    const std::int16_t slot = highlightedSlot();
    clipItem = items[slot];
    remove(slot);
    rebuildCaller();
    unsavedChanges = true;
}

void EditMenu::copyEntry() {
    if (!highlighted())
        return;
    clipItem = items[highlightedSlot()];
}

void EditMenu::pasteEntry() {
    if (!clipItem)
        return;
    if (freeSlots() == 0) {
        showMenuFull();
        return;
    }
    clipItem->parentMenu = callerMenu->menuId;
    if (highlighted())
        insertBefore(highlightedSlot(), *clipItem);
    else
        append(*clipItem);
    rebuildCaller();
    unsavedChanges = true;
}

void EditMenu::moveUp() {
    if (!highlighted())
        return;
    if (callerMenu->hoverRow == 0) {
        tell("You cannot move the uppermost menu item up.");
        return;
    }
    swapEntries(callerMenu->slotOfRow(static_cast<std::int16_t>(callerMenu->hoverRow - 1)),
                callerMenu->slotOfRow(callerMenu->hoverRow));
    unsavedChanges = true;
}

void EditMenu::moveDown() {
    if (!highlighted())
        return;
    if (callerMenu->hoverRow == callerMenu->lastRow) {
        tell("You cannot move the lowest menu item down.");
        return;
    }
    swapEntries(callerMenu->slotOfRow(callerMenu->hoverRow),
                callerMenu->slotOfRow(static_cast<std::int16_t>(callerMenu->hoverRow + 1)));
    unsavedChanges = true;
}

void EditMenu::batchAdd() {
    if (!batchAddOpen)
        quickAddDialog.start();
}

void EditMenu::save() {
    saveMenuFile();
}

void EditMenu::quit() {
    quitApp();
}

} // namespace zv
