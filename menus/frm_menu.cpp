#include "menus/frm_menu.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/skin_settings.h"
#include "graphics/frm_side_graphics.h"
#include "platform/screen.h"
#include "trigger/frm_trigger.h"

#include <cmath>

namespace zv {

namespace {

// Whole twips, halves going to the even neighbour.
double roundTwips(double twips) {
    return std::nearbyint(twips);
}

} // namespace

void FrmMenu::build(std::int16_t menuNum, std::int16_t dpth, std::int16_t prevHover) {
    const platform::ScreenMetrics screen = platform::screen();
    const int itemHeight = skinNumber("ItemHeight");

    // 1. Which menu, at which level, opened from which parent row.
    Depth = dpth;
    menu = menuNum;
    pHover = prevHover;

    // 2. Rows: the entries of this menu in list order. The walk always runs to the end so the
    // store's cursor is left where every walk leaves it.
    int y = 0;
    int n = 0;
    listRewind();
    Step step;
    while (listStep(step)) {
        if (step.entry.parentMenu == menuNum && n < maxRows) {
            itemKeys[n] = step.slot;
            const int rowHeight = step.entry.itemType == Separator ? 6 : itemHeight;
            itemBounds[n] = Rect{0, y, 200, y + rowHeight};
            y += rowHeight;
            ++n;
        }
        if (step.isLast)
            break;
    }

    // 3.
    MaxItems = static_cast<std::int16_t>(n - 1);

    // 4. Size, with a one-pixel frame on every side.
    Width = (skinNumber("ItemWidth") + 2) * screen.twipsPerPixelX;
    Height = (y + 2) * screen.twipsPerPixelY;

    // 5. Beside the trigger with the side strip between, or beside the parent.
    FrmMenu* parent = Depth > 0 ? menuLevels[Depth - 1] : nullptr;
    if (Depth == 0) {
        frmSideGraphics.Left = frmTrigger.getOffsetX();
        frmSideGraphics.sgTop = Height - frmSideGraphics.sgHeight();
        frmSideGraphics.Height = Height;
        Left = frmSideGraphics.Left + frmSideGraphics.Width;
    } else {
        Left = parent->Left + parent->Width - 100;
    }

    // 6. Past the right screen edge: open to the left instead.
    if (Left + Width > screen.widthTwips) {
        if (Depth == 0) {
            frmSideGraphics.Left = frmTrigger.Left - frmSideGraphics.Width;
            Left = frmSideGraphics.Left - Width;
        } else {
            Left = parent->Left - Width + 50;
        }
    }

    // 7. Vertical place.
    if (Depth == 0) {
        const double t = roundTwips(frmTrigger.getOffsetY() - Height);
        Top = t > 0 ? t : frmTrigger.Top;
        frmSideGraphics.Top = Top;
        frmSideGraphics.show();
    } else {
        const int r = parent->getTopBound(prevHover);
        const double top = roundTwips(parent->Top + r * screen.twipsPerPixelY + 50);
        if (screen.heightTwips - 500 > top + Height)
            Top = top;
        else
            Top = parent->Top + (r - MaxItems * itemHeight) * screen.twipsPerPixelY + 50;
    }

    // 8. The native window with its font; the background is painted by drawAll.
    load();
    window_->place(static_cast<int>(std::lround(Left)), static_cast<int>(std::lround(Top)),
                   static_cast<int>(std::lround(Width)), static_cast<int>(std::lround(Height)));
    window_->surface().setFont(skinText("Font"), skinNumber("FontSize"));

    // 9.
    skipMouseMove = false;

    // 10.
    window_->show();
    drawAll();
}

void FrmMenu::rebuild() {
    build(menu, Depth, pHover);
}

void FrmMenu::destroy(bool skipMe) {
    if (topLevel > Depth && Depth + 1 < menuLevelCount && menuLevels[Depth + 1])
        menuLevels[Depth + 1]->destroy();
    skipMouseMove = true;
    if (skipMe) {
        topLevel = Depth;
    } else {
        close();
        topLevel = static_cast<std::int16_t>(Depth - 1);
    }
}

void FrmMenu::load() {
    if (!window_)
        window_ =
            std::make_unique<platform::Window>(platform::WindowStyle::Menu, *this, "Zelvora menu");
}

void FrmMenu::close() {
    if (!window_)
        return;
    window_->stopTimer();
    window_->hide();
}

std::int16_t FrmMenu::getKey(std::int16_t index) const {
    return index >= 0 && index < maxRows ? itemKeys[index] : std::int16_t{-1};
}

std::int16_t FrmMenu::getTopBound(std::int16_t index) const {
    return index >= 0 && index < maxRows ? static_cast<std::int16_t>(itemBounds[index].top)
                                         : std::int16_t{0};
}

void FrmMenu::stopHoverTimer() {
    if (window_)
        window_->stopTimer();
}

void FrmMenu::renew() {
    if (window_)
        window_->stopTimer();
    Hover = 0;
}

} // namespace zv
