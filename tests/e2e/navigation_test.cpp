// Using the menus under Wine: the hover timer, the keys, starting files through the shell, the
// built-in commands, and every menu closing when the user turns to another program.
#include "launcher_fixture.h"

#include <algorithm>
#include <cctype>

namespace zv::e2e {
namespace {

// Root rows, 20 pixels each: 0 Notepad, 1 Tools (submenu 1), 2 Windows folder, 3 Run,
// 4 Shut down, 5 Quit. The root shows at (77, 606)-(279, 728).
const std::string menuFile = " 1 \r\n"
                             "Notepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n"
                             "Tools, 1 , 0 , 1 ,-1 \r\n"
                             "Windows folder, 0 , 0 ,C:\\windows,-1 \r\n"
                             "Run, 3 , 0 , 2 ,-1 \r\n"
                             "Shut down, 3 , 0 , 1 ,-1 \r\n"
                             "Quit, 3 , 0 , 0 ,-1 \r\n"
                             "Alpha, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n"
                             "Beta, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n";

constexpr Rect rootRect{77, 606, 279, 728};

std::string lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class NavigationTest : public LauncherTest {
  protected:
    void openRoot() {
        start(menuFile);
        clickTrigger();
        ASSERT_TRUE(menusShown(1));
        ASSERT_EQ(menus().front().rect, rootRect);
    }
    // A left click takes the row under the pointer, whatever is highlighted.
    void clickRow(int row) { screen().click(rowX(rootRect), rowY(rootRect, row)); }
    ::testing::AssertionResult everythingClosed() {
        return waitUntil(
            [&] {
                auto t = trigger();
                return menus().empty() && t && t->topmost && t->rect == triggerAtStart;
            },
            10s, "every menu to close and the trigger to float on top, unmoved");
    }
    std::vector<Window> othersVisible(const std::string& exe) { return windows().visibleOf(exe); }
};

TEST_F(NavigationTest, RestingOpensASubmenuWhereTheKeysThenWorkAndRestingElsewhereClosesIt) {
    openRoot();
    ASSERT_TRUE(hoverRow(rootRect, 1));
    ASSERT_TRUE(menusShown(2));
    Window sub = menus().front(); // the newest level is on top
    // Beside the Tools row: 100 twips over the root's right edge, 50 twips below the row top.
    EXPECT_EQ(sub.rect, (Rect{273, 629, 475, 671}));
    // A new submenu starts with row 0 highlighted; Down moves the highlight to row 1.
    EXPECT_TRUE(pixelBecomes(rowX(sub.rect), sub.rect.top + 1, highlightFrame));
    // The submenu takes the keyboard focus after it is painted.
    ASSERT_TRUE(idle());
    screen().key("Down");
    EXPECT_TRUE(pixelBecomes(rowX(sub.rect), sub.rect.top + 22, highlightFill));
    EXPECT_TRUE(pixelBecomes(rowX(sub.rect), sub.rect.top + 2, menuBackground));
    // Resting on a plain row of the root closes the submenu.
    ASSERT_TRUE(hoverRow(rootRect, 0));
    EXPECT_TRUE(menusShown(1));
}

TEST_F(NavigationTest, KeysMoveTheHighlightInTheRoot) {
    openRoot();
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
}

TEST_F(NavigationTest, AFileEntryStartsNotepadAndClosesEverything) {
    openRoot();
    clickRow(0);
    EXPECT_TRUE(
        waitUntil([&] { return !othersVisible("notepad.exe").empty(); }, 30s, "a Notepad window"));
    EXPECT_TRUE(everythingClosed());
}

TEST_F(NavigationTest, AnEntryWhoseFileIsGoneSaysSo) {
    start(" 0 \r\nGone, 0 , 0 ,C:\\nowhere\\gone.exe,-1 \r\n");
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    const Rect menu = menus().front().rect;
    screen().click(menu.left + 100, menu.top + 10);
    auto box =
        messageBox("Zelvora could not open C:\\nowhere\\gone.exe\n\nThe file was not found.", 15s);
    ASSERT_TRUE(box) << describe(programWindows());
    EXPECT_EQ(box->title, "Zelvora");
    EXPECT_TRUE(everythingClosed());
}

TEST_F(NavigationTest, AFolderEntryOpensTheFolderInTheShell) {
    openRoot();
    const auto before = windows().windows.size();
    clickRow(2);
    EXPECT_TRUE(everythingClosed());
    EXPECT_TRUE(waitUntil(
        [&] {
            for (const auto& w : windows().windows)
                if (w.visible && w.exe != "zelvora.exe" &&
                    lowered(w.title).find("windows") != std::string::npos)
                    return true;
            return false;
        },
        30s, "a shell window showing C:\\windows"))
        << before << " windows before\n"
        << describe(windows().windows);
}

TEST_F(NavigationTest, RunOpensTheRunDialogWithAnEmptyTitleAndTheMenusStayOpen) {
    openRoot();
    clickRow(3);
    std::optional<Window> dialog;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const auto& w : visible("#32770"))
                dialog = w;
            return dialog.has_value();
        },
        15s, "the Run dialog"));
    EXPECT_EQ(dialog->title, "");
    EXPECT_NE(dialog->control("Edit", "") == nullptr && dialog->control("ComboBox", "") == nullptr,
              true)
        << describe(*dialog);
    EXPECT_EQ(menus().size(), 1u);
    screen().key("Escape");
    EXPECT_TRUE(waitUntil([&] { return visible("#32770").empty(); }, 10s, "the dialog to close"));
}

TEST_F(NavigationTest, ShutDownOpensTheSystemDialog) {
    openRoot();
    clickRow(4);
    std::optional<Window> dialog;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const auto& w : windows().windows)
                if (w.visible && w.title == "Shutdown")
                    dialog = w;
            return dialog.has_value();
        },
        15s, "the shut-down dialog"));
    clickButton(*dialog, "&No");
    EXPECT_TRUE(waitUntil(
        [&] {
            for (const auto& w : windows().windows)
                if (w.visible && w.title == "Shutdown")
                    return false;
            return true;
        },
        10s, "the shut-down dialog to close"));
    EXPECT_TRUE(program_->running());
}

TEST_F(NavigationTest, QuitEndsTheProgram) {
    openRoot();
    clickRow(5);
    EXPECT_TRUE(program_->waitForExit(10s));
}

TEST_F(NavigationTest, ClickingTheDesktopClosesEveryMenu) {
    openRoot();
    ASSERT_TRUE(hoverRow(rootRect, 1));
    ASSERT_TRUE(menusShown(2));
    screen().click(700, 200);
    EXPECT_TRUE(everythingClosed());
    EXPECT_TRUE(program_->running());
}

} // namespace
} // namespace zv::e2e
