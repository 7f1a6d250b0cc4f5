// The input side of a menu window: the hit test, the hover timer, the keys and the clicks.
#include "core/app_state.h"
#include "core/item_store.h"
#include "editing/mnu.h"
#include "menus/frm_menu.h"
#include "menus/menu_windows.h"
#include "platform/window.h"

#include <cmath>

namespace zv {

namespace {

constexpr int hoverInterval = 500;

constexpr int vkEnter = 13;
constexpr int vkLeft = 37;
constexpr int vkUp = 38;
constexpr int vkRight = 39;
constexpr int vkDown = 40;

int nearest(double v) {
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

void FrmMenu::hitTest(double x, double y) {
    const int px = nearest(x);
    const int py = nearest(y);
    std::int16_t row = static_cast<std::int16_t>(MaxItems + 1);
    for (int i = 0; i <= MaxItems; ++i) {
        if (ptInRect(itemBounds[i], px, py)) {
            row = static_cast<std::int16_t>(i);
            break;
        }
    }
    if (row == Hover)
        return;
    Hover = row;
    drawAll();
    restartHoverTimer();
}

void FrmMenu::restartHoverTimer() {
    if (!isOpen())
        return;
    window_->stopTimer();
    window_->startTimer(hoverInterval);
}

void FrmMenu::mouseMove(int, int, double x, double y) {
    if (skipMouseMove) {
        skipMouseMove = false;
        return;
    }
    hitTest(x, y);
    if (Depth != 0) {
        // Keep the row that opened this submenu highlighted and stop the parent from closing
        // it while the pointer is in here.
        FrmMenu* parent = menuLevels[Depth - 1];
        parent->Hover = pHover;
        parent->drawAll();
        parent->stopHoverTimer();
    }
}

void FrmMenu::mouseDown(int button, int, double x, double y) {
    if (button == platform::buttonRight) {
        destroy(true);
        mnu.Popup(*this);
    } else if (button == platform::buttonLeft) {
        hitTest(x, y);
        drawAll();
        if (topLevel > Depth)
            menuLevels[Depth + 1]->destroy();
        ExecuteLink();
    }
}

void FrmMenu::timerTick() {
    const bool onSubmenu = hasRow() && items[itemKeys[Hover]].itemType == Menu;
    if (onSubmenu)
        openSubmenu();
    else if (topLevel > Depth)
        menuLevels[Depth + 1]->destroy();
    stopHoverTimer();
}

void FrmMenu::openSubmenu() {
    if (!hasRow())
        return;
    // Every level is in use: a submenu of the deepest level does not open.
    if (Depth + 1 >= menuLevelCount)
        return;
    const auto submenu = items[itemKeys[Hover]].target.asNumber();
    if (!submenu)
        return;
    destroy(true);
    FrmMenu& child = menuWindowObject(Depth + 1);
    child.renew();
    menuLevels[Depth + 1] = &child;
    child.build(*submenu, static_cast<std::int16_t>(Depth + 1), Hover);
    topLevel = static_cast<std::int16_t>(Depth + 1);
    stopHoverTimer();
    skipMouseMove = true;
    if (child.window())
        child.window()->focus();
}

void FrmMenu::keyDown(int keyCode, int) {
    switch (keyCode) {
    case vkUp:
        Hover = static_cast<std::int16_t>(Hover - 1);
        if (Hover == -1)
            Hover = MaxItems;
        restartHoverTimer();
        break;
    case vkDown:
        Hover = static_cast<std::int16_t>(Hover + 1);
        if (Hover > MaxItems)
            Hover = 0;
        restartHoverTimer();
        break;
    case vkEnter:
        ExecuteLink();
        skipMouseMove = true;
        break;
    case vkLeft:
        if (Depth != 0)
            destroy();
        break;
    case vkRight:
        if (hasRow() && items[itemKeys[Hover]].itemType == Menu) {
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

void FrmMenu::firstLetterSearch(int keyCode) {
    const char c = static_cast<char>(keyCode);
    auto matches = [&](int row) {
        const std::string& name = items[itemKeys[row]].name;
        return !name.empty() && name.front() == c;
    };
    // The highlighted row itself is tested last of all, that is not at all.
    const int last = std::min<int>(Hover - 1, MaxItems);
    bool found = false;
    for (int row = Hover + 1; row <= MaxItems && !found; ++row)
        if (matches(row)) {
            Hover = static_cast<std::int16_t>(row);
            found = true;
        }
    for (int row = 0; row <= last && !found; ++row)
        if (matches(row)) {
            Hover = static_cast<std::int16_t>(row);
            found = true;
        }
    restartHoverTimer();
}

} // namespace zv
