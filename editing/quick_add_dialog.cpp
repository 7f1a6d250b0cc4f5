#include "editing/quick_add_dialog.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "core/messages.h"
#include "editing/edit_menu.h"
#include "editing/item_editor.h"
#include "editing/quick_add_layout.h"
#include "platform/message_box.h"

#include <algorithm>

namespace zv {

QuickAddDialog quickAddDialog;

using namespace quickAddControl;

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Every occurrence of the lower-case ASCII part in any case. The bytes of a UTF-8 letter beyond
// ASCII never match an ASCII one, so no letter is cut.
void removeAll(std::string& text, const std::string& part) {
    std::string folded = text;
    std::transform(folded.begin(), folded.end(), folded.begin(), lowerAscii);
    for (auto at = folded.find(part); at != std::string::npos; at = folded.find(part, at)) {
        text.erase(at, part.size());
        folded.erase(at, part.size());
    }
}

} // namespace

std::string offeredName(const std::string& fileName) {
    std::string name = fileName;
    removeAll(name, ".exe");
    removeAll(name, ".lnk");
    return name;
}

void QuickAddDialog::start() {
    batchAddOpen = true;
    // A cancelled choice ends the batch add: searching from the root of the current drive
    // is not what anyone who pressed Cancel meant.
    const std::string start = browseForFolder("Please select a folder to search");
    if (start.empty()) {
        batchAddOpen = false;
        return;
    }
    closingDialog_.reset();
    model = quickAddLayout();
    dialog_ = std::make_unique<platform::Dialog>(model, *this);
    dialog_->showModeless();
    categoryMenus.clear();
    categoryMenus["(top-level)"] = 0;
    auto& categories = model[menuList];
    categories.items = {"(top-level)"};
    // The submenus of the root menu, in list order; deeper ones are not offered.
    for (std::int16_t slot : listOrder()) {
        const MenuEntry& e = items[slot];
        const auto id = e.target.asNumber();
        if (e.itemType == Menu && e.parentMenu == 0 && id &&
            categoryMenus.emplace(e.name, *id).second)
            categories.items.push_back(e.name);
    }
    insertAt_ = lastSlot();
    categories.selected = 0;
    dialog_->sync();
    search.queueInit();
    search.enqueueFolder(start);
    search.filePatterns = {"*.exe", "*.lnk"};
    if (nextFolder())
        showFound();
}

bool QuickAddDialog::nextFolder() {
    offering_ = false;
    searching_ = true;
    setButtons(false);
    const bool found = search.nextFolderWithFiles();
    searching_ = false;
    if (!dialog_)
        return false; // closed by the user during the step
    if (!found) {
        closeDialog();
        return false;
    }
    return true;
}

void QuickAddDialog::setButtons(bool enabled) {
    if (!dialog_)
        return;
    model[yesButton].enabled = enabled;
    model[noButton].enabled = enabled;
    dialog_->sync();
}

void QuickAddDialog::showFound() {
    if (!dialog_)
        return;
    const auto at = static_cast<std::size_t>(search.foundCursor);
    model[nameBox].text = offeredName(search.foundNames[at]);
    model[targetText].text = search.foundTargets[at];
    // The file's own large icon; the one shown before is let go.
    auto& ico = dialog_->pictureSurface(iconPicture);
    ico.clear(model[iconPicture].background);
    if (largeIcon_)
        platform::destroyIcon(largeIcon_);
    largeIcon_ = platform::extractLargeIcon(search.foundTargets[at]);
    ico.drawIcon(largeIcon_, 0, 0, 32);
    dialog_->presentPicture(iconPicture);
    offering_ = true;
    setButtons(true);
}

void QuickAddDialog::accept() {
    if (!offering_)
        return;
    auto& nameText = model[nameBox];
    const std::string& target = model[targetText].text;
    // An entry with an empty name would look like a free slot while still in the list.
    if (nameText.text.empty()) {
        tell("Please select a name");
        return;
    }
    if (!fileCanCarry(nameText.text) || !fileCanCarry(target)) {
        tell("This name or target cannot be kept in the menu file: it must not begin with "
             "a double quote, nor hold one when it begins or ends with a blank.");
        return;
    }
    const auto& categories = model[menuList];
    std::int16_t parent = 0;
    if (categories.selected >= 0 &&
        categories.selected < static_cast<int>(categories.items.size())) {
        auto it =
            categoryMenus.find(categories.items[static_cast<std::size_t>(categories.selected)]);
        if (it != categoryMenus.end())
            parent = it->second;
    }
    // Each new entry goes before the one added last, the first before the list's last entry,
    // so the batch comes out newest first just above that entry. An entry removed meanwhile
    // hands the place back to the list's end.
    if (!inList(insertAt_))
        insertAt_ = lastSlot();
    const std::int16_t added =
        insertBefore(insertAt_, MenuEntry{nameText.text, File, parent, Target(target), -1, -1});
    if (added != -1) {
        insertAt_ = added;
        unsavedChanges = true;
    } else {
        showMenuFull();
    }
    advance();
}

void QuickAddDialog::skip() {
    if (!offering_)
        return;
    advance();
}

void QuickAddDialog::advance() {
    search.foundCursor += 1;
    if (search.foundCursor == search.foundCount && !nextFolder())
        return;
    showFound();
}

void QuickAddDialog::clicked(platform::ControlId control) {
    if (control == yesButton)
        accept();
    else if (control == noButton)
        skip();
}

void QuickAddDialog::closeRequested() {
    // A search step still running ends at its next yield.
    search.stopped = true;
    closeDialog();
}

void QuickAddDialog::closeDialog() {
    if (!dialog_)
        return;
    offering_ = false;
    dialog_->close();
    // The native dialog goes now; the object is let go when no handler of it can still run.
    closingDialog_ = std::move(dialog_);
    if (largeIcon_) {
        platform::destroyIcon(largeIcon_);
        largeIcon_ = nullptr;
    }
    batchAddOpen = false;
    categoryMenus.clear();
    tell("Please Save the changes and restart Zelvora.");
}

void QuickAddDialog::unload() {
    dialog_.reset();
    closingDialog_.reset();
    if (largeIcon_) {
        platform::destroyIcon(largeIcon_);
        largeIcon_ = nullptr;
    }
}

} // namespace zv
