#include "core/app_state.h"
#include "core/item_store.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "test_support.h"
#include "trigger/trigger_window.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

constexpr int vkEnter = 13, vkLeft = 37, vkUp = 38, vkRight = 39, vkDown = 40;

// Root rows: 0 Notes, 1 Net, 2 mail, 3 Mixer, 4 Sub (submenu 1), 5 Header, 6 Deep (submenu 2).
const std::string navigationMenu = " 3 \r\n"
                                   "Notes, 0 , 0 ,n,-1 \r\nNet, 0 , 0 ,n,-1 \r\n"
                                   "mail, 0 , 0 ,n,-1 \r\nMixer, 0 , 0 ,n,-1 \r\n"
                                   "Sub, 1 , 0 , 1 ,-1 \r\nHead, 2 , 0 ,,-1 \r\n"
                                   "Deep, 1 , 0 ,\" 2 \",-1 \r\n"
                                   "In1, 0 , 1 ,a,-1 \r\nIn2, 1 , 1 , 2 ,-1 \r\n"
                                   "'quote, 0 , 1 ,q,-1 \r\nD1, 0 , 2 ,d,-1 \r\n";

class MenuNavigationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::startProgram(folder, navigationMenu);
        triggerWindow.mouseDown(platform::buttonLeft, 0, 5, 5);
        triggerWindow.mouseUp(platform::buttonLeft, 0, 5, 5);
        skipMouseMove = false;
    }
    MenuWindow& level(int d) { return menuLevel(d); }
    headless::WindowRecord& rec(int d) { return headless::record(*level(d).window()); }
    // The centre of a row, in client pixels.
    void moveTo(int d, int row) {
        const Rect r = level(d).rowBounds[row];
        level(d).mouseMove(0, 0, (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0);
    }
    void key(int d, int code) { level(d).keyDown(code, 0); }
    test::TempFolder folder;
};

TEST_F(MenuNavigationTest, HitTestRedrawsOnlyOnARowChangeAndRestartsTheTimer) {
    MenuWindow& root = level(0);
    moveTo(0, 3);
    EXPECT_EQ(root.hoverRow, 3);
    const int presents = rec(0).presents;
    EXPECT_TRUE(rec(0).timer.running);
    EXPECT_EQ(rec(0).timer.dueMs, headless::now() + 500);

    headless::advanceClock(300);
    root.mouseMove(0, 0, 150, 3 * 20 + 2);
    EXPECT_EQ(rec(0).presents, presents); // within row 3
    moveTo(0, 4);
    EXPECT_EQ(rec(0).presents, presents + 1);
    EXPECT_EQ(rec(0).timer.dueMs, headless::now() + 500);

    // Coordinates round to the nearest whole pixel, halves to even: 19.5 is pixel 20 (row 1),
    // and -0.5 is pixel 0, inside the rows, not -1.
    root.mouseMove(0, 0, 10, 19.5);
    EXPECT_EQ(root.hoverRow, 1);
    root.mouseMove(0, 0, -0.5, 10);
    EXPECT_EQ(root.hoverRow, 0);
    // Outside every row: none.
    root.mouseMove(0, 0, 250, 10);
    EXPECT_EQ(root.hoverRow, root.lastRow + 1);
}

TEST_F(MenuNavigationTest, RestingOnASubmenuRowOpensItAndElsewhereClosesIt) {
    moveTo(0, 4);
    headless::advanceClock(499);
    EXPECT_EQ(topLevel, 0);
    headless::advanceClock(1);
    ASSERT_EQ(topLevel, 1);
    EXPECT_TRUE(level(1).isOpen());
    EXPECT_EQ(level(1).menuId, 1);
    EXPECT_EQ(level(1).hoverRow, 0);
    EXPECT_EQ(level(1).parentRow, 4);
    EXPECT_EQ(headless::focusedWindow(), &rec(1));
    EXPECT_FALSE(rec(0).timer.running);
    EXPECT_TRUE(skipMouseMove);

    // The first mouse move after the opening is swallowed.
    moveTo(1, 1);
    EXPECT_EQ(level(1).hoverRow, 0);
    EXPECT_FALSE(skipMouseMove);

    // Moving inside the child re-highlights the parent row and stops the parent's tick.
    moveTo(0, 2);
    EXPECT_TRUE(rec(0).timer.running);
    moveTo(1, 1);
    EXPECT_EQ(level(0).hoverRow, 4);
    EXPECT_FALSE(rec(0).timer.running);

    // Resting on a plain row of the root closes the submenu again.
    moveTo(0, 1);
    headless::advanceClock(500);
    EXPECT_EQ(topLevel, 0);
    EXPECT_FALSE(level(1).isOpen());
    EXPECT_FALSE(rec(0).timer.running);
}

TEST_F(MenuNavigationTest, UpAndDownWrapAlsoFromNoRow) {
    MenuWindow& root = level(0);
    root.hoverRow = 0;
    key(0, vkUp);
    EXPECT_EQ(root.hoverRow, root.lastRow);
    key(0, vkDown);
    EXPECT_EQ(root.hoverRow, 0);
    root.hoverRow = static_cast<std::int16_t>(root.lastRow + 1);
    key(0, vkUp);
    EXPECT_EQ(root.hoverRow, root.lastRow);
    root.hoverRow = static_cast<std::int16_t>(root.lastRow + 1);
    key(0, vkDown);
    EXPECT_EQ(root.hoverRow, 0);
    EXPECT_TRUE(rec(0).timer.running);

    // Reaching a submenu row by key and waiting opens it like the pointer does.
    key(0, 'S');
    EXPECT_EQ(root.hoverRow, 4);
    headless::advanceClock(500);
    EXPECT_EQ(topLevel, 1);
    EXPECT_EQ(headless::focusedWindow(), &rec(1));
}

TEST_F(MenuNavigationTest, FirstLetterSearchFollowsTheExactCharacter) {
    MenuWindow& root = level(0);
    root.hoverRow = 0;
    key(0, 'N');
    EXPECT_EQ(root.hoverRow, 1); // Net
    key(0, 'N');
    EXPECT_EQ(root.hoverRow, 0); // Notes
    key(0, 'M');
    EXPECT_EQ(root.hoverRow, 3); // Mixer, never mail
    const int presents = rec(0).presents;
    headless::advanceClock(200);
    key(0, 'Q');
    EXPECT_EQ(root.hoverRow, 3);
    EXPECT_EQ(rec(0).presents, presents + 1);
    EXPECT_EQ(rec(0).timer.dueMs, headless::now() + 500);
    // Keypad 4 (100) is the letter 'd': no caption starts with it.
    key(0, 100);
    EXPECT_EQ(root.hoverRow, 3);
}

TEST_F(MenuNavigationTest, LeftAndRightAcrossLevels) {
    MenuWindow& root = level(0);
    key(0, vkLeft);
    EXPECT_TRUE(root.isOpen());
    EXPECT_EQ(topLevel, 0);

    root.hoverRow = 4;
    key(0, vkRight);
    ASSERT_EQ(topLevel, 1);
    EXPECT_FALSE(rec(0).timer.running);
    // Right on a plain row is the apostrophe: the search finds "'quote".
    level(1).hoverRow = 0;
    key(1, vkRight);
    EXPECT_EQ(topLevel, 1);
    EXPECT_EQ(level(1).hoverRow, 2);

    level(1).hoverRow = 1;
    key(1, vkRight);
    ASSERT_EQ(topLevel, 2);
    key(2, vkLeft);
    EXPECT_EQ(topLevel, 1);
    EXPECT_FALSE(level(2).isOpen());
    EXPECT_TRUE(level(1).isOpen());
}

TEST_F(MenuNavigationTest, LevelTenOpensNothingDeeper) {
    // Submenu 2 holds "Deep" opening itself: each Right goes one level deeper.
    level(0).hoverRow = 6;
    key(0, vkRight);
    for (int d = 1; d < 10; ++d) {
        ASSERT_EQ(topLevel, d);
        items[level(d).slotOfRow(0)].itemType = Menu;
        items[level(d).slotOfRow(0)].target = Target(std::int16_t{2});
        level(d).hoverRow = 0;
        key(d, vkRight);
    }
    ASSERT_EQ(topLevel, 10);
    level(10).hoverRow = 0;
    key(10, vkRight);
    EXPECT_EQ(topLevel, 10);
    level(10).timerTick();
    EXPECT_EQ(topLevel, 10);
}

TEST_F(MenuNavigationTest, EnterOpensASubmenuAtOnceAndClicksDispatchByButton) {
    MenuWindow& root = level(0);
    root.hoverRow = 4;
    key(0, vkEnter);
    EXPECT_EQ(topLevel, 1);
    EXPECT_TRUE(skipMouseMove);

    // A right click closes the deeper levels and keeps this one.
    root.mouseDown(platform::buttonRight, 0, 10, 10);
    EXPECT_EQ(topLevel, 0);
    EXPECT_EQ(root.hoverRow, 4);
    EXPECT_FALSE(rec(0).timer.running);

    // A middle click does nothing.
    root.mouseDown(platform::buttonMiddle, 0, 10, 10);
    EXPECT_EQ(root.hoverRow, 4);

    // A left click on the header only closes deeper levels; on a submenu row it opens it.
    root.hoverRow = 4;
    key(0, vkEnter);
    root.mouseDown(platform::buttonLeft, 0, 10, 5 * 20 + 5);
    EXPECT_EQ(topLevel, 0);
    root.mouseDown(platform::buttonLeft, 0, 10, 4 * 20 + 5);
    EXPECT_EQ(topLevel, 1);
}

} // namespace
} // namespace zv
