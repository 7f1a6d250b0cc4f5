#include "editing/quick_add_layout.h"

namespace zv {

platform::DialogModel quickAddLayout() {
    using platform::ControlKind;
    platform::DialogModel m;
    m.title = "Zelvora QuickAdd 0.9";
    m.clientWidth = 6432;
    m.clientHeight = 3360;
    m.fontFace = "Tahoma";
    m.fontPoints = 9;
    m.windowIcon = true;
    using namespace quickAddControl;
    auto add = [&](platform::ControlId id, const char* name, ControlKind kind, int l, int t, int w,
                   int h, const char* text = "") { m.put(id, name, kind, "", l, t, w, h, text); };
    add(questionLabel, "Label1", ControlKind::Label, 108, 108, 5952, 336,
        "Would you like to add the following file to Zelvora?");
    add(iconPicture, "ico", ControlKind::PictureBox, 324, 432, 660, 660);
    add(nameLabel, "Label2", ControlKind::Label, 108, 540, 1632, 228, "Name:");
    add(nameBox, "lblName", ControlKind::TextBox, 1836, 540, 3468, 312);
    add(targetLabel, "Label3", ControlKind::Label, 108, 864, 1632, 228, "Target");
    add(targetText, "lblTarget", ControlKind::Label, 1836, 864, 4548, 984);
    add(menuLabel, "Label4", ControlKind::Label, 0, 2376, 1740, 336, "Add to menu:");
    add(menuList, "cmbCategory", ControlKind::DropDown, 1836, 2376, 3468, 312);
    add(yesButton, "cmdYes", ControlKind::Button, 1080, 2808, 1848, 444, "Yes");
    add(noButton, "cmdNo", ControlKind::Button, 2916, 2808, 1848, 444, "No");
    for (platform::ControlId bold : {questionLabel, nameLabel, targetLabel, menuLabel})
        m[bold].bold = true;
    for (platform::ControlId right : {nameLabel, targetLabel, menuLabel})
        m[right].alignRight = true;
    return m;
}

} // namespace zv
