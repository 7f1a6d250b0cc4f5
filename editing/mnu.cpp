#include "editing/mnu.h"

#include "core/app.h"
#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "editing/frm_modifier.h"
#include "editing/frm_quickadd.h"
#include "menus/frm_menu.h"
#include "platform/message_box.h"
#include "platform/popup_menu.h"

#include <vector>

namespace zv {

Mnu mnu;

namespace {

using Command = void (Mnu::*)();

struct Entry {
    const char* caption;
    Command command; // null for separators and "No action"
};

const std::vector<Entry>& mnuAction() {
    static const std::vector<Entry> entries = {
        {"Disable Edit mode", &Mnu::mnuDisable_Click},
        {"-", nullptr},
        {"&Modify", &Mnu::mnuModify_Click},
        {"&Insert", &Mnu::mnuInsert_Click},
        {"Delete", &Mnu::mnuDelete_Click},
        {"-", nullptr},
        {"Cut", &Mnu::mnuCut_Click},
        {"&Copy", &Mnu::mnuCopy_Click},
        {"Paste", &Mnu::mnuPaste_Click},
        {"Move &Up", &Mnu::mnuMoveUp_Click},
        {"Move &Down", &Mnu::mnuMoveDown_Click},
        {"-", nullptr},
        {"Batch add...", &Mnu::mnuBatchAdd_Click},
        {"-", nullptr},
        {"Save", &Mnu::mnuSave_Click},
        {"Quit", &Mnu::mnuQuit_Click},
        {"-", nullptr},
        {"&No action :)", nullptr},
    };
    return entries;
}

const std::vector<Entry>& mnuDisabledEditMode() {
    static const std::vector<Entry> entries = {
        {"&Enable Edit mode", &Mnu::mnuEnable_Click},
        {"-", nullptr},
        {"&Quit", &Mnu::mnuQuit_Click},
        {"-", nullptr},
        {"&No action :)", nullptr},
    };
    return entries;
}

void message(const char* text) {
    platform::messageBox(text, appTitle, platform::Buttons::Ok);
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
    message("The menu is full: it holds at most 101 entries. Entries you delete free their "
            "places only after you save and restart Zelvora.");
}

void Mnu::Popup(FrmMenu& frmCaller) {
    callerMenu = &frmCaller;
    stopHoverTimers();
    const auto& entries = editMode ? mnuAction() : mnuDisabledEditMode();
    std::vector<platform::PopupEntry> shown;
    for (const auto& e : entries)
        shown.push_back({e.caption});
    void* owner = frmCaller.window() ? frmCaller.window()->handle() : nullptr;
    const int chosen = platform::popupMenu(owner, shown);
    if (chosen >= 0 && chosen < static_cast<int>(entries.size()) && entries[chosen].command)
        (this->*entries[chosen].command)();
}

void Mnu::stopHoverTimers() {
    for (int level = 0; level <= topLevel && level < menuLevelCount; ++level)
        if (menuLevels[level])
            menuLevels[level]->stopHoverTimer();
}

bool Mnu::highlighted() const {
    return callerMenu && callerMenu->hasRow();
}

std::int16_t Mnu::highlightedSlot() const {
    return callerMenu->getKey(callerMenu->Hover);
}

bool Mnu::seekHighlighted() {
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
void Mnu::rebuildCaller() {
    if (callerMenu->isOpen())
        callerMenu->rebuild();
}

void Mnu::mnuDisable_Click() {
    editMode = false;
}

void Mnu::mnuEnable_Click() {
    editMode = true;
}

void Mnu::mnuModify_Click() {
    if (!highlighted())
        return;
    const std::int16_t slot = highlightedSlot();
    frmModifier.Setup(slot, callerMenu->menu);
    frmModifier.showModal(callerMenu->window() ? callerMenu->window()->handle() : nullptr);
    if (editAccepted == 0)
        return;
    if (!seekHighlighted())
        return;
    items[slot] = editItem;
    rebuildCaller();
    unsavedChanges = true;
}

void Mnu::mnuInsert_Click() {
    if (freeSlots() == 0) {
        showMenuFull();
        return;
    }
    const std::int16_t idBefore = lastMenuId;
    frmModifier.Setup(-1, callerMenu->menu);
    frmModifier.showModal(callerMenu->window() ? callerMenu->window()->handle() : nullptr);
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

void Mnu::mnuDelete_Click() {
    if (!highlighted())
        return;
    if (callerMenu->MaxItems == 0) {
        message("There must be at least 1 item in any menu.");
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

void Mnu::mnuCut_Click() {
    if (!highlighted() || !seekHighlighted())
        return;
    clipItem = items[highlightedSlot()];
    listRemove();
    rebuildCaller();
    unsavedChanges = true;
}

void Mnu::mnuCopy_Click() {
    if (!highlighted())
        return;
    clipItem = items[highlightedSlot()];
}

void Mnu::mnuPaste_Click() {
    if (!clipItem)
        return;
    if (freeSlots() == 0) {
        showMenuFull();
        return;
    }
    clipItem->parentMenu = callerMenu->menu;
    if (highlighted() && seekHighlighted()) {
        listInsert(*clipItem);
    } else {
        listRewind();
        listAppend(*clipItem);
    }
    rebuildCaller();
    unsavedChanges = true;
}

void Mnu::mnuMoveUp_Click() {
    if (!highlighted())
        return;
    if (callerMenu->Hover == 0) {
        message("You cannot move the uppermost menu item up.");
        return;
    }
    listSwap(callerMenu->getKey(static_cast<std::int16_t>(callerMenu->Hover - 1)),
             callerMenu->getKey(callerMenu->Hover));
    unsavedChanges = true;
}

void Mnu::mnuMoveDown_Click() {
    if (!highlighted())
        return;
    if (callerMenu->Hover == callerMenu->MaxItems) {
        message("You cannot move the lowest menu item down.");
        return;
    }
    listSwap(callerMenu->getKey(callerMenu->Hover),
             callerMenu->getKey(static_cast<std::int16_t>(callerMenu->Hover + 1)));
    unsavedChanges = true;
}

void Mnu::mnuBatchAdd_Click() {
    if (!batchAddOpen)
        frmQuickadd.Bootstrap();
}

void Mnu::mnuSave_Click() {
    saveMenuFile();
}

void Mnu::mnuQuit_Click() {
    quitApp();
}

} // namespace zv
