// Painting a menu window: background, highlight, bevelled frame, then each row's icon, picture
// and caption, all into the off-screen image, which then reaches the screen in one step.
#include "core/item_store.h"
#include "core/skin.h"
#include "graphics/icon_registry.h"
#include "graphics/side_strip.h"
#include "graphics/skin_pictures.h"
#include "menus/menu_window.h"

#include <cmath>
#include <optional>

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

// A frame of the given thickness just inside the rectangle.
void frameRect(platform::Surface& surface, const Rect& r, int thickness, Rgb colour) {
    surface.fillRect({r.left, r.top, r.right, r.top + thickness}, colour);
    surface.fillRect({r.left, r.bottom - thickness, r.right, r.bottom}, colour);
    surface.fillRect({r.left, r.top, r.left + thickness, r.bottom}, colour);
    surface.fillRect({r.right - thickness, r.top, r.right, r.bottom}, colour);
}

} // namespace

void MenuWindow::drawAll() {
    if (!isOpen())
        return;
    paint();
    window_->present();
}

void MenuWindow::systemColoursChanged() {
    drawAll();
}

bool MenuWindow::takesHighlight(std::int16_t row) const {
    return row >= 0 && row <= lastRow && isHighlightable(items[rowSlots[row]].itemType);
}

void MenuWindow::paint() {
    auto& surface = window_->surface();
    const auto contrast = contrastColours();
    surface.clear(contrast ? contrast->menu : menuBackground);
    if (stripWidth_ > 0) {
        // High contrast keeps the strip's place, plain and framed.
        if (contrast)
            frameRect(surface, {stripX_, 0, stripX_ + stripWidth_, surface.height()},
                      scale.pixels(1), contrast->menuText);
        else
            sideStrip.draw(surface, stripX_);
    }
    drawHighlight(contrast);
    drawBounds(contrast);
    drawItems(true, contrast);
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
    if (const auto contrast = contrastColours())
        for (const Rgb c : {contrast->menu, contrast->menuText, contrast->highlight,
                            contrast->highlightText, contrast->grayText})
            add(static_cast<std::uint64_t>(c.r) << 16 | static_cast<std::uint64_t>(c.g) << 8 | c.b |
                1u << 24);
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
            const auto contrast = contrastColours();
            window_->surface().clear(contrast ? contrast->menu : menuBackground);
            drawItems(false, contrast);
            paintedKey_.reset();
            return;
        }
    }
    paint();
}

void MenuWindow::drawHighlight(const std::optional<ContrastColours>& contrast) {
    if (!takesHighlight(hoverRow))
        return;
    const int frame = MenuMetrics(skin, scale).frame;
    if (contrast)
        copyHighlight(hoverRow, contrast->highlight);
    else if (skin.graphicalHighlight)
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
void MenuWindow::drawBounds(const std::optional<ContrastColours>& contrast) {
    auto& surface = window_->surface();
    const int w = scale.toPixels(widthTwips);
    const int h = scale.toPixels(heightTwips);
    if (contrast) {
        frameRect(surface, {0, 0, w, h}, scale.pixels(1), contrast->menuText);
        return;
    }
    const int f = MenuMetrics(skin, scale).frame;
    surface.fillRect({w - f, 0, w, h}, frameDark);
    surface.fillRect({0, h - f, w, h}, frameDark);
    surface.fillRect({0, 0, w, f}, frameLight);
    surface.fillRect({0, 0, f, h}, frameLight);
}

void MenuWindow::drawItems(bool withIcons, const std::optional<ContrastColours>& contrast) {
    if (contrast) {
        drawPlainItems(withIcons, *contrast);
        return;
    }
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

// High contrast: the rows in the system's colours, without the skin's pictures; icons stay, as
// they show what a row starts.
void MenuWindow::drawPlainItems(bool withIcons, const ContrastColours& contrast) {
    auto& surface = window_->surface();
    const MenuMetrics px(skin, scale);
    const int line = scale.pixels(1);
    for (int i = 0; i <= lastRow; ++i) {
        MenuEntry& item = items[rowSlots[i]];
        const Rect& row = rowBounds[i];
        const bool highlighted = i == hoverRow && isHighlightable(item.itemType);
        const Rgb text = highlighted ? contrast.highlightText : contrast.menuText;

        if (withIcons && isHighlightable(item.itemType)) {
            if (item.iconIndex == -1)
                item.iconIndex = targetIcon(item.target.asText());
            drawIcon(surface, item.iconIndex, px.iconLeft, row.top + px.iconOffsetY);
        }

        switch (item.itemType) {
        case Separator: {
            const int middle = (row.top + row.bottom) / 2;
            surface.fillRect({row.left + px.frame, middle, row.right - px.frame, middle + line},
                             contrast.grayText);
            break;
        }
        case Header:
            surface.setBold(true);
            surface.setTextColour(contrast.grayText);
            drawText(surface, row, item.name, formatCentred, -1);
            surface.setBold(false);
            break;
        case Menu:
            for (const Rect& l : submenuArrowLines(scale))
                surface.fillRect(
                    {l.left + px.submenuArrowOffsetX, l.top + row.top + px.submenuArrowOffsetY,
                     l.right + px.submenuArrowOffsetX, l.bottom + row.top + px.submenuArrowOffsetY},
                    text);
            surface.setTextColour(text);
            drawText(surface, row, item.name, formatLeft, px.textOffsetX);
            break;
        case File:
        case Special:
            surface.setTextColour(text);
            drawText(surface, row, item.name, formatLeft, px.textOffsetX);
            break;
        default:
            break;
        }
    }
    surface.setTextColour(captionColour);
}

} // namespace zv
