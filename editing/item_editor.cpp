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

using namespace editorControl;

namespace {

constexpr Rgb previewBackground{245, 244, 243};

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

template <std::size_t n>
void ItemEditor::checkOption(const std::array<platform::ControlId, n>& set, int option) {
    for (std::size_t i = 0; i < n; ++i)
        model[set[i]].checked = static_cast<int>(i) == option;
}

template <std::size_t n>
int ItemEditor::checkedOption(const std::array<platform::ControlId, n>& set) const {
    for (std::size_t i = 0; i < n; ++i)
        if (model[set[i]].checked)
            return static_cast<int>(i);
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
    auto& groups = model[groupList];
    groups.items.clear();
    groups.selected = -1;
    for (int g = 0; g <= iconRegistry.lastGroup; ++g)
        groups.items.push_back(getIconGroupName(static_cast<std::int16_t>(g)));
    auto& specials = model[specialList];
    specials.items = {"Quit Zelvora", "Shutdown computer", "Run"};
    specials.selected = -1;
    model[iconPreview].background = previewBackground;

    if (!existing) {
        // A new entry starts with the first icon of the first group.
        editExisting = false;
        if (iconRegistry.lastGroup >= 0) {
            selectGroup(0);
            if (!model[iconList].items.empty())
                selectIcon(0);
        }
    } else {
        editExisting = true;
        const MenuEntry& item = *existing;
        entry_.name = item.name;
        entry_.target = item.target;
        entry_.itemType = item.itemType;
        entry_.iconIndex = item.iconIndex;
        model[nameBox].text = item.name;

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
                    checkOption(iconOptions, 0);
                    iconOptionChanged();
                    iconChosen();
                    break;
                }
            }
            // A catalogue icon in no group keeps its number with neither option chosen.
        }

        // The type of an existing entry cannot change.
        for (platform::ControlId option : typeOptions)
            model[option].enabled = false;
        const int type = entry_.itemType >= 0 && entry_.itemType < std::ssize(typeOptions)
                             ? entry_.itemType
                             : static_cast<int>(File);
        model[typeOptions[static_cast<std::size_t>(type)]].enabled = true;
        checkOption(typeOptions, type);
        if (entry_.itemType == File)
            model[targetBox].text = entry_.target.asText();
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
    const bool file = model[fileOption].checked;
    model[targetBox].enabled = file;
    model[chooseFileButton].enabled = file;
    model[chooseFolderButton].enabled = file;
    model[specialList].enabled = model[specialOption].checked;
    model[nameBox].enabled = true;
}

void ItemEditor::iconOptionChanged() {
    const bool userIcon = model[catalogueIconOption].checked;
    model[iconPreview].enabled = userIcon;
    model[groupList].enabled = userIcon;
    model[iconList].enabled = userIcon;
    if (model[targetIconOption].checked)
        entry_.iconIndex = -1;
}

void ItemEditor::groupChosen() {
    auto& icons = model[iconList];
    icons.items.clear();
    icons.selected = -1;
    const int g = model[groupList].selected;
    if (g < 0 || g > iconRegistry.lastGroup)
        return;
    for (int k = iconRegistry.groupEnds[g] + 1; k <= iconRegistry.groupEnds[g + 1]; ++k)
        icons.items.push_back(getIconTag(static_cast<std::int16_t>(k)));
}

void ItemEditor::iconChosen() {
    const int g = model[groupList].selected;
    const int position = model[iconList].selected;
    if (g < 0 || g > iconRegistry.lastGroup || position < 0)
        return;
    entry_.iconIndex = static_cast<std::int16_t>(iconRegistry.groupEnds[g] + 1 + position);
    if (!dialog_)
        return;
    auto& preview = dialog_->pictureSurface(iconPreview);
    preview.clear(previewBackground);
    // Centred for the size the icon is drawn at, which grows with the display scale.
    const int at =
        static_cast<int>(std::nearbyint((preview.width() - iconRegistry.iconSize) / 2.0));
    drawIcon(preview, entry_.iconIndex, at, at);
    dialog_->presentPicture(iconPreview);
}

void ItemEditor::selectType(int option) {
    checkOption(typeOptions, option);
    typeOptionChanged();
    sync();
}

void ItemEditor::selectIconOption(int option) {
    checkOption(iconOptions, option);
    iconOptionChanged();
    sync();
}

void ItemEditor::selectGroup(int group) {
    model[groupList].selected = group;
    groupChosen();
    sync();
}

void ItemEditor::selectIcon(int position) {
    model[iconList].selected = position;
    iconChosen();
    sync();
}

void ItemEditor::selectSpecial(int position) {
    model[specialList].selected = position;
    sync();
}

void ItemEditor::browseFile() {
    const std::string current = model[targetBox].text;
    const auto chosen = platform::chooseFile(handle(), current);
    if (chosen) {
        model[targetBox].text = *chosen;
        sync();
    }
}

void ItemEditor::browseFolder() {
    model[targetBox].text = browseForFolder("Select the target folder");
    sync();
}

void ItemEditor::ok() {
    auto& nameText = model[nameBox];
    // Commas separate the fields of the menu file.
    if (nameText.text.find(',') != std::string::npos) {
        tell("Name cannot contain commas");
        if (dialog_)
            dialog_->focus(nameBox);
        return;
    }
    if (nameText.text.empty()) {
        if (model[separatorOption].checked) {
            nameText.text = "Separator";
            sync();
        } else {
            tell("Please select a name");
            return;
        }
    }
    // Texts the menu file could not give back unchanged are refused here, where they enter.
    if (!fileCanCarry(nameText.text)) {
        tell("Name cannot begin with a double quote, nor hold one when it begins or ends "
             "with a blank");
        if (dialog_)
            dialog_->focus(nameBox);
        return;
    }
    const int type = checkedOption(typeOptions);
    const std::string& targetText = model[targetBox].text;
    if (type == File && !fileCanCarry(targetText)) {
        tell("Target cannot begin with a double quote, nor hold one when it begins or ends "
             "with a blank");
        if (dialog_)
            dialog_->focus(targetBox);
        return;
    }

    entry_.name = nameText.text;
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
        entry_.target = Target(static_cast<std::int16_t>(model[specialList].selected));
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

void ItemEditor::clicked(platform::ControlId control) {
    if (control == okButton)
        ok();
    else if (control == cancelButton)
        cancel();
    else if (control == chooseFileButton)
        browseFile();
    else if (control == chooseFolderButton)
        browseFolder();
    for (std::size_t i = 0; i < iconOptions.size(); ++i)
        if (control == iconOptions[i])
            selectIconOption(static_cast<int>(i));
    for (std::size_t i = 0; i < typeOptions.size(); ++i)
        if (control == typeOptions[i])
            selectType(static_cast<int>(i));
}

void ItemEditor::changed(platform::ControlId control) {
    if (control == groupList)
        selectGroup(model[groupList].selected);
    else if (control == iconList)
        selectIcon(model[iconList].selected);
}

} // namespace zv
