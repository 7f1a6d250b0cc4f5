// Painting a menu window: background, highlight, bevelled frame, then each row's icon, picture
// and caption, all into the off-screen image, which then reaches the screen in one step.
#include "core/item_store.h"
#include "core/skin.h"
#include "graphics/icon_registry.h"
#include "graphics/side_strip.h"
#include "graphics/skin_pictures.h"
#include "menus/menu_window.h"

#include <cmath>

namespace zv {

namespace {

constexpr Rgb flatHighlight{83, 165, 255};
constexpr Rgb frameDark{64, 64, 64};
constexpr Rgb frameLight{255, 255, 255};
constexpr Rgb captionColour{0, 0, 0};
constexpr Rgb headerCaptionColour{128, 128, 128};

constexpr unsigned formatLeft = 0;
constexpr unsigned formatCentred = 1;

// One line of text vertically centred in the rectangle, its left edge moved right by indent
// unless indent is -1.
void drawText(platform::Surface& surface, Rect r, const std::string& text, unsigned format,
              int indent) {
    if (indent != -1)
        r.left += indent;
    surface.drawText(r, text, format + platform::textVCenter + platform::textSingleLine);
}

bool isHighlightable(std::int32_t type) {
    return type == File || type == Menu || type == Special;
}

} // namespace

void MenuWindow::drawAll() {
    if (!isOpen())
        return;
    paint();
    window_->present();
}

void MenuWindow::paint() {
    auto& surface = window_->surface();
    surface.clear(menuBackground);
    if (stripWidth_ > 0)
        sideStrip.draw(surface, stripX_);
    drawHighlight();
    drawBounds();
    drawItems(true);
    paintedKey_ = contentKey();
}

// Everything the painting depends on, folded into one number (FNV-1a).
std::uint64_t MenuWindow::contentKey() const {
    std::uint64_t key = 14695981039346656037ull;
    auto add = [&](std::uint64_t value) {
        for (int byte = 0; byte < 8; ++byte, value >>= 8)
            key = (key ^ (value & 0xFF)) * 1099511628211ull;
    };
    add(static_cast<std::uint64_t>(menuId));
    add(static_cast<std::uint64_t>(hoverRow));
    add(static_cast<std::uint64_t>(lastRow));
    add(static_cast<std::uint64_t>(scale.dpi));
    add(static_cast<std::uint64_t>(stripX_));
    add(static_cast<std::uint64_t>(window_->surface().width()));
    add(static_cast<std::uint64_t>(window_->surface().height()));
    add(static_cast<std::uint64_t>(std::llround(sideStrip.pictureTop.value())));
    for (int i = 0; i <= lastRow; ++i) {
        const MenuEntry& item = items[rowSlots[i]];
        add(static_cast<std::uint64_t>(item.itemType));
        add(static_cast<std::uint64_t>(item.iconIndex));
        for (const char c : item.name)
            add(static_cast<unsigned char>(c));
        add(0);
        if (item.iconIndex >= 0 && item.iconIndex < iconSlots)
            add(reinterpret_cast<std::uintptr_t>(iconRegistry.iconHandles[item.iconIndex]));
    }
    return key;
}

// Painted whole, the hidden level needs no painting on its first opening. A row that takes its
// target's icon does so on its first real painting, so such a level gets its captions only:
// the fonts and their glyphs are made then, not on the first opening.
void MenuWindow::paintUnseen() {
    for (int i = 0; i <= lastRow; ++i) {
        const MenuEntry& item = items[rowSlots[i]];
        if (isHighlightable(item.itemType) && item.iconIndex == -1) {
            window_->surface().clear(menuBackground);
            drawItems(false);
            paintedKey_.reset();
            return;
        }
    }
    paint();
}

void MenuWindow::drawHighlight() {
    if (hoverRow < 0 || hoverRow > lastRow)
        return;
    if (!isHighlightable(items[rowSlots[hoverRow]].itemType))
        return;
    const int frame = MenuMetrics(skin, scale).frame;
    if (skin.graphicalHighlight)
        window_->surface().blt(skinPictures.highlight().bitmap, frame,
                               rowBounds[hoverRow].top + frame);
    else
        copyHighlight(hoverRow, flatHighlight);
}

void MenuWindow::copyHighlight(std::int16_t i, Rgb colour) {
    window_->surface().fillRect(rowBounds[i], colour);
}

// The bevel: dark along the right and bottom edges, light along the top and left ones, which
// take the corners they share.
void MenuWindow::drawBounds() {
    auto& surface = window_->surface();
    const int w = scale.toPixels(widthTwips);
    const int h = scale.toPixels(heightTwips);
    const int f = MenuMetrics(skin, scale).frame;
    surface.fillRect({w - f, 0, w, h}, frameDark);
    surface.fillRect({0, h - f, w, h}, frameDark);
    surface.fillRect({0, 0, w, f}, frameLight);
    surface.fillRect({0, 0, f, h}, frameLight);
}

void MenuWindow::drawItems(bool withIcons) {
    auto& surface = window_->surface();
    const MenuMetrics px(skin, scale);
    const int iconOffsetY = px.iconOffsetY;
    const int textOffsetX = px.textOffsetX;
    for (int i = 0; i <= lastRow; ++i) {
        MenuEntry& item = items[rowSlots[i]];
        const int top = rowBounds[i].top;

        if (withIcons && isHighlightable(item.itemType)) {
            // The target's own icon is taken once, on the entry's first painting.
            if (item.iconIndex == -1)
                item.iconIndex = targetIcon(item.target.asText());
            drawIcon(surface, item.iconIndex, px.iconLeft, top + iconOffsetY);
        }

        switch (item.itemType) {
        case Separator:
            surface.blt(skinPictures.separator().bitmap, 0, top + px.frame);
            break;
        case Header:
            surface.blt(skinPictures.header().bitmap, px.frame, top + px.frame);
            surface.setBold(true);
            surface.setTextColour(headerCaptionColour);
            drawText(surface, rowBounds[i], item.name, formatCentred, -1);
            surface.setBold(false);
            surface.setTextColour(captionColour);
            break;
        case Menu:
            surface.bltTransparent(skinPictures.submenuArrow().bitmap, px.submenuArrowOffsetX,
                                   top + px.submenuArrowOffsetY,
                                   skinPictures.submenuArrow().keyColour);
            drawText(surface, rowBounds[i], item.name, formatLeft, textOffsetX);
            break;
        case File:
        case Special:
            drawText(surface, rowBounds[i], item.name, formatLeft, textOffsetX);
            break;
        default:
            break;
        }
    }
}

} // namespace zv
