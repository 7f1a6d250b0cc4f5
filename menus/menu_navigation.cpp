// The input side of a menu window: the hit test, the hover timer, the keys and the clicks.
#include "core/app_state.h"
#include "core/item_store.h"
#include "editing/edit_menu.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/code_page.h"
#include "platform/keys.h"
#include "platform/window.h"
#include "trigger/trigger_window.h"

#include <cmath>
#include <optional>
#include <string>

namespace zv {

namespace {

constexpr int hoverInterval = 500;

int nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// The character a key code stands for in the search: itself below 128, above that the code
// page's character for the byte, and none for the lead byte of a double-byte character (the
// input method sends one for every key), which must never match half a character.
std::optional<std::string> searchedCharacter(int keyCode) {
    if (keyCode < 0 || keyCode > 0xFF)
        return std::nullopt;
    if (keyCode < 0x80)
        return std::string(1, static_cast<char>(keyCode));
    return platform::codePageCharacter(static_cast<unsigned char>(keyCode));
}

} // namespace

void MenuWindow::hitTest(double x, double y) {
    const int px = nearest(x);
    const int py = nearest(y);
    std::int16_t row = static_cast<std::int16_t>(lastRow + 1);
    for (int i = 0; i <= lastRow; ++i) {
        if (ptInRect(rowBounds[i], px, py)) {
            row = static_cast<std::int16_t>(i);
            break;
        }
    }
    if (row == hoverRow)
        return;
    hoverRow = row;
    drawAll();
    restartHoverTimer();
    announceHighlight();
}

void MenuWindow::restartHoverTimer() {
    if (!isOpen())
        return;
    window_->stopTimer();
    window_->startTimer(hoverInterval);
}

bool MenuWindow::onStrip(double x) const {
    const int px = nearest(x);
    return px >= stripX_ && px < stripX_ + stripWidth_;
}

void MenuWindow::mouseMove(int, int, double x, double y) {
    // The strip takes no input, as when it had a window of its own.
    if (onStrip(x))
        return;
    if (skipMouseMove) {
        skipMouseMove = false;
        return;
    }
    hitTest(x, y);
    if (level != 0) {
        // Keep the row that opened this submenu highlighted and stop the parent from closing
        // it while the pointer is in here.
        MenuWindow& parent = menuLevel(level - 1);
        parent.hoverRow = parentRow;
        parent.drawAll();
        parent.stopHoverTimer();
    }
}

void MenuWindow::mouseDown(int button, int, double x, double y) {
    if (onStrip(x))
        return;
    if (button == platform::buttonRight) {
        destroy(true);
        editMenu.show(*this);
    } else if (button == platform::buttonLeft) {
        hitTest(x, y);
        drawAll();
        if (topLevel > level)
            menuLevel(level + 1).destroy();
        executeEntry();
    }
}

void MenuWindow::timerTick() {
    const bool onSubmenu = hasRow() && items[rowSlots[hoverRow]].itemType == Menu;
    if (onSubmenu)
        openSubmenu();
    else if (topLevel > level)
        menuLevel(level + 1).destroy();
    stopHoverTimer();
}

void MenuWindow::openSubmenu() {
    if (!hasRow())
        return;
    // Every level is in use: a submenu of the deepest level does not open.
    if (level + 1 >= menuLevelCount)
        return;
    const auto submenu = items[rowSlots[hoverRow]].target.asNumber();
    if (!submenu)
        return;
    destroy(true);
    MenuWindow& child = menuLevel(level + 1);
    child.renew();
    child.layOut(*submenu, static_cast<std::int16_t>(level + 1), hoverRow);
    // The row reads as expanded from here on; screen readers hear of it before the submenu.
    topLevel = static_cast<std::int16_t>(level + 1);
    if (isOpen())
        window_->announce(platform::Announcement::StateChange, hoverRow);
    child.open();
    stopHoverTimer();
    skipMouseMove = true;
}

void MenuWindow::keyDown(int keyCode, int shift) {
    if (keyCode == platform::keyApplications ||
        (keyCode == platform::keyF10 && shift == platform::shiftHeld)) {
        showEditMenuAtRow();
        return;
    }
    // F10 alone is the system's; its code would otherwise search for a "y".
    if (keyCode == platform::keyF10)
        return;
    switch (keyCode) {
    case platform::keyUpArrow:
        hoverRow = static_cast<std::int16_t>(hoverRow - 1);
        if (hoverRow == -1)
            hoverRow = lastRow;
        restartHoverTimer();
        announceHighlight();
        break;
    case platform::keyDownArrow:
        hoverRow = static_cast<std::int16_t>(hoverRow + 1);
        if (hoverRow > lastRow)
            hoverRow = 0;
        restartHoverTimer();
        announceHighlight();
        break;
    case platform::keyEnter:
        executeEntry();
        skipMouseMove = true;
        break;
    case platform::keyLeftArrow:
        if (level != 0)
            destroy();
        break;
    case platform::keyEscape:
        // The deepest level closes; at the root, the whole menu.
        if (level != 0)
            destroy();
        else
            triggerWindow.dismiss();
        break;
    case platform::keyRightArrow:
        if (hasRow() && items[rowSlots[hoverRow]].itemType == Menu) {
            openSubmenu();
            stopHoverTimer();
        } else {
            firstLetterSearch(keyCode);
        }
        break;
    default:
        firstLetterSearch(keyCode);
        break;
    }
    drawAll(); // does nothing when the key closed this window
}

void MenuWindow::showEditMenuAtRow() {
    // Below the highlighted row's left end, or at the menu's top left when none is highlighted.
    const Rect row = hasRow() ? rowBounds[hoverRow] : Rect{};
    const Point at{scale.toPixels(leftTwips) + row.left, scale.toPixels(topTwips) + row.bottom};
    destroy(true);
    editMenu.show(*this, at);
}

void MenuWindow::firstLetterSearch(int keyCode) {
    const std::optional<std::string> c = searchedCharacter(keyCode);
    auto matches = [&](int row) {
        return c && !c->empty() && items[rowSlots[row]].name.starts_with(*c);
    };
    // The highlighted row itself is tested last of all, that is not at all.
    const int last = std::min<int>(hoverRow - 1, lastRow);
    bool found = false;
    for (int row = hoverRow + 1; row <= lastRow && !found; ++row)
        if (matches(row)) {
            hoverRow = static_cast<std::int16_t>(row);
            found = true;
        }
    for (int row = 0; row <= last && !found; ++row)
        if (matches(row)) {
            hoverRow = static_cast<std::int16_t>(row);
            found = true;
        }
    restartHoverTimer();
    if (found)
        announceHighlight();
}

} // namespace zv
