// The launcher from the keyboard: the trigger's keys, the edit menu's keys, the foreground
// given back when the menus close without starting anything, and a second start ready for the
// arrows.
#include "launcher_fixture.h"

namespace zv::e2e {
namespace {

// A header first: the keys start on the first row that takes the highlight.
const std::string menuFile = " 0 \r\n"
                             "Programs, 2 , 0 ,,-1 \r\n"
                             "Alpha, 0 , 0 ,C:\\a.exe,-1 \r\n"
                             "Beta, 0 , 0 ,C:\\b.exe,-1 \r\n"
                             "Gamma, 0 , 0 ,C:\\c.exe,-1 \r\n";

class KeyboardTest : public LauncherTest {
  protected:
    Result highlighted(int row) {
        const Rect menu = menuLevel(0);
        return waitUntil([&] { return rowLit(menu, row); }, 10s,
                         "row " + std::to_string(row) + " highlighted");
    }
};

TEST_F(KeyboardTest, TriggerKeysOpenTheRootItsKeysEditTheRowTheForegroundReturnsAndASecondStart) {
    start(menuFile);
    const Hwnd triggerWindow = trigger()->hwnd;
    ASSERT_TRUE(hasTheFocus(triggerWindow, "the trigger"));
    for (const char* key : {"Return", "space", "Down"}) {
        screen().key(key);
        ASSERT_TRUE(menusShown(1)) << key;
        EXPECT_TRUE(highlighted(1)) << key;
        ASSERT_TRUE(hasTheFocus(menuWindow(0)->hwnd, "the root"));
        clickTrigger();
        ASSERT_TRUE(menusShown(0)) << key;
        ASSERT_TRUE(hasTheFocus(triggerWindow, "the trigger"));
    }

    // Shift+F10 shows the right click's menu for the highlighted row: Edit mode on, then
    // Delete on Beta; the Applications key then saves.
    screen().key("Return");
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(highlighted(1));
    screen().key("Down");
    ASSERT_TRUE(highlighted(2));
    const auto shiftF10 = [&] { screen().shiftKey("F10"); };
    ASSERT_NO_FATAL_FAILURE(choose(0, "e", shiftF10));
    ASSERT_NO_FATAL_FAILURE(choose(Delete, "Return", shiftF10));
    ASSERT_TRUE(menuRows(0, 3));
    ASSERT_NO_FATAL_FAILURE(choose(Save, "Return", [&] { screen().key("Menu"); }));
    EXPECT_TRUE(fileBecomes(" 0 \r\nPrograms, 2 , 0 ,,-1 \r\nAlpha, 0 , 0 ,C:\\a.exe,-1\r\n"
                            "Gamma, 0 , 0 ,C:\\c.exe,-1\r\n"));
    clickTrigger();
    ASSERT_TRUE(menusShown(0));

    // Closed without starting anything, the menus give the foreground back to the window the
    // user was in.
    ChildProcess notepadProcess = session().startWine({"C:\\windows\\notepad.exe"});
    std::optional<Window> notepad;
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto found = windows().visibleOf("notepad.exe");
            return !found.empty() && (notepad = found.front());
        },
        30s, "a Notepad window"));
    ASSERT_TRUE(activated(*notepad));
    for (const bool byEscape : {false, true}) { // closed by the trigger, then by Escape
        clickTrigger();
        ASSERT_TRUE(menusShown(1));
        ASSERT_TRUE(hasTheFocus(menuWindow(0)->hwnd, "the root"));
        byEscape ? screen().key("Escape") : clickTrigger();
        ASSERT_TRUE(menusShown(0));
        EXPECT_TRUE(activated(*notepad)) << byEscape;
    }

    // A shortcut key starts the program again: the root opens at its first entry with the
    // keyboard focus. (Keys are not sent here: under Wine the X focus may stay on another
    // window for a while after a foreground change that no input made.)
    ProgramInstance& second = launch();
    ASSERT_TRUE(second.waitForExit(30s));
    ASSERT_TRUE(menusShown(1));
    EXPECT_TRUE(highlighted(1));
    EXPECT_TRUE(hasTheFocus(menuWindow(0)->hwnd, "the root"));
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    EXPECT_TRUE(activated(*notepad));
}

} // namespace
} // namespace zv::e2e
