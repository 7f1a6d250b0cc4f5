// Using the menus under Wine: the hover timer, the keys, starting files through the shell or
// saying the file is gone, the built-in commands (Run and Shut down leave the menus open), and
// every menu closing when the user turns to another program.
#include "launcher_fixture.h"

#include <algorithm>
#include <cctype>

namespace zv::e2e {
namespace {

// Root rows, 20 pixels each: 0 Notepad, 1 Tools (submenu 1), 2 Windows folder, 3 Run,
// 4 Shut down, 5 Quit, 6 Gone (its file is missing), 7 No program (no target, as a new
// submenu's placeholder).
const std::string menuFile = " 1 \r\n"
                             "Notepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n"
                             "Tools, 1 , 0 , 1 ,-1 \r\n"
                             "Windows folder, 0 , 0 ,C:\\windows,-1 \r\n"
                             "Run, 3 , 0 , 2 ,-1 \r\n"
                             "Shut down, 3 , 0 , 1 ,-1 \r\n"
                             "Quit, 3 , 0 , 0 ,-1 \r\n"
                             "Gone, 0 , 0 ,C:\\nowhere\\gone.exe,-1 \r\n"
                             "No program, 0 , 0 ,,-1\r\n"
                             "Alpha, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n"
                             "Beta, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n";

constexpr Rect rootRect{77, 566, 279, 728};

class NavigationTest : public LauncherTest {
  protected:
    // A left click takes the row under the pointer, whatever is highlighted (the root opens
    // first if no menu shows).
    void clickRow(int row) {
        ASSERT_EQ(root(), rootRect);
        screen().click(rowX(rootRect), rowY(rootRect, row));
    }
    ::testing::AssertionResult everythingClosed() {
        return waitUntil(
            [&] {
                auto t = trigger();
                return menus().empty() && t && t->topmost && t->rect == triggerAtStart;
            },
            10s, "every menu to close and the trigger to float on top, unmoved");
    }
};

TEST_F(NavigationTest, KeysRestingClicksOnTheDesktopAndOnEntriesAndTheBuiltInCommands) {
    start(menuFile);
    ASSERT_EQ(root(), rootRect);
    // The root's first opening highlights row 0; Down twice lands on row 2.
    const int x = rowX(rootRect);
    EXPECT_TRUE(pixelBecomes(x, rootRect.top + 2, highlightFill));
    screen().key("Down");
    screen().key("Down");
    EXPECT_TRUE(pixelBecomes(x, rootRect.top + 42, highlightFill));
    EXPECT_TRUE(pixelBecomes(x, rootRect.top + 2, menuBackground));
    // First letter: Q goes to Quit (row 5); Up from there to row 4.
    screen().key("q");
    EXPECT_TRUE(pixelBecomes(x, rootRect.top + 102, highlightFill));
    screen().key("Up");
    EXPECT_TRUE(pixelBecomes(x, rootRect.top + 82, highlightFill));

    // Resting on Tools opens its submenu beside the row: 100 twips over the root's right edge,
    // 50 twips below the row's top.
    ASSERT_TRUE(hoverRow(rootRect, 1));
    ASSERT_TRUE(menusShown(2));
    const Rect sub = menus().front().rect; // the newest level is on top
    EXPECT_EQ(sub, (Rect{273, rootRect.top + 23, 475, rootRect.top + 65}));
    // A new submenu starts with row 0 highlighted and takes the keys once it is painted.
    EXPECT_TRUE(pixelBecomes(rowX(sub), sub.top + 1, highlightFrame));
    ASSERT_TRUE(idle());
    screen().key("Down");
    EXPECT_TRUE(pixelBecomes(rowX(sub), sub.top + 22, highlightFill));
    EXPECT_TRUE(pixelBecomes(rowX(sub), sub.top + 2, menuBackground));
    // (Resting on a plain row closing the submenu: leaks_test.)
    screen().click(700, 200);
    EXPECT_TRUE(everythingClosed());

    ASSERT_NO_FATAL_FAILURE(clickRow(2));
    EXPECT_TRUE(everythingClosed());
    EXPECT_TRUE(waitUntil(
        [&] {
            for (auto w : windows().windows)
                if (w.visible && w.exe != "zelvora.exe" &&
                    std::ranges::search(w.title, std::string_view("windows"), {},
                                        [](unsigned char c) { return std::tolower(c); }))
                    return true;
            return false;
        },
        30s, "a shell window on C:\\windows"))
        << describe(windows().windows);

    // An entry without a target closes the menus and says nothing: the one message that then
    // comes is the missing file's, and none is left after it.
    ASSERT_NO_FATAL_FAILURE(clickRow(7));
    EXPECT_TRUE(everythingClosed());
    ASSERT_NO_FATAL_FAILURE(clickRow(6));
    EXPECT_TRUE(everythingClosed());
    answer("Zelvora could not open C:\\nowhere\\gone.exe\n\nThe file was not found.", "OK");
    EXPECT_TRUE(waitUntil([&] { return visible("#32770").empty(); }, 10s, "no message left"))
        << describe(programWindows());

    ASSERT_NO_FATAL_FAILURE(clickRow(3));
    auto run = shown([&](const Window& w) { return w.isDialog(); }, 15s, "the Run dialog");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->title, "");
    EXPECT_TRUE(run->control("Edit", "") || run->control("ComboBox", "")) << describe(*run);
    EXPECT_EQ(menus().size(), 1u);
    screen().key("Escape");
    ASSERT_TRUE(waitUntil([&] { return visible("#32770").empty(); }, 10s, "the dialog to close"));

    // The menu takes clicks again once the dialog's end has been handled.
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(idle());
    ASSERT_NO_FATAL_FAILURE(clickRow(4));
    auto shutdown = windowTitled("Shutdown", 15s);
    ASSERT_TRUE(shutdown) << describe(windows().windows);
    clickButton(*shutdown, "&No");
    EXPECT_TRUE(closed("Shutdown"));
    EXPECT_TRUE(program_->running());

    ASSERT_TRUE(idle());
    ASSERT_NO_FATAL_FAILURE(clickRow(5));
    EXPECT_TRUE(program_->waitForExit(10s));
}

} // namespace
} // namespace zv::e2e
