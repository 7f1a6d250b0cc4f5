#include "editing/edit_menu.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "core/messages.h"
#include "editing/item_editor.h"
#include "editing/quick_add_dialog.h"
#include "menus/menu_window.h"
#include "platform/message_box.h"
#include "platform/popup_menu.h"
#include "trigger/quit.h"

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

} // namespace

void showMenuFull() {
    tell("The menu is full: it holds at most 101 entries. Entries you delete free their "
         "places only after you save and restart Zelvora.");
}

void EditMenu::show(MenuWindow& caller) {
    callerMenu = &caller;
    stopHoverTimers();
    const auto& entries = editMode ? editModeEntries() : shortEntries();
    std::vector<platform::PopupEntry> shown;
    for (const auto& e : entries)
        shown.push_back({e.caption});
    void* owner = caller.window() ? caller.window()->handle() : nullptr;
    const int chosen = platform::popupMenu(owner, shown);
    if (chosen >= 0 && chosen < static_cast<int>(entries.size()) && entries[chosen].command)
        (this->*entries[chosen].command)();
}

void EditMenu::stopHoverTimers() {
    for (int level = 0; level <= topLevel && level < menuLevelCount; ++level)
        if (menuLevels[level])
            menuLevels[level]->stopHoverTimer();
}

bool EditMenu::highlighted() const {
    return callerMenu && callerMenu->hasRow();
}

std::int16_t EditMenu::highlightedSlot() const {
    return callerMenu->slotOfRow(callerMenu->hoverRow);
}

bool EditMenu::seekHighlighted() {
    const std::int16_t slot = highlightedSlot();
    listRewind();
    Step step;
    while (listStep(step))
        if (step.slot == slot)
            return true;
    return false;
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

void EditMenu::modifyEntry() {
    if (!highlighted())
        return;
    const std::int16_t slot = highlightedSlot();
    itemEditor.prepare(slot, callerMenu->menuId);
    itemEditor.showModal(callerMenu->window() ? callerMenu->window()->handle() : nullptr);
    if (editAccepted == 0)
        return;
    if (!seekHighlighted())
        return;
    items[slot] = editItem;
    rebuildCaller();
    unsavedChanges = true;
}

void EditMenu::insertEntry() {
    if (freeSlots() == 0) {
        showMenuFull();
        return;
    }
    const std::int16_t idBefore = lastMenuId;
    itemEditor.prepare(-1, callerMenu->menuId);
    itemEditor.showModal(callerMenu->window() ? callerMenu->window()->handle() : nullptr);
    if (editAccepted == 0)
        return;
    const bool isMenu = editItem.itemType == Menu;
    if (freeSlots() < (isMenu ? 2 : 1)) {
        lastMenuId = idBefore; // the refused submenu does not use up its id
        showMenuFull();
        return;
    }
    // Without a highlighted row the entry goes to the end of the list, in the caller's menu.
    if (highlighted() && seekHighlighted()) {
        listInsert(editItem);
    } else {
        listRewind();
        listAppend(editItem);
    }
    if (isMenu) {
        // A new submenu is never empty: its placeholder lands just before the Menu entry.
        editItem.name = "No program";
        editItem.parentMenu = editItem.target.asNumber().value_or(0);
        editItem.target = Target("");
        editItem.itemType = File;
        listInsert(editItem);
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
    if (!seekHighlighted())
        return;
    const MenuEntry removed = items[highlightedSlot()];
    listRemove();
    if (removed.itemType == Menu) {
        // One pass from the head: entries of a removed submenu go, and so do the entries of
        // submenus found on the way. The list of ids grows as deep as the nesting goes.
        listRewind();
        std::vector<std::int16_t> ids;
        if (auto id = removed.target.asNumber())
            ids.push_back(*id);
        Step step;
        while (listStep(step)) {
            bool match = false;
            for (std::int16_t id : ids)
                if (step.entry.parentMenu == id)
                    match = true;
            if (match) {
                listRemove();
                if (step.entry.itemType == Menu)
                    if (auto id = step.entry.target.asNumber())
                        ids.push_back(*id);
            }
            if (step.isLast)
                break;
        }
    }
    rebuildCaller();
    unsavedChanges = true;
}

void EditMenu::cutEntry() {
    if (!highlighted() || !seekHighlighted())
        return;
    clipItem = items[highlightedSlot()];
    listRemove();
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
    if (highlighted() && seekHighlighted()) {
        listInsert(*clipItem);
    } else {
        listRewind();
        listAppend(*clipItem);
    }
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
    listSwap(callerMenu->slotOfRow(static_cast<std::int16_t>(callerMenu->hoverRow - 1)),
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
    listSwap(callerMenu->slotOfRow(callerMenu->hoverRow),
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
