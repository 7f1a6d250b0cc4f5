// The item editor's controls where the dialog puts them (twips inside their containers).
#include "editing/item_editor_layout.h"

namespace zv {

platform::DialogModel itemEditorLayout() {
    using platform::ControlKind;
    platform::DialogModel m;
    m.title = "Edit";
    m.clientWidth = 5904;
    m.clientHeight = 6768;
    m.fontFace = "Tahoma";
    m.fontPoints = 9;
    m.toolWindow = true;
    using K = ControlKind;
    using namespace editorControl;
    auto add = [&](platform::ControlId id, const char* name, K kind, const char* container, int l,
                   int t, int w, int h, const char* text = "", int group = 0) {
        m.put(id, name, kind, container, l, t, w, h, text).group = group;
    };
    // A label nobody sees, made right before a control that has no visible one there: screen
    // readers name that control after it.
    auto named = [&](platform::ControlId id, const char* name, const char* text) {
        m.put(id, name, ControlKind::Label, "", 0, 0, 0, 0, text).visible = false;
    };
    add(basicFrame, "Frame1", ControlKind::Frame, "", 108, 108, 5628, 4008, "Basic");
    add(nameLabel, "lblName", ControlKind::Label, "Frame1", 324, 324, 1092, 228, "Name");
    add(nameBox, "txtName", ControlKind::TextBox, "Frame1", 540, 648, 4332, 288);
    add(typeFrame, "Frame3", ControlKind::Frame, "Frame1", 108, 1080, 5412, 2820, "Type");
    add(menuOption, "opt1", ControlKind::Option, "Frame3", 216, 324, 2604, 228, "Menu", 1);
    add(fileOption, "opt0", ControlKind::Option, "Frame3", 216, 648, 1956, 336, "Execute file:", 1);
    add(chooseFileButton, "cmdLoad", ControlKind::Button, "Frame3", 2160, 648, 1524, 336,
        "Choose file...");
    add(chooseFolderButton, "cmdLoadFolder", ControlKind::Button, "Frame3", 3672, 648, 1524, 336,
        "Choose folder...");
    named(targetName, "lblTarget", "Execute file:");
    add(targetBox, "txtTarget", ControlKind::TextBox, "Frame3", 756, 1080, 4440, 324);
    add(headerOption, "opt2", ControlKind::Option, "Frame3", 216, 1512, 1956, 324, "Header", 1);
    add(specialOption, "opt3", ControlKind::Option, "Frame3", 216, 1944, 1524, 336, "Specials", 1);
    named(specialName, "lblSpecials", "Specials");
    add(specialList, "cmbSpecials", ControlKind::DropDown, "Frame3", 1620, 1944, 2604, 312);
    add(separatorOption, "opt4", ControlKind::Option, "Frame3", 216, 2376, 1524, 336, "Separator",
        1);
    add(iconFrame, "Frame2", ControlKind::Frame, "", 108, 4212, 5628, 2064, "Icon");
    add(targetIconOption, "optIco1", ControlKind::Option, "Frame2", 324, 324, 1956, 336,
        "Rip the icon", 2);
    add(catalogueIconOption, "optIco0", ControlKind::Option, "Frame2", 324, 756, 1956, 228,
        "Use user icon", 2);
    named(groupName, "lblGroup", "Icon group");
    add(groupList, "defType", ControlKind::DropDown, "Frame2", 648, 1080, 2064, 312);
    named(iconName, "lblIcon", "Icon");
    add(iconList, "defIcons", ControlKind::DropDown, "Frame2", 972, 1512, 2064, 312);
    add(iconPreview, "iconPreview", ControlKind::PictureBox, "Frame2", 3564, 1404, 500, 500);
    // Thin lines joining "Use user icon" to the group list, the group list to the icon list
    // and the icon list to the preview.
    add(joiningLine1, "Line1", ControlKind::Line, "Frame2", 432, 984, 0, 252);
    add(joiningLine2, "Line2", ControlKind::Line, "Frame2", 432, 1236, 216, 0);
    add(joiningLine3, "Line3", ControlKind::Line, "Frame2", 756, 1392, 0, 276);
    add(joiningLine4, "Line4", ControlKind::Line, "Frame2", 756, 1668, 216, 0);
    add(joiningLine5, "Line5", ControlKind::Line, "Frame2", 3036, 1668, 528, 0);
    add(okButton, "cmdOK", ControlKind::Button, "", 3672, 6372, 984, 336, "OK");
    add(cancelButton, "cmdCancel", ControlKind::Button, "", 4752, 6372, 876, 336, "Cancel");
    m[okButton].isDefault = true;
    // The loaded state: "Execute file:" selected, the target field disabled.
    m[fileOption].checked = true;
    m[targetBox].enabled = false;
    return m;
}

} // namespace zv
