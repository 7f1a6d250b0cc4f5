#include "test_support.h"
#include "trigger/focus_watcher.h"

namespace zv {
namespace {

using Call = headless::ShellCall;

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
    std::vector<Call>& calls() { return headless::desktop().shellCalls; }
};

TEST_F(ItemExecutionTest, AFileTheShellRefusesClosesTheMenusAndSaysWhy) {
    headless::desktop().executeFailure = "The file was not found.";
    enterOn(0);
    EXPECT_FALSE(root().isOpen());
    ASSERT_EQ(test::messages().size(), 1u);
    const headless::ShownMessage& shown = test::messages()[0];
    EXPECT_EQ(shown.title, "Zelvora");
    EXPECT_NE(shown.text.find("C:\\docs\\letter.txt"), std::string::npos);
    EXPECT_NE(shown.text.find("The file was not found."), std::string::npos);
}

TEST_F(ItemExecutionTest, RowsWithoutAnActionDoNothingSpecialsRunTheSystemDialogs) {
    for (int row : {4, 5, 9, 10}) {
        enterOn(row);
        EXPECT_TRUE(root().isOpen()) << row;
    }
    root().hoverRow = static_cast<std::int16_t>(root().lastRow + 1);
    root().executeEntry();
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(root().isOpen());

    // The system dialogs keep the menus open.
    void* owner = root().window()->handle();
    enterOn(7);
    enterOn(8);
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[0], (Call{Call::Kind::ShutdownDialog, owner, ""}));
    EXPECT_EQ(calls()[1], (Call{Call::Kind::RunDialog, owner, ""}));
    EXPECT_TRUE(root().isOpen());
    EXPECT_EQ(topLevel, 0);
}

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
