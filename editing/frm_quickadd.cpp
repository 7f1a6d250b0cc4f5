#include "editing/frm_quickadd.h"

#include "core/app.h"
#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "editing/frm_modifier.h"
#include "editing/frm_quickadd_layout.h"
#include "editing/mnu.h"
#include "platform/message_box.h"

namespace zv {

FrmQuickadd frmQuickadd;

namespace {

void message(const std::string& text) {
    platform::messageBox(text, appTitle, platform::Buttons::Ok);
}

void removeAll(std::string& text, const std::string& part) {
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
}

} // namespace

std::string offeredName(const std::string& fileName) {
    std::string name = fileName;
    removeAll(name, ".exe");
    removeAll(name, ".lnk");
    return name;
}

void FrmQuickadd::Bootstrap() {
    // 1.
    batchAddOpen = true;
    // 2. A cancelled choice ends the batch add: searching from the root of the current drive
    // is not what anyone who pressed Cancel meant.
    const std::string start = BrowseForFolder("Please select a folder to search");
    if (start.empty()) {
        batchAddOpen = false;
        return;
    }
    // 3.
    closingDialog_.reset();
    model = quickAddLayout();
    dialog_ = std::make_unique<platform::Dialog>(model, *this);
    dialog_->showModeless();
    // 4.
    categoryMenus.clear();
    categoryMenus["(top-level)"] = 0;
    auto& categories = model.control("cmbCategory");
    categories.items = {"(top-level)"};
    // 5. The submenus of the root menu, in list order; deeper ones are not offered.
    listRewind();
    Step step;
    while (listStep(step)) {
        const MenuEntry& e = step.entry;
        const auto id = e.target.asNumber();
        if (e.itemType == Menu && e.parentMenu == 0 && id &&
            categoryMenus.emplace(e.name, *id).second)
            categories.items.push_back(e.name);
        if (step.isLast)
            break;
    }
    // 6.
    categories.selected = 0;
    dialog_->sync();
    // 7.
    search.queueInit();
    search.enqueueFolder(start);
    search.filePatterns = {"*.exe", "*.lnk"};
    // 8.
    if (nextFolder())
        showFound();
}

bool FrmQuickadd::nextFolder() {
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

void FrmQuickadd::setButtons(bool enabled) {
    if (!dialog_)
        return;
    model.control("cmdYes").enabled = enabled;
    model.control("cmdNo").enabled = enabled;
    dialog_->sync();
}

void FrmQuickadd::showFound() {
    if (!dialog_)
        return;
    const auto at = static_cast<std::size_t>(search.foundCursor);
    // 1.
    model.control("lblName").text = offeredName(search.foundNames[at]);
    // 2.
    model.control("lblTarget").text = search.foundTargets[at];
    // 3. The file's own large icon; the one shown before is let go.
    auto& ico = dialog_->pictureSurface("ico");
    ico.clear(model.control("ico").background);
    if (largeIcon_)
        platform::destroyIcon(largeIcon_);
    largeIcon_ = platform::extractLargeIcon(search.foundTargets[at]);
    ico.drawIcon(largeIcon_, 0, 0, 32);
    dialog_->presentPicture("ico");
    offering_ = true;
    setButtons(true);
}

void FrmQuickadd::cmdYes_Click() {
    if (!offering_)
        return;
    auto& nameBox = model.control("lblName");
    const std::string& target = model.control("lblTarget").text;
    // An entry with an empty name would look like a free slot while still in the list.
    if (nameBox.text.empty()) {
        message("Please select a name");
        return;
    }
    if (!fileCanCarry(nameBox.text) || !fileCanCarry(target)) {
        message("This name or target cannot be kept in the menu file: it must not begin with "
                "a double quote, nor hold one when it begins or ends with a blank.");
        return;
    }
    // 1.
    const auto& categories = model.control("cmbCategory");
    std::int16_t parent = 0;
    if (categories.selected >= 0 &&
        categories.selected < static_cast<int>(categories.items.size())) {
        auto it =
            categoryMenus.find(categories.items[static_cast<std::size_t>(categories.selected)]);
        if (it != categoryMenus.end())
            parent = it->second;
    }
    quickItem = MenuEntry{nameBox.text, File, parent, Target(target), -1, -1};
    // 2. At the store's cursor wherever it is.
    if (listInsert(quickItem))
        unsavedChanges = true;
    else
        showMenuFull();
    // 3.
    advance();
}

void FrmQuickadd::cmdNo_Click() {
    if (!offering_)
        return;
    advance();
}

void FrmQuickadd::advance() {
    search.foundCursor += 1;
    if (search.foundCursor == search.foundCount && !nextFolder())
        return;
    showFound();
}

void FrmQuickadd::clicked(const std::string& control) {
    if (control == "cmdYes")
        cmdYes_Click();
    else if (control == "cmdNo")
        cmdNo_Click();
}

void FrmQuickadd::closeRequested() {
    // A search step still running ends at its next yield.
    search.stopped = true;
    closeDialog();
}

void FrmQuickadd::closeDialog() {
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
    // 1.
    batchAddOpen = false;
    // 2.
    categoryMenus.clear();
    // 3.
    message("Please Save the changes and restart Zelvora.");
}

void FrmQuickadd::unload() {
    dialog_.reset();
    closingDialog_.reset();
    if (largeIcon_) {
        platform::destroyIcon(largeIcon_);
        largeIcon_ = nullptr;
    }
}

} // namespace zv
