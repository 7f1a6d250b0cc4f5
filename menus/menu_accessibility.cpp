// What a menu window tells screen readers: its name, its rows as drawn, and the highlight moving.
#include "core/app_state.h"
#include "core/item_store.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"

namespace zv {

namespace {

// A caption as the user reads it: the drawing turns "&x" into an underlined x and "&&" into
// one ampersand.
std::string withoutMnemonics(const std::string& caption) {
    std::string name;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && ++i == caption.size())
            break;
        name += caption[i];
    }
    return name;
}

platform::RowKind kindOf(std::int32_t itemType) {
    switch (itemType) {
    case Menu:
        return platform::RowKind::Submenu;
    case Header:
        return platform::RowKind::Header;
    case Separator:
        return platform::RowKind::Separator;
    default:
        return platform::RowKind::Entry;
    }
}

} // namespace

std::string MenuWindow::accessibleName() const {
    if (level == 0)
        return "Zelvora";
    const MenuWindow& parent = menuLevel(level - 1);
    if (parentRow < 0 || parentRow > parent.lastRow)
        return {};
    return withoutMnemonics(items[parent.rowSlots[parentRow]].name);
}

std::vector<platform::AccessibleRow> MenuWindow::accessibleRows() const {
    std::vector<platform::AccessibleRow> rows;
    const bool submenuOpen = topLevel > level && level + 1 < menuLevelCount;
    for (int i = 0; i <= lastRow; ++i) {
        const MenuEntry& item = items[rowSlots[i]];
        platform::AccessibleRow row;
        row.kind = kindOf(item.itemType);
        // A separator draws no caption.
        if (row.kind != platform::RowKind::Separator)
            row.name = withoutMnemonics(item.name);
        row.bounds = rowBounds[i];
        row.highlighted = i == hoverRow;
        row.submenuOpen = row.kind == platform::RowKind::Submenu && submenuOpen &&
                          menuLevel(level + 1).parentRow == i;
        rows.push_back(std::move(row));
    }
    return rows;
}

void MenuWindow::announceHighlight() {
    // Only the level with the keyboard speaks: a parent's row lit under the pointer is not
    // where the keys go.
    if (isOpen() && level == topLevel && hasRow())
        window_->announce(platform::Announcement::Focus, hoverRow);
}

void MenuWindow::accessibleHighlight(int row) {
    if (row < 0 || row > lastRow || row == hoverRow)
        return;
    hoverRow = static_cast<std::int16_t>(row);
    drawAll();
    restartHoverTimer();
    announceHighlight();
}

// As a click on the row: an open submenu row closes its submenu instead of opening it again.
void MenuWindow::accessibleAction(int row) {
    if (!isOpen() || row < 0 || row > lastRow)
        return;
    const bool closesSubmenu = topLevel > level && menuLevel(level + 1).parentRow == row &&
                               items[rowSlots[row]].itemType == Menu;
    hoverRow = static_cast<std::int16_t>(row);
    drawAll();
    if (topLevel > level)
        menuLevel(level + 1).destroy();
    if (!closesSubmenu)
        executeEntry();
}

} // namespace zv
