#include "menus/menu_window.h"
#include "menus/menu_windows.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/skin.h"
#include "graphics/icon_registry.h"
#include "graphics/side_strip.h"
#include "graphics/skin_pictures.h"
#include "trigger/trigger_window.h"

#include <algorithm>

namespace zv {

void useMenuScale(platform::DisplayScale scale) {
    if (!skinPictures.loaded() || skinPictures.scale() != scale)
        skinPictures.load(scale);
    setIconSize(scale.pixels(16));
    sideStrip.scale = scale;
}

void MenuWindow::build(std::int16_t menu, std::int16_t atLevel, std::int16_t fromRow) {
    layOut(menu, atLevel, fromRow);
    open();
}

void MenuWindow::buildWithFirstRowHighlighted(std::int16_t menu) {
    layOut(menu, 0);
    hoverRow = 0;
    while (hoverRow <= lastRow && !takesHighlight(hoverRow))
        ++hoverRow;
    open();
}

void MenuWindow::open() {
    const bool wasOpen = isOpen();
    skipMouseMove = false;
    // Shown and painted first, activated after: the menu reaches the screen sooner. A level
    // opened again as it was closed still holds its image, which then needs no painting.
    window_->show();
    if (paintedKey_ != contentKey())
        paint();
    window_->present();
    window_->focus();
    // A rebuild of an open level is no new menu, but its highlighted row may be another.
    if (!wasOpen)
        window_->announce(platform::Announcement::MenuStart);
    if (hasRow())
        window_->announce(platform::Announcement::Focus, hoverRow);
}

void MenuWindow::showOnceUnseen() {
    load();
    window_->showOnceOffScreen();
}

void MenuWindow::layOut(std::int16_t menu, std::int16_t atLevel, std::int16_t fromRow) {
    const platform::ScreenMetrics screen = triggerWindow.monitor();
    scale = screen.scale;
    useMenuScale(scale);
    const MenuMetrics px(skin, scale);
    using platform::Twips;
    const int itemHeight = px.itemHeight;

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
            const int rowHeight =
                items[slot].itemType == Separator ? px.separatorHeight : itemHeight;
            rowBounds[n] = Rect{0, y, px.itemWidth, y + rowHeight};
            y += rowHeight;
            ++n;
        }
    }

    lastRow = static_cast<std::int16_t>(n - 1);

    // Size, with a frame on every side.
    widthTwips = scale.twips(px.itemWidth + 2 * px.frame);
    heightTwips = scale.twips(y + 2 * px.frame);

    // Beside the trigger with the side strip between, or beside the parent.
    MenuWindow* parent = level > 0 ? &menuLevel(level - 1) : nullptr;
    if (level == 0) {
        sideStrip.widthTwips = scale.twips(px.sideStripWidth);
        sideStrip.leftTwips = triggerWindow.rightEdge();
        sideStrip.pictureTop = heightTwips - sideStrip.pictureHeight();
        leftTwips = sideStrip.leftTwips + sideStrip.widthTwips;
    } else {
        leftTwips = parent->leftTwips + parent->widthTwips - Twips(100);
    }

    // Past the right edge of the monitor: open to the left instead.
    if (leftTwips + widthTwips > screen.right()) {
        if (level == 0) {
            sideStrip.leftTwips = triggerWindow.leftTwips - sideStrip.widthTwips;
            leftTwips = sideStrip.leftTwips - widthTwips;
        } else {
            leftTwips = parent->leftTwips - widthTwips + Twips(50);
        }
    }

    // Vertical place.
    if (level == 0) {
        const Twips t = (triggerWindow.bottomEdge() - heightTwips).wholeToEven();
        topTwips = t > screen.top ? t : triggerWindow.topTwips;
    } else {
        const int r = parent->rowTop(parentRow);
        const Twips top = (parent->topTwips + scale.twips(r) + Twips(50)).wholeToEven();
        if (screen.bottom() - Twips(500) > top + heightTwips)
            topTwips = top;
        else
            topTwips = parent->topTwips + scale.twips(r - lastRow * itemHeight) + Twips(50);
    }

    // The native window: the root's also holds the strip, so it spans both, each part starting
    // at the pixel it would have as a window of its own.
    Twips windowLeft = leftTwips.whole();
    Twips windowWidth = widthTwips.whole();
    int menuX = 0;
    stripX_ = stripWidth_ = 0;
    if (level == 0) {
        const Twips stripLeft = sideStrip.leftTwips.whole();
        const Twips stripWidth = sideStrip.widthTwips.whole();
        const Twips menuLeft = windowLeft;
        const Twips right = std::max(menuLeft + windowWidth, stripLeft + stripWidth);
        windowLeft = std::min(menuLeft, stripLeft);
        windowWidth = right - windowLeft;
        menuX = scale.toPixels(menuLeft) - scale.toPixels(windowLeft);
        stripX_ = scale.toPixels(stripLeft) - scale.toPixels(menuLeft);
        stripWidth_ = px.sideStripWidth;
    }
    load();
    window_->place(windowLeft, topTwips.whole(), windowWidth, heightTwips.whole(), scale);
    window_->setOrigin(menuX, 0);
    window_->surface().setFont(skin.font, skin.fontSize);
}

void MenuWindow::rebuild() {
    build(menuId, level, parentRow);
}

void MenuWindow::destroy(bool keepThisLevel) {
    const bool ends = !keepThisLevel && isOpen();
    // This level goes first, the deeper ones after: only the deepest has the activation, so it
    // is handed on once, not from level to level.
    if (!keepThisLevel)
        close();
    if (topLevel > level && level + 1 < menuLevelCount)
        menuLevel(level + 1).destroy();
    skipMouseMove = true;
    topLevel = static_cast<std::int16_t>(keepThisLevel ? level : level - 1);
    // Told deepest first, as each level's end follows the ends of the levels it opened.
    if (ends) {
        window_->announce(platform::Announcement::MenuEnd);
        takeFocusBack();
    }
}

void MenuWindow::takeFocusBack() {
    if (level == 0)
        return;
    // Closing everything leaves no parent open to take it.
    MenuWindow& parent = menuLevel(level - 1);
    if (!parent.isOpen())
        return;
    parent.window_->focus();
    parent.announceHighlight();
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
