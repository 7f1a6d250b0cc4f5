#include "editing/item_editor.h"

#include "core/app_state.h"
#include "core/menu_file.h"
#include "core/messages.h"
#include "editing/item_editor_layout.h"
#include "graphics/icon_registry.h"
#include "platform/common_dialogs.h"
#include "platform/message_box.h"

#include <cmath>
#include <utility>

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

std::optional<MenuEntry> ItemEditor::edit(const MenuEntry* existing, std::int16_t parentMenu,
                                          void* owner) {
    prepare(existing, parentMenu);
    if (!dialog_)
        return std::nullopt;
    dialog_->showModal(owner);
    unload();
    return std::exchange(result_, std::nullopt);
}

void ItemEditor::prepare(const MenuEntry* existing, std::int16_t parentMenu) {
    if (!dialog_)
        load();

    // Every edit starts from an empty record, so nothing of an earlier edit carries over.
    entry_ = MenuEntry{};
    result_.reset();
    entry_.parentMenu = parentMenu;

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

    if (!existing) {
        // A new entry starts with the first icon of the first group.
        editExisting = false;
        if (iconRegistry.lastGroup >= 0) {
            selectGroup(0);
            if (!model.control("defIcons").items.empty())
                selectIcon(0);
        }
    } else {
        editExisting = true;
        const MenuEntry& item = *existing;
        entry_.name = item.name;
        entry_.target = item.target;
        entry_.itemType = item.itemType;
        entry_.iconIndex = item.iconIndex;
        model.control("txtName").text = item.name;

        // The icon as it is: taken from the target, or a catalogue icon in its group.
        if (entry_.iconIndex > iconRegistry.lastCatalogueIcon || entry_.iconIndex < 0) {
            selectIconOption(1);
        } else {
            const std::int16_t icon = entry_.iconIndex;
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
        const int type = entry_.itemType >= 0 && entry_.itemType < typeOptions
                             ? entry_.itemType
                             : static_cast<int>(File);
        model.control("opt" + std::to_string(type)).enabled = true;
        checkOption("opt", typeOptions, type);
        if (entry_.itemType == File)
            model.control("txtTarget").text = entry_.target.asText();
        if (entry_.itemType == Special) {
            const auto code = entry_.target.asNumber();
            if (code && *code >= 0 && *code < 3)
                selectSpecial(*code);
        }
    }

    typeOptionChanged();
    sync();
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
        entry_.iconIndex = -1;
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
    entry_.iconIndex = static_cast<std::int16_t>(iconRegistry.groupEnds[g] + 1 + position);
    if (!dialog_)
        return;
    auto& preview = dialog_->pictureSurface("iconPreview");
    preview.clear(previewBackground);
    const int at = static_cast<int>(std::nearbyint((preview.width() - 16) / 2.0));
    drawIcon(preview, entry_.iconIndex, at, at);
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

    entry_.name = nameBox.text;
    switch (type) {
    case File:
        entry_.itemType = File;
        entry_.target = Target(targetText);
        break;
    case Menu:
        entry_.itemType = Menu;
        if (!editExisting) {
            lastMenuId = static_cast<std::int16_t>(lastMenuId + 1);
            entry_.target = Target(lastMenuId);
        }
        break;
    case Header:
        entry_.itemType = Header;
        break;
    case Special:
        entry_.itemType = Special;
        entry_.target = Target(static_cast<std::int16_t>(model.control("cmbSpecials").selected));
        break;
    case Separator:
        entry_.itemType = Separator;
        break;
    default:
        break;
    }
    result_ = entry_;
    close();
}

void ItemEditor::cancel() {
    result_.reset();
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
