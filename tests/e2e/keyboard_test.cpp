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
    std::optional<Window> startNotepad() {
        notepad_.emplace(session().startWine({"C:\\windows\\notepad.exe"}));
        std::optional<Window> shown;
        waitUntil(
            [&] {
                const auto found = windows().visibleOf("notepad.exe");
                return !found.empty() && (shown = found.front());
            },
            30s, "a Notepad window");
        return shown;
    }

    std::optional<ProgramInstance> notepad_;
};

TEST_F(KeyboardTest, TriggerKeysOpenTheRootAtItsFirstEntryAndItsKeysEditTheRow) {
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
    EXPECT_TRUE(waitUntil(
        [&] {
            const std::string saved = readFile(folder().path() / "menu.qlf");
            return saved.find("Gamma") != std::string::npos &&
                   saved.find("Beta") == std::string::npos;
        },
        10s, "menu.qlf saved without Beta"));
}

// Closed without starting anything, the menus give the foreground back to the window the user
// was in; a second start opens the root ready for the arrows.
TEST_F(KeyboardTest, NotepadGetsTheForegroundBackAndASecondStartOpensTheRootFocused) {
    start(menuFile);
    const auto notepad = startNotepad();
    ASSERT_TRUE(notepad);
    ASSERT_TRUE(activated(*notepad));
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(hasTheFocus(menuWindow(0)->hwnd, "the root"));
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    EXPECT_TRUE(activated(*notepad));
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(hasTheFocus(menuWindow(0)->hwnd, "the root"));
    screen().key("Escape");
    ASSERT_TRUE(menusShown(0));
    EXPECT_TRUE(activated(*notepad));

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
