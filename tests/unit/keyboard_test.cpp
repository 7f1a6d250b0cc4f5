#include "app/startup.h"
#include "editing/edit_menu.h"
#include "platform/keys.h"
#include "test_support.h"

namespace zv {
namespace {

using platform::keyApplications, platform::keyDownArrow, platform::keyEnter, platform::keyF10,
    platform::keySpace, platform::shiftHeld;

// Another program's windows, by handles the simulator only compares.
int notepad, desktopWindow;

class KeyboardTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        // Rows: 0 a header, 1 A, 2 B, 3 C.
        start(" 0 \r\nHead, 2 , 0 ,,-1 \r\nA, 0 , 0 ,a,-1 \r\nB, 0 , 0 ,b,-1 \r\n"
              "C, 0 , 0 ,c,-1 \r\n");
        headless::desktop().otherWindows = {&notepad, &desktopWindow};
    }
    headless::WindowRecord* rootRecord() { return &headless::record(*root().window()); }
    bool rootFocused() { return root().isOpen() && headless::focusedWindow() == rootRecord(); }
};

TEST_F(KeyboardTest, EnterSpaceDownOrASecondStartOpenTheRootAtItsFirstEntry) {
    // The launcher started again from its folder (a shortcut key's usual way in) opens the root
    // ready for the arrows.
    root().hoverRow = 3;
    headless::userActivatesOther(&notepad);
    EXPECT_TRUE(test::endsProcess(startUp));
    EXPECT_TRUE(rootFocused());
    EXPECT_EQ(root().hoverRow, 1);
    clickTrigger();
    EXPECT_EQ(headless::desktop().otherForeground, &notepad);

    for (const int key : {keyEnter, keySpace, keyDownArrow}) {
        root().hoverRow = 3; // where an earlier opening left it
        triggerWindow.window()->focus();
        triggerWindow.keyDown(key, 0);
        ASSERT_TRUE(rootFocused()) << key;
        EXPECT_TRUE(triggerWindow.menuShown);
        // The header takes no highlight: the first entry below it has it, on the screen too.
        EXPECT_EQ(root().hoverRow, 1) << key;
        const Picture shown = headless::record(*root().window()).presented;
        EXPECT_NE(shown.at(28 + 100, 30), menuBackground) << key;
        EXPECT_EQ(shown.at(28 + 100, 50), menuBackground) << key;
        // Keys reach the trigger only while it has the focus, so an open root stays open.
        triggerWindow.keyDown(key, 0);
        EXPECT_TRUE(root().isOpen());
        clickTrigger();
    }
    // Other keys leave the menus closed.
    triggerWindow.window()->focus();
    for (const int key : {int{'A'}, 38, 39, keyApplications})
        triggerWindow.keyDown(key, 0);
    EXPECT_FALSE(root().isOpen());

    // A menu of headers only has no entry to highlight.
    clickTrigger();
    command(root(), 1, 0); // Enable Edit mode
    for (int row : {3, 2, 1}) {
        root().hoverRow = static_cast<std::int16_t>(row);
        headless::dialogs().popupAnswers.push_back(4); // Delete
        root().keyDown(keyApplications, 0);
    }
    ASSERT_EQ(root().lastRow, 0);
    clickTrigger();
    triggerWindow.keyDown(keyEnter, 0);
    EXPECT_TRUE(root().isOpen());
    EXPECT_FALSE(root().hasRow());
}

// Shift+F10 and the Applications key show the right click's edit menu below the highlighted
// row, and its command acts on that row.
TEST_F(KeyboardTest, ShiftF10AndTheApplicationsKeyShowTheEditMenuAtTheRow) {
    editMenu.editMode = true;
    clickTrigger();
    Rect window = rootRecord()->pixels;
    constexpr int strip = 28;
    auto& popups = headless::dialogs().popups;

    root().hoverRow = 2;
    headless::dialogs().popupAnswers.push_back(4); // Delete
    root().keyDown(keyF10, shiftHeld);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups.back().owner, root().window()->handle());
    EXPECT_EQ(popups.back().at, (Point{window.left + strip, window.top + 60}));
    EXPECT_EQ(test::rowNames(root()), (test::Names{"Head", "A", "C"}));

    root().hoverRow = 1;
    window = rootRecord()->pixels; // one row shorter
    root().keyDown(keyApplications, 0);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups.back().at, (Point{window.left + strip, window.top + 40}));

    // F10 alone is the system's: no menu, and no search for the "y" its code stands for.
    root().hoverRow = 1;
    root().keyDown(keyF10, 0);
    EXPECT_EQ(popups.size(), 2u);
    EXPECT_EQ(root().hoverRow, 1);
    // A right click still shows it at the pointer.
    command(root(), 1, -1);
    EXPECT_FALSE(popups.back().at);
}

// Menus closed without starting anything hand the foreground back to the window the user was
// in; a click elsewhere or a started entry decides for itself.
TEST_F(KeyboardTest, ClosingWithoutStartingAnythingGivesTheForegroundBack) {
    auto& desktop = headless::desktop();
    headless::userActivatesOther(&notepad);
    clickTrigger();
    ASSERT_TRUE(rootFocused());
    clickTrigger();
    EXPECT_EQ(desktop.otherForeground, &notepad);
    EXPECT_EQ(headless::focusedWindow(), nullptr);

    // Opened from the trigger's keys and closed with Escape: the trigger has the focus again.
    triggerWindow.window()->focus();
    triggerWindow.keyDown(keyEnter, 0);
    ASSERT_TRUE(rootFocused());
    root().keyDown(27, 0);
    EXPECT_FALSE(root().isOpen());
    EXPECT_EQ(headless::focusedWindow(), &headless::record(*triggerWindow.window()));

    // A click on the desktop chose where the focus goes.
    headless::userActivatesOther(&notepad);
    clickTrigger();
    headless::userActivatesOther(&desktopWindow);
    ASSERT_TRUE(headless::sendActivateApp(0));
    EXPECT_FALSE(root().isOpen());
    EXPECT_EQ(desktop.otherForeground, &desktopWindow);

    // A started entry's program comes to the front itself.
    headless::userActivatesOther(&notepad);
    clickTrigger();
    root().hoverRow = 1;
    root().keyDown(keyEnter, 0);
    ASSERT_EQ(desktop.shellCalls.size(), 1u);
    EXPECT_FALSE(root().isOpen());
    EXPECT_EQ(desktop.otherForeground, nullptr);
}

} // namespace
} // namespace zv
