#include "editing/frm_modifier.h"

#include "core/app.h"
#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "editing/frm_modifier_layout.h"
#include "graphics/icon_registry.h"
#include "platform/common_dialogs.h"
#include "platform/message_box.h"

#include <cmath>

namespace zv {

FrmModifier frmModifier;

namespace {

constexpr Rgb previewBackground{245, 244, 243};
constexpr int typeOptions = 5;
constexpr int iconOptions = 2;

void message(const std::string& text) {
    platform::messageBox(text, appTitle, platform::Buttons::Ok);
}

} // namespace

std::string BrowseForFolder(const std::string& title) {
    return platform::browseForFolder(frmModifier.handle(), title);
}

void FrmModifier::load() {
    model = itemEditorLayout();
    dialog_ = std::make_unique<platform::Dialog>(model, *this);
}

void FrmModifier::unload() {
    dialog_.reset();
}

void* FrmModifier::handle() const {
    return dialog_ ? dialog_->handle() : nullptr;
}

void FrmModifier::sync() {
    if (dialog_)
        dialog_->sync();
}

void FrmModifier::close() {
    // The dialog is unloaded, so every opening starts from the loaded state again.
    if (dialog_)
        dialog_->close();
}

void FrmModifier::checkOption(const std::string& prefix, int count, int option) {
    for (int i = 0; i < count; ++i)
        model.control(prefix + std::to_string(i)).checked = i == option;
}

int FrmModifier::checkedOption(const std::string& prefix, int count) const {
    for (int i = 0; i < count; ++i)
        if (model.control(prefix + std::to_string(i)).checked)
            return i;
    return -1;
}

void FrmModifier::Setup(std::int16_t ItemIndex, std::int16_t Parent) {
    if (!dialog_)
        load();

    // 1.
    editItem.parentMenu = Parent;

    // 2. Group names, the special commands, the preview's background.
    auto& groups = model.control("defType");
    groups.items.clear();
    groups.selected = -1;
    for (int g = 0; g <= iconSys.lastGroup; ++g)
        groups.items.push_back(getIconGroupName(static_cast<std::int16_t>(g)));
    auto& specials = model.control("cmbSpecials");
    specials.items = {"Quit Zelvora", "Shutdown computer", "Run"};
    specials.selected = -1;
    model.control("iconPreview").background = previewBackground;

    if (ItemIndex == -1) {
        // 3. A new entry starts with the first icon of the first group.
        editExisting = false;
        if (iconSys.lastGroup >= 0) {
            selectGroup(0);
            if (!model.control("defIcons").items.empty())
                selectIcon(0);
        }
    } else {
        // 4.
        editExisting = true;
        const MenuEntry& item = items[ItemIndex];
        editItem.name = item.name;
        editItem.target = item.target;
        editItem.nextIndex = item.nextIndex;
        editItem.itemType = item.itemType;
        editItem.iconIndex = item.iconIndex;
        model.control("txtName").text = item.name;

        // 5. The icon as it is: taken from the target, or a catalogue icon in its group.
        if (editItem.iconIndex > iconSys.lastCatalogueIcon || editItem.iconIndex < 0) {
            selectIconOption(1);
        } else {
            const std::int16_t icon = editItem.iconIndex;
            for (int g = 0; g <= iconSys.lastGroup; ++g) {
                if (iconSys.groupEnds[g] + 1 <= icon && icon <= iconSys.groupEnds[g + 1]) {
                    selectGroup(g);
                    selectIcon(icon - iconSys.groupEnds[g] - 1);
                    checkOption("optIco", iconOptions, 0);
                    iconOptionChanged();
                    iconChosen();
                    break;
                }
            }
            // A catalogue icon in no group keeps its number with neither option chosen.
        }

        // 6. The type of an existing entry cannot change.
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

    // 7.
    typeOptionChanged();
    sync();
}

void FrmModifier::showModal(void* owner) {
    if (!dialog_)
        return;
    dialog_->showModal(owner);
    unload();
}

void FrmModifier::typeOptionChanged() {
    const bool file = model.control("opt0").checked;
    model.control("txtTarget").enabled = file;
    model.control("cmdLoad").enabled = file;
    model.control("cmdLoadFolder").enabled = file;
    model.control("cmbSpecials").enabled = model.control("opt3").checked;
    model.control("txtName").enabled = true;
}

void FrmModifier::iconOptionChanged() {
    const bool userIcon = model.control("optIco0").checked;
    model.control("iconPreview").enabled = userIcon;
    model.control("defType").enabled = userIcon;
    model.control("defIcons").enabled = userIcon;
    if (model.control("optIco1").checked)
        editItem.iconIndex = -1;
}

void FrmModifier::groupChosen() {
    auto& icons = model.control("defIcons");
    icons.items.clear();
    icons.selected = -1;
    const int g = model.control("defType").selected;
    if (g < 0 || g > iconSys.lastGroup)
        return;
    for (int k = iconSys.groupEnds[g] + 1; k <= iconSys.groupEnds[g + 1]; ++k)
        icons.items.push_back(getIconTag(static_cast<std::int16_t>(k)));
}

void FrmModifier::iconChosen() {
    const int g = model.control("defType").selected;
    const int position = model.control("defIcons").selected;
    if (g < 0 || g > iconSys.lastGroup || position < 0)
        return;
    editItem.iconIndex = static_cast<std::int16_t>(iconSys.groupEnds[g] + 1 + position);
    if (!dialog_)
        return;
    auto& preview = dialog_->pictureSurface("iconPreview");
    preview.clear(previewBackground);
    const int at = static_cast<int>(std::nearbyint((preview.width() - 16) / 2.0));
    drawIcon(preview, editItem.iconIndex, at, at);
    dialog_->presentPicture("iconPreview");
}

void FrmModifier::selectType(int option) {
    checkOption("opt", typeOptions, option);
    typeOptionChanged();
    sync();
}

void FrmModifier::selectIconOption(int option) {
    checkOption("optIco", iconOptions, option);
    iconOptionChanged();
    sync();
}

void FrmModifier::selectGroup(int group) {
    model.control("defType").selected = group;
    groupChosen();
    sync();
}

void FrmModifier::selectIcon(int position) {
    model.control("defIcons").selected = position;
    iconChosen();
    sync();
}

void FrmModifier::selectSpecial(int position) {
    model.control("cmbSpecials").selected = position;
    sync();
}

void FrmModifier::cmdLoad_Click() {
    const std::string current = model.control("txtTarget").text;
    const auto chosen = platform::chooseFile(handle(), current);
    if (chosen) {
        model.control("txtTarget").text = *chosen;
        sync();
    }
}

void FrmModifier::cmdLoadFolder_Click() {
    model.control("txtTarget").text = BrowseForFolder("Select the target folder");
    sync();
}

void FrmModifier::cmdOK_Click() {
    auto& nameBox = model.control("txtName");
    // 1. Commas separate the fields of the menu file.
    if (nameBox.text.find(',') != std::string::npos) {
        message("Name cannot contain commas");
        if (dialog_)
            dialog_->focus("txtName");
        return;
    }
    // 2.
    if (nameBox.text.empty()) {
        if (model.control("opt4").checked) {
            nameBox.text = "Separator";
            sync();
        } else {
            message("Please select a name");
            return;
        }
    }
    // Texts the menu file could not give back unchanged are refused here, where they enter.
    if (!fileCanCarry(nameBox.text)) {
        message("Name cannot begin with a double quote, nor hold one when it begins or ends "
                "with a blank");
        if (dialog_)
            dialog_->focus("txtName");
        return;
    }
    const int type = checkedOption("opt", typeOptions);
    const std::string& targetText = model.control("txtTarget").text;
    if (type == File && !fileCanCarry(targetText)) {
        message("Target cannot begin with a double quote, nor hold one when it begins or ends "
                "with a blank");
        if (dialog_)
            dialog_->focus("txtTarget");
        return;
    }

    // 3.
    editItem.name = nameBox.text;
    // 4.
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
    // 5.
    editAccepted = 1;
    close();
}

void FrmModifier::cmdCancel_Click() {
    editAccepted = 0;
    close();
}

void FrmModifier::closeRequested() {
    cmdCancel_Click();
}

void FrmModifier::clicked(const std::string& control) {
    if (control == "cmdOK")
        cmdOK_Click();
    else if (control == "cmdCancel")
        cmdCancel_Click();
    else if (control == "cmdLoad")
        cmdLoad_Click();
    else if (control == "cmdLoadFolder")
        cmdLoadFolder_Click();
    else if (control.rfind("optIco", 0) == 0)
        selectIconOption(control.back() - '0');
    else if (control.rfind("opt", 0) == 0)
        selectType(control.back() - '0');
}

void FrmModifier::changed(const std::string& control) {
    if (control == "defType")
        selectGroup(model.control("defType").selected);
    else if (control == "defIcons")
        selectIcon(model.control("defIcons").selected);
}

} // namespace zv
