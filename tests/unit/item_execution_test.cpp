#include "core/app_state.h"
#include "core/item_store.h"
#include "menus/menu_window.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "test_support.h"
#include "trigger/focus_watcher.h"
#include "trigger/trigger_window.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using Call = headless::ShellCall;

// Rows: 0 doc, 1 folder, 2 empty target, 3 sub, 4 header, 5 separator, 6 quit, 7 shut down
// (the text " 1 " as read from the file), 8 run, 9 unknown special, 10 special with no number.
const std::string executionMenu = " 1 \r\n"
                                  "Doc, 0 , 0 ,C:\\docs\\letter.txt,-1 \r\n"
                                  "Folder, 0 , 0 ,C:\\docs,-1 \r\n"
                                  "Empty, 0 , 0 ,,-1 \r\n"
                                  "Sub, 1 , 0 , 1 ,-1 \r\n"
                                  "Head, 2 , 0 ,,-1 \r\n"
                                  "Separator, 4 , 0 ,,-1 \r\n"
                                  "Quit, 3 , 0 , 0 ,-1 \r\n"
                                  "Shut down, 3 , 0 ,\" 1 \",-1 \r\n"
                                  "Run, 3 , 0 , 2 ,-1 \r\n"
                                  "Odd, 3 , 0 , 7 ,-1 \r\n"
                                  "Text, 3 , 0 ,abc,-1 \r\n"
                                  "Inside, 0 , 1 ,x,-1 \r\n";

class ItemExecutionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::startProgram(folder, executionMenu);
        openRoot();
    }
    void openRoot() {
        triggerWindow.mouseDown(platform::buttonLeft, 0, 5, 5);
        triggerWindow.mouseUp(platform::buttonLeft, 0, 5, 5);
    }
    MenuWindow& root() { return menuLevel(0); }
    void enterOn(int row) {
        root().hoverRow = static_cast<std::int16_t>(row);
        root().keyDown(13, 0);
    }
    std::vector<Call>& calls() { return headless::desktop().shellCalls; }
    bool triggerTopmost() { return headless::record(*triggerWindow.window()).topmost; }
    test::TempFolder folder;
};

TEST_F(ItemExecutionTest, FilesGoToTheShellAndCloseEveryMenu) {
    void* owner = root().window()->handle();
    enterOn(0);
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0], (Call{Call::Kind::Execute, owner, "C:\\docs\\letter.txt"}));
    EXPECT_FALSE(root().isOpen());
    EXPECT_EQ(topLevel, -1);
    EXPECT_FALSE(triggerWindow.menuShown);
    EXPECT_TRUE(triggerTopmost());

    // A folder the same way; an empty target goes to the shell as it is, without a message.
    openRoot();
    enterOn(1);
    EXPECT_EQ(calls().back().file, "C:\\docs");
    openRoot();
    enterOn(2);
    EXPECT_EQ(calls().back().file, "");
    EXPECT_TRUE(headless::state().messages.empty());
    EXPECT_FALSE(root().isOpen());
}

TEST_F(ItemExecutionTest, AFileTheShellRefusesClosesTheMenusAndSaysWhy) {
    headless::desktop().executeFailure = "The file was not found.";
    enterOn(0);
    EXPECT_FALSE(root().isOpen());
    ASSERT_EQ(headless::state().messages.size(), 1u);
    const headless::ShownMessage& shown = headless::state().messages[0];
    EXPECT_EQ(shown.title, "Zelvora");
    EXPECT_NE(shown.text.find("C:\\docs\\letter.txt"), std::string::npos);
    EXPECT_NE(shown.text.find("The file was not found."), std::string::npos);
}

TEST_F(ItemExecutionTest, RowsWithoutAnActionDoNothing) {
    for (int row : {4, 5, 9, 10}) {
        enterOn(row);
        EXPECT_TRUE(root().isOpen()) << row;
    }
    root().hoverRow = static_cast<std::int16_t>(root().lastRow + 1);
    root().executeEntry();
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(root().isOpen());
}

TEST_F(ItemExecutionTest, SpecialsRunTheSystemDialogsAndKeepTheMenusOpen) {
    void* owner = root().window()->handle();
    enterOn(7);
    enterOn(8);
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[0], (Call{Call::Kind::ShutdownDialog, owner, ""}));
    EXPECT_EQ(calls()[1], (Call{Call::Kind::RunDialog, owner, ""}));
    EXPECT_TRUE(root().isOpen());
    EXPECT_EQ(topLevel, 0);

    enterOn(3);
    EXPECT_EQ(topLevel, 1);

    bool ended = false;
    try {
        enterOn(6);
    } catch (const headless::ProcessEnded&) {
        ended = true;
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(headless::state().messages.empty()); // nothing changed: no save question
}

TEST_F(ItemExecutionTest, LosingTheActivationClosesEverythingGainingItNothing) {
    EXPECT_TRUE(triggerHooked());
    root().hoverRow = 3;
    root().timerTick();
    ASSERT_EQ(topLevel, 1);
    ASSERT_TRUE(headless::sendActivateApp(1)); // gaining
    EXPECT_EQ(topLevel, 1);
    EXPECT_TRUE(root().isOpen());
    ASSERT_TRUE(headless::sendActivateApp(0x12340000u)); // low word 0: losing
    EXPECT_EQ(topLevel, -1);
    EXPECT_FALSE(root().isOpen());
    EXPECT_FALSE(menuLevel(1).isOpen());
    EXPECT_TRUE(triggerTopmost());
    EXPECT_EQ(loWord(0x0001FFFFu), -1);
    EXPECT_EQ(loWord(0xFFFF0000u), 0);
}

TEST_F(ItemExecutionTest, QuitDetachesTheWatcherAndUnloadsTheWindows) {
    root().hoverRow = 3;
    root().timerTick();
    try {
        enterOn(6);
    } catch (const headless::ProcessEnded&) {
    }
    EXPECT_FALSE(triggerHooked());
    EXPECT_FALSE(triggerWindow.loaded());
    EXPECT_EQ(topLevel, -1);
    // Menu windows stay made, hidden, until the process ends.
    for (auto* w : headless::windows())
        EXPECT_FALSE(w->style == platform::WindowStyle::Menu && w->visible)
            << "a menu window is still open";
}

} // namespace
} // namespace zv
