#include "core/app_state.h"
#include "core/item_store.h"
#include "graphics/icon_registry.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

constexpr Rgb background{245, 244, 243};
constexpr Rgb dark{64, 64, 64};
constexpr Rgb white{255, 255, 255};
constexpr Rgb flat{83, 165, 255};
constexpr Rgb hlFrame{130, 160, 194};
constexpr Rgb arrowInk{4, 2, 4};

class MenuPaintingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.write("app.exe", "program bytes");
        // Rows: 0 Header (0..20), 1 File with an icon (20..40), 2 Separator (40..46),
        // 3 Menu (46..66), 4 File (66..86).
        test::startProgram(folder,
                           " 1 \r\nTitle, 2 , 0 ,,-1 \r\nApp, 0 , 0 ," + folder.path() +
                               "\\app.exe,-1 \r\nSeparator, 4 , 0 ,,-1 \r\nSub, 1 , 0 , 1 ,-1 "
                               "\r\nPlain, 0 , 0 ,missing.exe,-1 \r\nIn, 0 , 1 ,x,-1 \r\n");
        root().hoverRow = 99;
        root().build(0, 0);
    }
    MenuWindow& root() { return menuLevel(0); }
    const headless::Canvas& canvas() { return headless::record(*root().window()).surface; }
    // The menu's pixels, right of the side strip the root's window also holds.
    Rgb px(int x, int y) { return canvas().pixel(strip + x, y); }
    static constexpr int strip = 28;
    void hover(int row) {
        root().hoverRow = static_cast<std::int16_t>(row);
        root().drawAll();
    }
    test::TempFolder folder;
};

TEST_F(MenuPaintingTest, BevelFramesTheRows) {
    const int w = 202, h = 88;
    ASSERT_EQ(canvas().width(), strip + w);
    ASSERT_EQ(canvas().height(), h);
    EXPECT_EQ(px(w - 1, 40), dark);  // right column
    EXPECT_EQ(px(100, h - 1), dark); // bottom row
    EXPECT_EQ(px(0, 30), white);     // left column
    EXPECT_EQ(px(100, 0), white);    // top row
    // The white lines are drawn last and win at two corners.
    EXPECT_EQ(px(w - 1, 0), white);
    EXPECT_EQ(px(0, h - 1), white);
    EXPECT_EQ(px(w - 1, h - 1), dark);
    EXPECT_EQ(px(0, 0), white);
    EXPECT_EQ(px(w - 2, 75), background);
    // Nothing highlighted: hoverRow is past the rows.
    EXPECT_EQ(px(100, 70), background);
}

TEST_F(MenuPaintingTest, HighlightStylesCoverExactlyTheirRows) {
    hover(4); // rows 66..86
    EXPECT_EQ(px(1, 67), hlFrame);
    EXPECT_EQ(px(200, 67), hlFrame);
    EXPECT_EQ(px(100, 68), (Rgb{205, 231, 248}));
    EXPECT_EQ(px(100, 86), hlFrame); // one pixel below the row: the picture covers it
    EXPECT_EQ(px(100, 66), background);

    menuLevel(0).skin.graphicalHighlight = false;
    hover(4);
    EXPECT_EQ(px(1, 66), flat);
    EXPECT_EQ(px(199, 85), flat);
    EXPECT_EQ(px(200, 70), background);
    EXPECT_EQ(px(100, 65), background);
    EXPECT_EQ(px(100, 86), background); // the pixel between the last row and the frame
    EXPECT_EQ(px(100, 87), dark);
    EXPECT_EQ(px(0, 70), white); // the bevel is drawn over the highlight

    // Header and Separator rows never highlight.
    hover(4);
    EXPECT_EQ(px(50, 70), flat);
    hover(0);
    EXPECT_NE(px(100, 10), flat);
    hover(2);
    EXPECT_EQ(px(100, 41), background);
}

TEST_F(MenuPaintingTest, ArrowIsTransparentOverTheHighlight) {
    hover(3); // Menu row 46..66; arrow at (176, 47)
    EXPECT_EQ(px(179, 47 + 6), arrowInk);
    EXPECT_EQ(px(183, 47 + 9), arrowInk);
    // Around the triangle the highlight shows, not the arrow's own background.
    EXPECT_EQ(px(177, 48), (Rgb{205, 231, 248}));
    EXPECT_EQ(px(185, 47 + 6), (Rgb{197, 224, 254}));
    hover(4);
    EXPECT_EQ(px(177, 48), background);
}

TEST_F(MenuPaintingTest, SeparatorAndHeaderPicturesSitOnePixelDown) {
    // Separator row at 40: sep copied to (0, 41), its etched line on rows 2 and 3.
    EXPECT_EQ(px(5, 43), (Rgb{195, 194, 193}));
    EXPECT_EQ(px(193, 44), white);
    EXPECT_EQ(px(194, 43), background);
    // Header row at 0: header copied to (1, 1): its top line, then its white column 0.
    EXPECT_EQ(px(50, 1), (Rgb{55, 58, 60}));
    EXPECT_EQ(px(1, 5), white);
    EXPECT_EQ(px(50, 4), (Rgb{255, 255, 255}));
    EXPECT_EQ(px(50, 20), (Rgb{167, 174, 180})); // covers the next row's first pixel
}

TEST_F(MenuPaintingTest, IconsAreTakenOnceAndDrawnBesideTheCaption) {
    // Row 1's target exists: its icon is registered on first painting and drawn at (7, 23).
    const std::int16_t appIcon = items[root().slotOfRow(1)].iconIndex;
    ASSERT_GE(appIcon, 0);
    const headless::IconImage* image = headless::iconImage(iconHandle(appIcon));
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (image->opaqueAt(x, y)) {
                ASSERT_EQ(px(7 + x, 23 + y), image->at(x, y)) << x << "," << y;
            }
    // A missing target still gets its slot and shows nothing; it is not tried again.
    const std::int16_t plainIcon = items[root().slotOfRow(4)].iconIndex;
    EXPECT_GE(plainIcon, 0);
    EXPECT_EQ(iconHandle(plainIcon), nullptr);
    const std::int16_t count = iconRegistry.iconCount;
    hover(1);
    hover(4);
    EXPECT_EQ(iconRegistry.iconCount, count);
    EXPECT_EQ(items[root().slotOfRow(4)].iconIndex, plainIcon);
    // Header and Separator rows take no icon.
    EXPECT_EQ(items[root().slotOfRow(0)].iconIndex, -1);
    EXPECT_EQ(items[root().slotOfRow(2)].iconIndex, -1);
}

TEST_F(MenuPaintingTest, AnIconTakenFromTheTargetAgainReusesItsSlot) {
    // Each OK in the item editor sets the row back to "take it from the target"; more edits than
    // the table has slots still leave the row its icon.
    const std::int16_t slot = root().slotOfRow(1);
    const std::int16_t appIcon = items[slot].iconIndex;
    const std::int16_t count = iconRegistry.iconCount;
    for (int edit = 0; edit < iconSlots; ++edit) {
        items[slot].iconIndex = -1;
        root().rebuild();
    }
    EXPECT_EQ(items[slot].iconIndex, appIcon);
    EXPECT_EQ(iconRegistry.iconCount, count);
    EXPECT_NE(iconHandle(appIcon), nullptr);
}

// The strip is the root's alone: a submenu's window is its menu, background from its frame on.
TEST_F(MenuPaintingTest, OnlyTheRootHoldsTheStrip) {
    root().hoverRow = 3;
    root().timerTick();
    menuLevel(1).hoverRow = 99;
    menuLevel(1).drawAll();
    const headless::Canvas& sub = headless::record(*menuLevel(1).window()).surface;
    EXPECT_EQ(sub.width(), 202);
    for (int x = 1; x < 30; x += 4)
        EXPECT_EQ(sub.pixel(x, 10), background) << x;
}

// A level opened again keeps the image it was closed with only while nothing it shows changed.
TEST_F(MenuPaintingTest, AMenuOpenedAgainShowsWhatChangedWhileItWasClosed) {
    const Picture before = headless::record(*root().window()).presented;
    auto reopen = [&] {
        root().destroy();
        root().build(0, 0);
        return headless::record(*root().window()).presented;
    };
    EXPECT_EQ(reopen().pixels(), before.pixels());
    root().destroy();
    items[root().slotOfRow(4)].name = "Renamed";
    root().hoverRow = 1;
    root().build(0, 0);
    EXPECT_EQ(canvas().texts().back().text, "Renamed");
    EXPECT_NE(px(100, 25), background) << "the highlight on row 1";
    EXPECT_EQ(px(179, 47 + 6), arrowInk);
    items[root().slotOfRow(3)].itemType = File; // the submenu row's arrow goes
    reopen();
    EXPECT_EQ(px(179, 47 + 6), background);
}

TEST_F(MenuPaintingTest, CaptionsHeaderGreyBoldCentredThenBlackAgain) {
    const auto& texts = canvas().texts();
    ASSERT_EQ(texts.size(), 4u); // Title, App, Sub, Plain; separators have none
    EXPECT_EQ(texts[0].text, "Title");
    EXPECT_EQ(texts[0].rect, (Rect{0, 0, 200, 20}));
    EXPECT_EQ(texts[0].format, 1u + 4u + 32u);
    EXPECT_TRUE(texts[0].bold);
    EXPECT_EQ(texts[0].colour, (Rgb{128, 128, 128}));
    EXPECT_EQ(texts[1].text, "App");
    EXPECT_EQ(texts[1].rect, (Rect{35, 20, 200, 40}));
    EXPECT_EQ(texts[1].format, 0u + 4u + 32u);
    EXPECT_FALSE(texts[1].bold);
    EXPECT_EQ(texts[1].colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(texts[1].face, "Tahoma");
    EXPECT_EQ(texts[1].points, 8);
    EXPECT_EQ(texts[2].text, "Sub");
    EXPECT_EQ(texts[2].rect, (Rect{35, 46, 200, 66}));
}

} // namespace
} // namespace zv
