// One open level of the cascading menu: its rows, its place on the screen, its painting and
// its input. Other levels read and set its public fields and call its operations by name.
#pragma once

#include "core/skin.h"
#include "graphics/contrast_colours.h"
#include "platform/geometry.h"
#include "platform/window.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace zv {

inline constexpr int maxRows = 51; // rows 0 to 50

inline constexpr Rgb menuBackground{245, 244, 243};

// Makes what every level draws with ready for scale: the skin pictures, the rows' icon size and
// the side strip's picture size.
void useMenuScale(platform::DisplayScale scale);

class MenuWindow final : public platform::WindowEvents {
  public:
    std::int16_t level = 0;
    std::int16_t parentRow = 0;
    std::int16_t menuId = 0;
    std::int16_t lastRow = -1;
    std::int16_t hoverRow = 0; // lastRow + 1: no row highlighted
    std::array<std::int16_t, maxRows> rowSlots{};
    std::array<Rect, maxRows> rowBounds{};
    // The look this level is drawn with, and the scale: that of the monitor the trigger is on.
    Skin skin = defaultSkin;
    platform::DisplayScale scale;

    // The outer window in twips.
    platform::Twips leftTwips, topTwips, widthTwips, heightTwips;

    // Lays the level out for a menu (rows, size, place) and shows it.
    void build(std::int16_t menu, std::int16_t atLevel, std::int16_t fromRow = 0);
    // As build, with the first row that takes the highlight highlighted: opened from the
    // keyboard, the arrows go on from there.
    void buildWithFirstRowHighlighted(std::int16_t menu);
    // Lays the level out as build does, without showing it.
    void layOut(std::int16_t menu, std::int16_t atLevel, std::int16_t fromRow = 0);
    // Shows the level's native window once where no monitor shows it and hides it again, so
    // that its first real showing finds made what a first showing makes.
    void showOnceUnseen();
    // Paints the hidden level's image ahead: whole when every row has its icon, else only the
    // captions, which still makes the fonts and their glyphs.
    void paintUnseen();
    void rebuild();
    void destroy(bool keepThisLevel = false);
    std::int16_t slotOfRow(std::int16_t index) const;
    std::int16_t rowTop(std::int16_t index) const;
    void drawAll();

    bool isOpen() const { return window_ && window_->visible(); }
    // Whether hoverRow names one of the rows.
    bool hasRow() const { return hoverRow >= 0 && hoverRow <= lastRow; }
    // The native window while the level is open, else null.
    platform::Window* window() { return isOpen() ? window_.get() : nullptr; }
    void stopHoverTimer();

    // A window object made fresh for a new level: no row remembered, timer off.
    void renew();
    // Makes the native window, hidden, if there is none yet; build shows it.
    void load();

    // Input (client pixels).
    void mouseDown(int button, int shift, double x, double y) override;
    void mouseMove(int buttons, int shift, double x, double y) override;
    void keyDown(int keyCode, int shift) override;
    void timerTick() override;
    void systemColoursChanged() override;

    // Screen readers.
    std::string accessibleName() const override;
    std::vector<platform::AccessibleRow> accessibleRows() const override;
    void accessibleHighlight(int row) override;
    void accessibleAction(int row) override;

    void executeEntry();

  private:
    // Shows, paints and focuses the laid-out level and tells screen readers.
    void open();
    void close();
    // Tells screen readers which row has the focus, when this level has the keyboard.
    void announceHighlight();
    // A submenu closed: its parent level takes the keyboard back.
    void takeFocusBack();
    // Whether a row can be highlighted (entries and submenus; not headers or separators).
    bool takesHighlight(std::int16_t row) const;
    // Shift+F10 and the Applications key: the edit menu of a right click, at the highlighted
    // row.
    void showEditMenuAtRow();
    // Paints the whole image; drawAll also puts it on the screen.
    void paint();
    std::uint64_t contentKey() const;
    void drawHighlight(const std::optional<ContrastColours>& contrast);
    void drawBounds(const std::optional<ContrastColours>& contrast);
    void drawItems(bool withIcons, const std::optional<ContrastColours>& contrast);
    void drawPlainItems(bool withIcons, const ContrastColours& contrast);
    void copyHighlight(std::int16_t i, Rgb colour);

    void hitTest(double x, double y);
    void restartHoverTimer();
    void openSubmenu();
    void firstLetterSearch(int keyCode);

    // Whether a point is on the side strip, which is no row. Only the root's window holds the
    // strip: where it starts, left of the menu's (0, 0) or right of its frame, and how wide it
    // is (pixels; 0 for the other levels).
    bool onStrip(double x) const;
    int stripX_ = 0;
    int stripWidth_ = 0;

    // contentKey() of what the image holds, when paint() made it; a level opened again with
    // the same key is shown as it is.
    std::optional<std::uint64_t> paintedKey_;

    // Made on the level's first opening (or ahead of it) and kept, hidden while the level is
    // closed: making a native window costs more than showing one again.
    std::unique_ptr<platform::Window> window_;
};

} // namespace zv
