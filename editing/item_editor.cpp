#include "editing/item_editor.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "core/messages.h"
#include "editing/item_editor_layout.h"
#include "graphics/icon_registry.h"
#include "platform/common_dialogs.h"
#include "platform/message_box.h"

#include <cmath>

namespace zv {

ItemEditor itemEditor;

namespace {

constexpr Rgb previewBackground{245, 244, 243};
constexpr int typeOptions = 5;
constexpr int iconOptions = 2;

} // namespace

std::string browseForFolder(const std::string& title) {
    return platform::browseForFolder(itemEditor.handle(), title);
}

void ItemEditor::load() {
    model = itemEditorLayout();
    dialog_ = std::make_unique<platform::Dialog>(model, *this);
}

void ItemEditor::unload() {
    dialog_.reset();
}

void* ItemEditor::handle() const {
    return dialog_ ? dialog_->handle() : nullptr;
}

void ItemEditor::sync() {
    if (dialog_)
        dialog_->sync();
}

void ItemEditor::close() {
    // The dialog is unloaded, so every opening starts from the loaded state again.
    if (dialog_)
        dialog_->close();
}

void ItemEditor::checkOption(const std::string& prefix, int count, int option) {
    for (int i = 0; i < count; ++i)
        model.control(prefix + std::to_string(i)).checked = i == option;
}

int ItemEditor::checkedOption(const std::string& prefix, int count) const {
    for (int i = 0; i < count; ++i)
        if (model.control(prefix + std::to_string(i)).checked)
            return i;
    return -1;
}

void ItemEditor::prepare(std::int16_t slot, std::int16_t parentMenu) {
    if (!dialog_)
        load();

    editItem.parentMenu = parentMenu;

    // Group names, the special commands, the preview's background.
    auto& groups = model.control("defType");
    groups.items.clear();
    groups.selected = -1;
    for (int g = 0; g <= iconRegistry.lastGroup; ++g)
        groups.items.push_back(getIconGroupName(static_cast<std::int16_t>(g)));
    auto& specials = model.control("cmbSpecials");
    specials.items = {"Quit Zelvora", "Shutdown computer", "Run"};
    specials.selected = -1;
    model.control("iconPreview").background = previewBackground;

    if (slot == -1) {
        // A new entry starts with the first icon of the first group.
        editExisting = false;
        if (iconRegistry.lastGroup >= 0) {
            selectGroup(0);
            if (!model.control("defIcons").items.empty())
                selectIcon(0);
        }
    } else {
        editExisting = true;
        const MenuEntry& item = items[slot];
        editItem.name = item.name;
        editItem.target = item.target;
        editItem.nextIndex = item.nextIndex;
        editItem.itemType = item.itemType;
        editItem.iconIndex = item.iconIndex;
        model.control("txtName").text = item.name;

        // The icon as it is: taken from the target, or a catalogue icon in its group.
        if (editItem.iconIndex > iconRegistry.lastCatalogueIcon || editItem.iconIndex < 0) {
            selectIconOption(1);
        } else {
            const std::int16_t icon = editItem.iconIndex;
            for (int g = 0; g <= iconRegistry.lastGroup; ++g) {
                if (iconRegistry.groupEnds[g] + 1 <= icon &&
                    icon <= iconRegistry.groupEnds[g + 1]) {
                    selectGroup(g);
                    selectIcon(icon - iconRegistry.groupEnds[g] - 1);
                    checkOption("optIco", iconOptions, 0);
                    iconOptionChanged();
                    iconChosen();
                    break;
                }
            }
            // A catalogue icon in no group keeps its number with neither option chosen.
        }

        // The type of an existing entry cannot change.
        for (int i = 0; i < typeOptions; ++i)
            model.control("opt" + std::to_string(i)).enabled = false;
        const int type = editItem.itemType >= 0 && editItem.itemType < typeOptions
                             ? editItem.itemType
                             : static_cast<int>(File);
        model.control("opt" + std::to_string(type)).enabled = true;
        checkOption("opt", typeOptions, type);
        if (editItem.itemType == File)
            model.control("txtTarget").text = editItem.target.asText();
        if (editItem.itemType == Special) {
            const auto code = editItem.target.asNumber();
            if (code && *code >= 0 && *code < 3)
                selectSpecial(*code);
        }
    }

    typeOptionChanged();
    sync();
}

void ItemEditor::showModal(void* owner) {
    if (!dialog_)
        return;
    dialog_->showModal(owner);
    unload();
}

void ItemEditor::typeOptionChanged() {
    const bool file = model.control("opt0").checked;
    model.control("txtTarget").enabled = file;
    model.control("cmdLoad").enabled = file;
    model.control("cmdLoadFolder").enabled = file;
    model.control("cmbSpecials").enabled = model.control("opt3").checked;
    model.control("txtName").enabled = true;
}

void ItemEditor::iconOptionChanged() {
    const bool userIcon = model.control("optIco0").checked;
    model.control("iconPreview").enabled = userIcon;
    model.control("defType").enabled = userIcon;
    model.control("defIcons").enabled = userIcon;
    if (model.control("optIco1").checked)
        editItem.iconIndex = -1;
}

void ItemEditor::groupChosen() {
    auto& icons = model.control("defIcons");
    icons.items.clear();
    icons.selected = -1;
    const int g = model.control("defType").selected;
    if (g < 0 || g > iconRegistry.lastGroup)
        return;
    for (int k = iconRegistry.groupEnds[g] + 1; k <= iconRegistry.groupEnds[g + 1]; ++k)
        icons.items.push_back(getIconTag(static_cast<std::int16_t>(k)));
}

void ItemEditor::iconChosen() {
    const int g = model.control("defType").selected;
    const int position = model.control("defIcons").selected;
    if (g < 0 || g > iconRegistry.lastGroup || position < 0)
        return;
    editItem.iconIndex = static_cast<std::int16_t>(iconRegistry.groupEnds[g] + 1 + position);
    if (!dialog_)
        return;
    auto& preview = dialog_->pictureSurface("iconPreview");
    preview.clear(previewBackground);
    const int at = static_cast<int>(std::nearbyint((preview.width() - 16) / 2.0));
    drawIcon(preview, editItem.iconIndex, at, at);
    dialog_->presentPicture("iconPreview");
}

void ItemEditor::selectType(int option) {
    checkOption("opt", typeOptions, option);
    typeOptionChanged();
    sync();
}

void ItemEditor::selectIconOption(int option) {
    checkOption("optIco", iconOptions, option);
    iconOptionChanged();
    sync();
}

void ItemEditor::selectGroup(int group) {
    model.control("defType").selected = group;
    groupChosen();
    sync();
}

void ItemEditor::selectIcon(int position) {
    model.control("defIcons").selected = position;
    iconChosen();
    sync();
}

void ItemEditor::selectSpecial(int position) {
    model.control("cmbSpecials").selected = position;
    sync();
}

void ItemEditor::browseFile() {
    const std::string current = model.control("txtTarget").text;
    const auto chosen = platform::chooseFile(handle(), current);
    if (chosen) {
        model.control("txtTarget").text = *chosen;
        sync();
    }
}

void ItemEditor::browseFolder() {
    model.control("txtTarget").text = browseForFolder("Select the target folder");
    sync();
}

void ItemEditor::ok() {
    auto& nameBox = model.control("txtName");
    // Commas separate the fields of the menu file.
    if (nameBox.text.find(',') != std::string::npos) {
        tell("Name cannot contain commas");
        if (dialog_)
            dialog_->focus("txtName");
        return;
    }
    if (nameBox.text.empty()) {
        if (model.control("opt4").checked) {
            nameBox.text = "Separator";
            sync();
        } else {
            tell("Please select a name");
            return;
        }
    }
    // Texts the menu file could not give back unchanged are refused here, where they enter.
    if (!fileCanCarry(nameBox.text)) {
        tell("Name cannot begin with a double quote, nor hold one when it begins or ends "
             "with a blank");
        if (dialog_)
            dialog_->focus("txtName");
        return;
    }
    const int type = checkedOption("opt", typeOptions);
    const std::string& targetText = model.control("txtTarget").text;
    if (type == File && !fileCanCarry(targetText)) {
        tell("Target cannot begin with a double quote, nor hold one when it begins or ends "
             "with a blank");
        if (dialog_)
            dialog_->focus("txtTarget");
        return;
    }

    editItem.name = nameBox.text;
    switch (type) {
    case File:
        editItem.itemType = File;
        editItem.target = Target(targetText);
        break;
    case Menu:
        editItem.itemType = Menu;
        if (!editExisting) {
            lastMenuId = static_cast<std::int16_t>(lastMenuId + 1);
            editItem.target = Target(lastMenuId);
        }
        break;
    case Header:
        editItem.itemType = Header;
        break;
    case Special:
        editItem.itemType = Special;
        editItem.target = Target(static_cast<std::int16_t>(model.control("cmbSpecials").selected));
        break;
    case Separator:
        editItem.itemType = Separator;
        break;
    default:
        break;
    }
    editAccepted = 1;
    close();
}

void ItemEditor::cancel() {
    editAccepted = 0;
    close();
}

void ItemEditor::closeRequested() {
    cancel();
}

void ItemEditor::clicked(const std::string& control) {
    if (control == "cmdOK")
        ok();
    else if (control == "cmdCancel")
        cancel();
    else if (control == "cmdLoad")
        browseFile();
    else if (control == "cmdLoadFolder")
        browseFolder();
    else if (control.rfind("optIco", 0) == 0)
        selectIconOption(control.back() - '0');
    else if (control.rfind("opt", 0) == 0)
        selectType(control.back() - '0');
}

void ItemEditor::changed(const std::string& control) {
    if (control == "defType")
        selectGroup(model.control("defType").selected);
    else if (control == "defIcons")
        selectIcon(model.control("defIcons").selected);
}

} // namespace zv
