#include "menus/menu_window.h"
#include "menus/menu_windows.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/skin.h"
#include "graphics/side_strip.h"
#include "platform/screen.h"
#include "trigger/trigger_window.h"

#include <cmath>

namespace zv {

namespace {

// Whole twips, halves going to the even neighbour.
double roundTwips(double twips) {
    return std::nearbyint(twips);
}

} // namespace

void MenuWindow::build(std::int16_t menu, std::int16_t atLevel, std::int16_t fromRow) {
    const platform::ScreenMetrics screen = platform::screen();
    const int itemHeight = skin.itemHeight;

    // Which menu, at which level, opened from which parent row.
    level = atLevel;
    menuId = menu;
    parentRow = fromRow;

    // Rows: the entries of this menu in list order.
    int y = 0;
    int n = 0;
    for (std::int16_t slot : listOrder()) {
        if (items[slot].parentMenu == menu && n < maxRows) {
            rowSlots[n] = slot;
            const int rowHeight = items[slot].itemType == Separator ? 6 : itemHeight;
            rowBounds[n] = Rect{0, y, 200, y + rowHeight};
            y += rowHeight;
            ++n;
        }
    }

    lastRow = static_cast<std::int16_t>(n - 1);

    // Size, with a one-pixel frame on every side.
    widthTwips = (skin.itemWidth + 2) * screen.twipsPerPixelX;
    heightTwips = (y + 2) * screen.twipsPerPixelY;

    // Beside the trigger with the side strip between, or beside the parent.
    MenuWindow* parent = level > 0 ? &menuLevel(level - 1) : nullptr;
    if (level == 0) {
        sideStrip.leftTwips = triggerWindow.rightEdge();
        sideStrip.pictureTop = heightTwips - sideStrip.pictureHeight();
        sideStrip.heightTwips = heightTwips;
        leftTwips = sideStrip.leftTwips + sideStrip.widthTwips;
    } else {
        leftTwips = parent->leftTwips + parent->widthTwips - 100;
    }

    // Past the right screen edge: open to the left instead.
    if (leftTwips + widthTwips > screen.widthTwips) {
        if (level == 0) {
            sideStrip.leftTwips = triggerWindow.leftTwips - sideStrip.widthTwips;
            leftTwips = sideStrip.leftTwips - widthTwips;
        } else {
            leftTwips = parent->leftTwips - widthTwips + 50;
        }
    }

    // Vertical place.
    if (level == 0) {
        const double t = roundTwips(triggerWindow.bottomEdge() - heightTwips);
        topTwips = t > 0 ? t : triggerWindow.topTwips;
        sideStrip.topTwips = topTwips;
        sideStrip.show();
    } else {
        const int r = parent->rowTop(parentRow);
        const double top = roundTwips(parent->topTwips + r * screen.twipsPerPixelY + 50);
        if (screen.heightTwips - 500 > top + heightTwips)
            topTwips = top;
        else
            topTwips = parent->topTwips + (r - lastRow * itemHeight) * screen.twipsPerPixelY + 50;
    }

    // The native window with its font; the background is painted by drawAll.
    load();
    window_->place(
        static_cast<int>(std::lround(leftTwips)), static_cast<int>(std::lround(topTwips)),
        static_cast<int>(std::lround(widthTwips)), static_cast<int>(std::lround(heightTwips)));
    window_->surface().setFont(skin.font, skin.fontSize);

    skipMouseMove = false;

    window_->show();
    drawAll();
}

void MenuWindow::rebuild() {
    build(menuId, level, parentRow);
}

void MenuWindow::destroy(bool keepThisLevel) {
    if (topLevel > level && level + 1 < menuLevelCount)
        menuLevel(level + 1).destroy();
    skipMouseMove = true;
    if (keepThisLevel) {
        topLevel = level;
    } else {
        close();
        topLevel = static_cast<std::int16_t>(level - 1);
    }
}

void MenuWindow::load() {
    if (!window_)
        window_ =
            std::make_unique<platform::Window>(platform::WindowStyle::Menu, *this, "Zelvora menu");
}

void MenuWindow::close() {
    if (!window_)
        return;
    window_->stopTimer();
    window_->hide();
}

std::int16_t MenuWindow::slotOfRow(std::int16_t index) const {
    return index >= 0 && index < maxRows ? rowSlots[index] : std::int16_t{-1};
}

std::int16_t MenuWindow::rowTop(std::int16_t index) const {
    return index >= 0 && index < maxRows ? static_cast<std::int16_t>(rowBounds[index].top)
                                         : std::int16_t{0};
}

void MenuWindow::stopHoverTimer() {
    if (window_)
        window_->stopTimer();
}

void MenuWindow::renew() {
    if (window_)
        window_->stopTimer();
    hoverRow = 0;
}

} // namespace zv
