#include "test_support.h"

namespace zv {
namespace {

constexpr int vkEnter = 13, vkLeft = 37, vkUp = 38, vkRight = 39, vkDown = 40;

class MenuNavigationTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        // Root: 0 Notes, 1 Net, 2 mail, 3 Mixer, 4 Sub (menu 1), 5 Head, 6 Deep (menu 2).
        start(" 3 \r\nNotes, 0 , 0 ,n,-1 \r\nNet, 0 , 0 ,n,-1 \r\nmail, 0 , 0 ,n,-1 \r\n"
              "Mixer, 0 , 0 ,n,-1 \r\nSub, 1 , 0 , 1 ,-1 \r\nHead, 2 , 0 ,,-1 \r\n"
              "Deep, 1 , 0 ,\" 2 \",-1 \r\nIn1, 0 , 1 ,a,-1 \r\nIn2, 1 , 1 , 2 ,-1 \r\n"
              "'quote, 0 , 1 ,q,-1 \r\nD1, 0 , 2 ,d,-1 \r\n");
        clickTrigger();
        skipMouseMove = false;
    }
    MenuWindow& level(int d) { return menuLevel(d); }
    headless::WindowRecord& rec(int d) { return headless::record(*level(d).window()); }
    // The centre of a row, in client pixels.
    void moveTo(int d, int row) {
        const Rect r = level(d).rowBounds[row];
        level(d).mouseMove(0, 0, (r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0);
    }
    // A key on a row of level d.
    void key(int d, int code, int row = -1) {
        if (row >= 0)
            level(d).hoverRow = static_cast<std::int16_t>(row);
        level(d).keyDown(code, 0);
    }
    bool rootTicking() { return rec(0).timer.running; }
};

TEST_F(MenuNavigationTest, HitTestRedrawsOnlyOnARowChangeAndRestartsTheTimer) {
    MenuWindow& root = level(0);
    moveTo(0, 3);
    EXPECT_EQ(root.hoverRow, 3);
    const int presents = rec(0).presents;
    EXPECT_TRUE(rootTicking());
    EXPECT_EQ(rec(0).timer.dueMs, headless::now() + 500);
    headless::advanceClock(300);
    root.mouseMove(0, 0, 150, 3 * 20 + 2);
    EXPECT_EQ(rec(0).presents, presents); // within row 3
    moveTo(0, 4);
    EXPECT_EQ(rec(0).presents, presents + 1);
    EXPECT_EQ(rec(0).timer.dueMs, headless::now() + 500);

    // Coordinates round to the nearest whole pixel, halves to even: 19.5 is pixel 20 (row 1),
    // and -0.5 is pixel 0, inside the rows, not -1. Outside every row: none.
    for (auto [x, y, row] : {std::tuple{10.0, 19.5, 1}, {-0.5, 10.0, 0}, {250.0, 10.0, 7}}) {
        root.mouseMove(0, 0, x, y);
        EXPECT_EQ(root.hoverRow, row) << x << ", " << y;
    }
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
    EXPECT_FALSE(rootTicking());
    EXPECT_TRUE(skipMouseMove);

    // The first mouse move after the opening is swallowed.
    moveTo(1, 1);
    EXPECT_EQ(level(1).hoverRow, 0);
    EXPECT_FALSE(skipMouseMove);
    // Moving inside the child re-highlights the parent row and stops the parent's tick.
    moveTo(0, 2);
    EXPECT_TRUE(rootTicking());
    moveTo(1, 1);
    EXPECT_EQ(level(0).hoverRow, 4);
    EXPECT_FALSE(rootTicking());
    // Resting on a plain row of the root closes the submenu again.
    moveTo(0, 1);
    headless::advanceClock(500);
    EXPECT_EQ(topLevel, 0);
    EXPECT_FALSE(level(1).isOpen());
    EXPECT_FALSE(rootTicking());
}

TEST_F(MenuNavigationTest, UpAndDownWrapAlsoFromNoRowAndLettersFollowTheExactCharacter) {
    MenuWindow& root = level(0);
    const int none = root.lastRow + 1;
    for (auto [from, code, to] : {std::tuple{0, vkUp, 6},
                                  {6, vkDown, 0},
                                  {none, vkUp, 6},
                                  {none, vkDown, 0},
                                  {0, 'N', 1},
                                  {1, 'N', 0},
                                  {0, 'M', 3}}) {
        key(0, code, from);
        EXPECT_EQ(root.hoverRow, to) << from << " " << code; // 'M' is Mixer, never mail
    }
    EXPECT_TRUE(rootTicking());
    const int presents = rec(0).presents;
    headless::advanceClock(200);
    key(0, 'Q'); // no caption starts with it: the row stays but is drawn and timed again
    EXPECT_EQ(root.hoverRow, 3);
    EXPECT_EQ(rec(0).presents, presents + 1);
    EXPECT_EQ(rec(0).timer.dueMs, headless::now() + 500);
    key(0, 100); // keypad 4 (100) is the letter 'd': no caption starts with it
    EXPECT_EQ(root.hoverRow, 3);

    // Reaching a submenu row by key and waiting opens it like the pointer does.
    key(0, 'S');
    EXPECT_EQ(root.hoverRow, 4);
    headless::advanceClock(500);
    EXPECT_EQ(topLevel, 1);
    EXPECT_EQ(headless::focusedWindow(), &rec(1));
}

TEST_F(MenuNavigationTest, LeftAndRightAcrossLevelsAndNothingDeeperThanLevelTen) {
    key(0, vkLeft);
    EXPECT_TRUE(level(0).isOpen());
    EXPECT_EQ(topLevel, 0);
    key(0, vkRight, 4);
    ASSERT_EQ(topLevel, 1);
    EXPECT_FALSE(rootTicking());
    // Right on a plain row is the apostrophe: the search finds "'quote".
    key(1, vkRight, 0);
    EXPECT_EQ(topLevel, 1);
    EXPECT_EQ(level(1).hoverRow, 2);
    key(1, vkRight, 1);
    ASSERT_EQ(topLevel, 2);
    // Opening another submenu of the root first closes both deeper levels.
    key(0, vkRight, 6);
    EXPECT_EQ(topLevel, 1);
    EXPECT_FALSE(level(2).isOpen());
    key(0, vkRight, 4);
    key(1, vkRight, 1);
    key(2, vkLeft);
    EXPECT_EQ(topLevel, 1);
    EXPECT_FALSE(level(2).isOpen());
    EXPECT_TRUE(level(1).isOpen());

    // Submenu 2 made to hold "Deep" opening itself: each Right goes one level deeper.
    key(1, vkLeft);
    key(0, vkRight, 6);
    for (int d = 1; d < 10; ++d) {
        ASSERT_EQ(topLevel, d);
        items[level(d).slotOfRow(0)].itemType = Menu;
        items[level(d).slotOfRow(0)].target = Target(std::int16_t{2});
        key(d, vkRight, 0);
    }
    ASSERT_EQ(topLevel, 10);
    key(10, vkRight, 0);
    EXPECT_EQ(topLevel, 10);
    level(10).timerTick();
    EXPECT_EQ(topLevel, 10);
    clickTrigger(); // closes all eleven
    EXPECT_FALSE(level(10).isOpen());
}

TEST_F(MenuNavigationTest, EnterOpensASubmenuAtOnceAndClicksDispatchByButton) {
    MenuWindow& root = level(0);
    key(0, vkEnter, 4);
    EXPECT_EQ(topLevel, 1);
    EXPECT_TRUE(skipMouseMove);
    // A right click closes the deeper levels and keeps this one, ignoring the next move.
    skipMouseMove = false;
    root.mouseDown(platform::buttonRight, 0, 10, 10);
    EXPECT_TRUE(skipMouseMove);
    EXPECT_EQ(topLevel, 0);
    EXPECT_EQ(root.hoverRow, 4);
    EXPECT_FALSE(rootTicking());
    // A middle click does nothing.
    root.mouseDown(platform::buttonMiddle, 0, 10, 10);
    EXPECT_EQ(root.hoverRow, 4);
    // A left click on the header only closes deeper levels; on a submenu row it opens it.
    key(0, vkEnter, 4);
    root.mouseDown(platform::buttonLeft, 0, 10, 5 * 20 + 5);
    EXPECT_EQ(topLevel, 0);
    root.mouseDown(platform::buttonLeft, 0, 10, 4 * 20 + 5);
    EXPECT_EQ(topLevel, 1);
}

// A key code above 127 stands for the code page's character for that byte: 0xC9 is "É" under
// 1252 and the half-width "ﾉ" under 932, where 0x90 and 0xE5 (what every key sends while the
// input method is on) lead a double-byte character and stand for none.
class FirstLetterCodePageTest : public test::ProgramTest {};

TEST_F(FirstLetterCodePageTest, KeyCodesAbove127AreTheCodePagesCharacters) {
    const struct {
        int codePage, code, to;
    } cases[] = {{1252, 0xC9, 0}, {932, 0xC9, 1}, {932, 0x90, 4}, {932, 0xE5, 4}, {1252, 'Z', 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + std::to_string(c.code));
        start(" 0 \r\nA, 0 , 0 ,a,-1 \r\nB, 0 , 0 ,b,-1 \r\nC, 0 , 0 ,c,-1 \r\n"
              "D, 0 , 0 ,d,-1 \r\nE, 0 , 0 ,e,-1 \r\n");
        const char* names[] = {"Éclair", "ﾉート", "新規", "Ångström", "Zed"};
        int row = 0;
        for (std::int16_t slot : listOrder())
            items[slot].name = names[row++];
        headless::state().codePage = c.codePage;
        clickTrigger();
        root().hoverRow = 4;
        root().keyDown(c.code, 0);
        EXPECT_EQ(root().hoverRow, c.to);
    }
}

} // namespace
} // namespace zv
