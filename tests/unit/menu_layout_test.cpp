#include "graphics/side_strip.h"
#include "graphics/skin_pictures.h"
#include "test_support.h"

namespace zv {
namespace {

// Root: three rows and a separator; submenu 1 of 'count' rows.
std::string menuWithSubmenu(int count) {
    std::string text = " 1 \r\nA, 0 , 0 ,x,-1 \r\nSub, 1 , 0 , 1 ,-1 \r\n"
                       "Separator, 4 , 0 ,,-1 \r\nB, 0 , 0 ,y,-1 \r\n";
    for (int i = 0; i < count; ++i)
        text += "S" + std::to_string(i) + ", 0 , 1 ,z,-1 \r\n";
    return text;
}

using MenuLayoutTest = test::ProgramTest;
using platform::Twips;

TEST_F(MenuLayoutTest, RootBesideTheTriggerWithTheStripBetween) {
    start(menuWithSubmenu(1));
    EXPECT_EQ(triggerWindow.leftTwips, Twips(20));
    EXPECT_EQ(triggerWindow.topTwips, Twips(768 * 15 - 720 - 600));
    clickTrigger();
    ASSERT_TRUE(root().isOpen());
    // Three rows and a separator: 202 x 68 pixels.
    EXPECT_EQ(root().widthTwips, Twips(202 * 15));
    EXPECT_EQ(root().heightTwips, Twips(68 * 15));
    EXPECT_EQ(root().rowBounds[2], (Rect{0, 40, 200, 46}));
    EXPECT_EQ(root().rowBounds[3], (Rect{0, 46, 200, 66}));
    EXPECT_EQ(sideStrip.leftTwips, triggerWindow.rightEdge());
    EXPECT_EQ(root().leftTwips, sideStrip.leftTwips + Twips(28 * 15));
    // Bottoms level with the trigger's bottom; the picture's lower end at the strip's lower end.
    EXPECT_EQ(root().topTwips + root().heightTwips, triggerWindow.bottomEdge());
    EXPECT_EQ(sideStrip.pictureTop, root().heightTwips - Twips(1200 * 15));
    // One window holds the strip (its left 28 pixels) and the menu, each where it would be as a
    // window of its own; the picture's lower end is the window's lower end.
    auto& rec = headless::record(*root().window());
    EXPECT_EQ(rec.pixels, (Rect{49, 660, 279, 728}));
    const Picture strip = makeSideStripPicture();
    for (int y = 0; y < 68; y += 11)
        for (int x = 0; x < 28; x += 9)
            ASSERT_EQ(rec.presented.at(x, y), strip.at(x, 1200 - 68 + y)) << x << "," << y;

    // Input counts from the menu's corner too; the strip is no row and input on it does nothing.
    root().mouseMove(0, 0, 10, 50);
    EXPECT_EQ(root().hoverRow, 3);
    root().mouseMove(0, 0, -1, 10);
    root().mouseDown(platform::buttonLeft, 0, -28, 10);
    EXPECT_EQ(root().hoverRow, 3);
    EXPECT_TRUE(root().isOpen());
    EXPECT_EQ(topLevel, 0);
    EXPECT_TRUE(triggerWindow.menuShown);
}

TEST_F(MenuLayoutTest, NearTheRightEdgeMenusOpenToTheLeft) {
    start(menuWithSubmenu(2));
    triggerWindow.leftTwips = Twips(1000 * 15);
    root().build(0, 0);
    EXPECT_EQ(sideStrip.leftTwips, triggerWindow.leftTwips - Twips(28 * 15));
    EXPECT_EQ(root().leftTwips, sideStrip.leftTwips - root().widthTwips);
    // The strip is now on the window's right, between the menu and the trigger.
    const auto& rec = headless::record(*root().window());
    EXPECT_EQ(rec.pixels, (Rect{1000 - 28 - 202, 660, 1000, 728}));
    EXPECT_EQ(rec.presented.at(0, 0), (Rgb{255, 255, 255})) << "the menu's frame";
    EXPECT_EQ(rec.presented.at(202, 67), makeSideStripPicture().at(0, 1199));

    // One that ends exactly at the monitor's edge still opens to the right.
    triggerWindow.leftTwips = Twips((1024 - 48 - 28 - 202) * 15);
    root().build(0, 0);
    EXPECT_EQ(root().leftTwips + root().widthTwips, Twips(1024 * 15));

    // A submenu that would pass the edge opens left of its parent, 50 twips over it; otherwise
    // it overlaps its parent by 100 twips on the right.
    triggerWindow.leftTwips = Twips(20);
    root().build(0, 0);
    root().leftTwips = Twips(850 * 15);
    MenuWindow& sub = openSub(1);
    EXPECT_EQ(sub.leftTwips, root().leftTwips - sub.widthTwips + Twips(50));
    root().leftTwips = Twips(100 * 15);
    openSub(1);
    EXPECT_EQ(sub.leftTwips, root().leftTwips + root().widthTwips - Twips(100));
    EXPECT_EQ(sub.topTwips, root().topTwips + Twips(20 * 15 + 50));
}

TEST_F(MenuLayoutTest, TallMenusHangOrAreLiftedRowsStopAtTheTableAndEmptyMenusStillOpen) {
    start(menuWithSubmenu(60));
    triggerWindow.topTwips = Twips(10 * 15); // too little room above the trigger's bottom
    root().build(0, 0);
    EXPECT_EQ(root().topTwips, triggerWindow.topTwips);
    // Near the bottom: the submenu is lifted so its last row meets the parent row.
    root().topTwips = Twips(600 * 15);
    MenuWindow& sub = openSub(1);
    EXPECT_EQ(sub.lastRow, 50);
    EXPECT_EQ(sub.heightTwips, Twips((51 * 20 + 2) * 15));
    EXPECT_EQ(sub.topTwips, root().topTwips + Twips((20 - 50 * 20) * 15 + 50));

    start(" 0 \r\n");
    root().build(0, 0);
    EXPECT_EQ(root().lastRow, -1);
    EXPECT_EQ(root().widthTwips, Twips(202 * 15));
    EXPECT_EQ(root().heightTwips, Twips(2 * 15));
}

} // namespace
} // namespace zv
