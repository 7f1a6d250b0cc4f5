#include "test_support.h"
#include "trigger/focus_watcher.h"

namespace zv {
namespace {

// Rows: 0 doc, 1 folder, 2 empty target, 3 sub, 4 header, 5 separator, 6 quit, 7 shut down
// (the text " 1 " as read from the file), 8 run, 9 unknown special, 10 special with no number.
const std::string executionMenu =
    " 1 \r\nDoc, 0 , 0 ,C:\\docs\\letter.txt,-1 \r\nFolder, 0 , 0 ,C:\\docs,-1 \r\n"
    "Empty, 0 , 0 ,,-1 \r\nSub, 1 , 0 , 1 ,-1 \r\nHead, 2 , 0 ,,-1 \r\nSeparator, 4 , 0 ,,-1 \r\n"
    "Quit, 3 , 0 , 0 ,-1 \r\nShut down, 3 , 0 ,\" 1 \",-1 \r\nRun, 3 , 0 , 2 ,-1 \r\n"
    "Odd, 3 , 0 , 7 ,-1 \r\nText, 3 , 0 ,abc,-1 \r\nInside, 0 , 1 ,x,-1 \r\n";

class ItemExecutionTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        start(executionMenu);
        clickTrigger();
    }
    void enterOn(int row) {
        root().hoverRow = static_cast<std::int16_t>(row);
        root().keyDown(13, 0);
    }
};

TEST_F(ItemExecutionTest, QuitDetachesTheWatcherAndUnloadsTheWindows) {
    enterOn(3);
    EXPECT_EQ(topLevel, 1);
    EXPECT_TRUE(test::endsProcess([&] { enterOn(6); }));
    EXPECT_TRUE(test::messages().empty()); // nothing changed: no save question
    EXPECT_FALSE(triggerHooked());
    EXPECT_FALSE(triggerWindow.loaded());
    EXPECT_EQ(topLevel, -1);
    // Menu windows stay made, hidden, until the process ends.
    for (auto* w : headless::windows())
        EXPECT_FALSE(w->style == platform::WindowStyle::Menu && w->visible)
            << "a menu window is still open";
}

TEST_F(ItemExecutionTest, LosingTheActivationClosesEverythingGainingItNothing) {
    EXPECT_TRUE(triggerHooked());
    openSub(3);
    ASSERT_EQ(topLevel, 1);
    ASSERT_TRUE(headless::sendActivateApp(1)); // gaining
    EXPECT_EQ(topLevel, 1);
    EXPECT_TRUE(root().isOpen());
    ASSERT_TRUE(headless::sendActivateApp(0x12340000u)); // low word 0: losing
    // Every menu closed and the trigger back on top.
    EXPECT_FALSE(root().isOpen() || menuLevel(1).isOpen());
    EXPECT_EQ(topLevel, -1);
    EXPECT_FALSE(triggerWindow.menuShown);
    EXPECT_TRUE(headless::record(*triggerWindow.window()).topmost);
    EXPECT_EQ(loWord(0x0001FFFFu), -1);
    EXPECT_EQ(loWord(0xFFFF0000u), 0);
}

} // namespace
} // namespace zv
