// Batch add under Wine: the folder browser answered with a drive mapped to a prepared tree of
// programs and shortcuts, the quick add dialog offering each file, and the accepted entries
// showing in their menus and in the saved file.
#include "launcher_fixture.h"

namespace zv::e2e {
namespace {

class BatchAddTest : public LauncherTest {};

TEST_F(BatchAddTest, FilesFromAChosenDriveBecomeEntries) {
    // The tree the search walks: the session's drive Y:, filled afresh.
    const fs::path tree = session().scratchDrive();
    for (const auto& entry : fs::directory_iterator(tree))
        fs::remove_all(entry.path());
    fs::create_directories(tree / "sub");
    fs::copy_file(programExe(), tree / "Viewer.exe");
    fs::copy_file(programExe(), tree / "sub" / "Deeper.exe");
    session().makeShortcut(windowsPath(tree / "Notes.lnk"), "C:\\windows\\notepad.exe");

    start(" 1 \r\nAlpha, 0 , 0 ,C:\\a.exe, 0 \r\nTools, 1 , 0 , 1 , 0 \r\n"
          "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n",
          "#,Programs\r\nApp,app.ico\r\n");
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 0, BatchAdd));
    ASSERT_NO_FATAL_FAILURE(chooseScratchDrive());

    std::optional<Window> offer;
    const Control* category = nullptr;
    // Waits until the dialog offers this file (its category box chosen as given) and may be
    // answered.
    auto offered = [&](const std::string& name, const std::string& menu) {
        return waitUntil(
            [&] {
                offer = windowTitled("Zelvora QuickAdd 0.9", 1s);
                category = nullptr;
                if (!offer || !offer->control("Edit", name) ||
                    !offer->control("Button", "Yes")->enabled)
                    return false;
                category = offer->nthControl("ComboBox", 0);
                return category && category->selectionText == menu;
            },
            20s, "the dialog to offer " + name + " for " + menu);
    };
    // The drive root already ends with a backslash; the joined path has two.
    ASSERT_TRUE(offered("Viewer", "(top-level)")) << describe(programWindows());
    const Control* path = offer->control("Static", "Y:\\\\Viewer.exe");
    ASSERT_NE(path, nullptr) << describe(*offer);
    // An "&" in a path is shown, not taken for an access key (SS_NOPREFIX).
    EXPECT_TRUE(path->style & 0x80);
    EXPECT_EQ(session().accessible(offer->hwnd).self.role, 18); // ROLE_SYSTEM_DIALOG
    EXPECT_EQ(fieldNames(*offer),
              (std::vector<std::string>{"Edit=Name:", "ComboBox=Add to menu:"}));
    EXPECT_EQ(category->count, 2); // "(top-level)" and Tools
    // The file's own icon (the program's mark: blue with a white letter) is in the icon box.
    const Control* icon = offer->nthControl("ZelvoraPicture", 0);
    ASSERT_TRUE(icon) << describe(*offer);
    EXPECT_TRUE(waitUntil(
        [&] {
            const auto px = screen().capture(icon->rect).pixels;
            auto count = [&](auto match) { return std::ranges::count_if(px, match); };
            return count([](Color c) { return c.b > 150 && c.r < 120; }) > 100 &&
                   count([](Color c) { return c.r > 230 && c.g > 230 && c.b > 230; }) > 20;
        },
        10s, "the file's icon in the dialog"));
    clickButton(*offer, "Yes");
    ASSERT_TRUE(offered("Notes", "(top-level)"));
    clickButton(*offer, "No");
    ASSERT_TRUE(offered("Deeper", "(top-level)"));
    screen().click(category->rect.centerX(), category->rect.centerY());
    screen().key("Down");
    screen().key("Return");
    ASSERT_TRUE(offered("Deeper", "Tools"));
    clickButton(*offer, "Yes");
    for (const char* text :
         {"Search accomplished.", "Please Save the changes and restart Zelvora."})
        ASSERT_NO_FATAL_FAILURE(answer(text, "OK"));
    EXPECT_TRUE(closed("Zelvora QuickAdd 0.9"));

    // The accepted files show in their menus: reopen the root, then open Tools.
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    EXPECT_EQ(root().height(), 3 * 20 + 2);
    ASSERT_TRUE(hoverRow(menuLevel(0), 1));
    EXPECT_TRUE(menuRows(1, 2));

    // Quitting asks to save the accepted files; Yes writes them.
    screen().click(25, 704, MouseButton::Right);
    for (const char* text : {"Are you sure you want to quit?", "Do you wish to save the changes?"})
        ASSERT_NO_FATAL_FAILURE(answer(text, "&Yes"));
    EXPECT_TRUE(program_->waitForExit(10s));
    EXPECT_EQ(folder().read("menu.qlf"), " 1 \r\n"
                                         "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"
                                         "Tools, 1 , 0 ,1, 0 \r\n"
                                         "Deeper, 0 , 1 ,Y:\\\\sub\\Deeper.exe,-1\r\n"
                                         "Viewer, 0 , 0 ,Y:\\\\Viewer.exe,-1\r\n"
                                         "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n");
}

} // namespace
} // namespace zv::e2e
