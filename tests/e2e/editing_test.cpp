// Editing the menus where they are shown, under Wine: the pop-up menu of edit commands, the
// "Edit" dialog, Save writing the file, and the save question on quit.
#include "launcher_fixture.h"

namespace zv::e2e {
namespace {

// Root rows, 20 pixels each: 0 Alpha, 1 Beta, 2 Tools (submenu 1), 3 Gamma.
const std::string menuFile = " 1 \r\n"
                             "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"
                             "Beta, 0 , 0 ,C:\\b.exe, 0 \r\n"
                             "Tools, 1 , 0 , 1 , 0 \r\n"
                             "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n"
                             "Gamma, 0 , 0 ,C:\\g.exe, 0 \r\n";
const std::string catalogue = "#,Programs\r\nApp,app.ico\r\n";

// Entries of the full pop-up menu counted as Down presses from nothing (separators skipped).
enum PopupEntry {
    Disable = 1,
    Modify,
    Insert,
    Delete,
    Cut,
    Copy,
    Paste,
    MoveUp,
    MoveDown,
    BatchAdd,
    Save,
    Quit,
};

class EditingTest : public LauncherTest {
  protected:
    void openRoot() {
        start(menuFile, catalogue);
        clickTrigger();
        ASSERT_TRUE(menusShown(1));
    }
    std::optional<Window> dialogTitled(const std::string& title) {
        return windowTitled(title, 15s);
    }
    // The edit field at the given place among the dialog's edit fields (0 name, 1 target).
    const Control* editField(const Window& dialog, int index) {
        int seen = 0;
        for (const auto& c : dialog.controls)
            if (c.className == "Edit" && seen++ == index)
                return &c;
        return nullptr;
    }
    ::testing::AssertionResult fileBecomes(const std::string& expected) {
        std::string seen;
        auto r = waitUntil(
            [&] {
                seen = folder().read("menu.qlf");
                return seen == expected;
            },
            10s, "menu.qlf to be written");
        if (!r)
            r << "\nfile holds:\n" << seen;
        return r;
    }
};

TEST_F(EditingTest, EditModeInsertsAFileEntryThroughTheEditDialogAndSaves) {
    openRoot();
    // Edit mode off: the short menu's first entry is "&Enable Edit mode" ('e' chooses it).
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 2, Insert));
    auto dialog = dialogTitled("Edit");
    ASSERT_TRUE(dialog);
    // Controls where the layout puts them, relative to OK (twips / 15 pixels).
    const Control* ok = dialog->control("Button", "OK");
    const Control* cancel = dialog->control("Button", "Cancel");
    const Control* chooseFile = dialog->control("Button", "Choose file...");
    ASSERT_TRUE(ok && cancel && chooseFile) << describe(*dialog);
    EXPECT_NEAR(cancel->rect.left - ok->rect.left, (4752 - 3672) / 15, 1);
    EXPECT_EQ(cancel->rect.top, ok->rect.top);
    EXPECT_NEAR(ok->rect.width(), 984 / 15, 1);
    // "Choose file..." sits in the Type frame inside the Basic frame: 108 + 108 + 2160 twips.
    EXPECT_NEAR(chooseFile->rect.left - ok->rect.left, (108 + 108 + 2160 - 3672) / 15, 1);
    EXPECT_NEAR(chooseFile->rect.top - ok->rect.top, (108 + 1080 + 648 - 6372) / 15, 1);
    const Control* name = editField(*dialog, 0);
    const Control* target = editField(*dialog, 1);
    ASSERT_TRUE(name && target);
    EXPECT_NEAR(name->rect.left - ok->rect.left, (108 + 540 - 3672) / 15, 1);

    ASSERT_NO_FATAL_FAILURE(typeInto(*name, "Added"));
    ASSERT_NO_FATAL_FAILURE(typeInto(*target, "C:\\added.exe"));
    screen().key("Return"); // OK is the default button
    ASSERT_TRUE(waitUntil([&] { return !windowTitled("Edit", 0ms); }, 10s, "the dialog to close"));
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(menuRows(0, 5)); // one row more

    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    EXPECT_TRUE(fileBecomes(" 1 \r\n"
                            "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"
                            "Beta, 0 , 0 ,C:\\b.exe, 0 \r\n"
                            "Added, 0 , 0 ,C:\\added.exe, 0 \r\n"
                            "Tools, 1 , 0 ,1, 0 \r\n"
                            "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n"
                            "Gamma, 0 , 0 ,C:\\g.exe, 0 \r\n"));
}

TEST_F(EditingTest, MoveCutPasteIntoASubmenuDeleteAndSave) {
    openRoot();
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 1, MoveUp)); // Beta above Alpha
    ASSERT_NO_FATAL_FAILURE(command(0, 3, Cut));    // Gamma out
    ASSERT_TRUE(menuRows(0, 3));
    // Open Tools (resting on it opens it) and paste Gamma above its only row.
    ASSERT_TRUE(hoverRow(0, 2));
    ASSERT_TRUE(menusShown(2));
    ASSERT_NO_FATAL_FAILURE(command(1, 0, Paste));
    ASSERT_TRUE(menusShown(2));
    ASSERT_TRUE(menuRows(1, 2));
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Modify));
    auto dialog = dialogTitled("Edit");
    ASSERT_TRUE(dialog);
    const Control* name = editField(*dialog, 0);
    ASSERT_TRUE(name);
    ASSERT_TRUE(fieldHolds(*name, "Beta"));
    ASSERT_NO_FATAL_FAILURE(focusField(*name));
    screen().key("End");
    screen().typeText("2");
    ASSERT_TRUE(fieldHolds(*name, "Beta2"));
    screen().key("Return");
    ASSERT_TRUE(waitUntil([&] { return !windowTitled("Edit", 0ms); }, 10s, "the dialog to close"));
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    EXPECT_TRUE(fileBecomes(" 1 \r\n"
                            "Beta2, 0 , 0 ,C:\\b.exe, 0 \r\n"
                            "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"
                            "Tools, 1 , 0 ,1, 0 \r\n"
                            "Gamma, 0 , 1 ,C:\\g.exe, 0 \r\n"
                            "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n"));
    // Deleting the submenu entry takes its entries along.
    ASSERT_NO_FATAL_FAILURE(command(0, 2, Delete));
    ASSERT_TRUE(menuRows(0, 2));
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    EXPECT_TRUE(fileBecomes(" 1 \r\n"
                            "Beta2, 0 , 0 ,C:\\b.exe, 0 \r\n"
                            "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"));
}

TEST_F(EditingTest, QuitAfterAChangeAsksAndNoLeavesTheFile) {
    openRoot();
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Cut));
    ASSERT_TRUE(menuRows(0, 3));
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Quit));
    auto box = messageBox("Do you wish to save the changes?", 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Zelvora");
    clickButton(*box, "&No");
    EXPECT_TRUE(program_->waitForExit(10s));
    EXPECT_EQ(folder().read("menu.qlf"), menuFile);
}

TEST_F(EditingTest, LogOffAfterAChangeAsksAndYesSaves) {
    openRoot();
    enableEditMode();
    command(0, 0, Cut);
    ASSERT_TRUE(idle());
    const auto shown = trigger();
    ASSERT_TRUE(shown);
    session().queryEndSession(shown->hwnd);
    auto box = messageBox("Do you wish to save the changes?", 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Zelvora");
    clickButton(*box, "&Yes");
    EXPECT_TRUE(fileBecomes(" 1 \r\n"
                            "Beta, 0 , 0 ,C:\\b.exe, 0 \r\n"
                            "Tools, 1 , 0 ,1, 0 \r\n"
                            "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n"
                            "Gamma, 0 , 0 ,C:\\g.exe, 0 \r\n"));
}

TEST_F(EditingTest, TheFileAndFolderChoosersOpenAndCancel) {
    openRoot();
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Modify));
    auto dialog = dialogTitled("Edit");
    ASSERT_TRUE(dialog);
    const Control* chooseFile = dialog->control("Button", "Choose file...");
    const Control* chooseFolder = dialog->control("Button", "Choose folder...");
    ASSERT_TRUE(chooseFile && chooseFolder);

    screen().click(chooseFile->rect.centerX(), chooseFile->rect.centerY());
    auto open = dialogTitled("Open");
    ASSERT_TRUE(open) << describe(programWindows());
    ASSERT_TRUE(activated(*open)); // Escape must reach the file dialog, not the editor
    screen().key("Escape");
    ASSERT_TRUE(
        waitUntil([&] { return !windowTitled("Open", 0ms); }, 10s, "the file dialog to close"));
    ASSERT_TRUE(activated(*dialog));
    auto again = dialogTitled("Edit");
    ASSERT_TRUE(again);
    EXPECT_EQ(editField(*again, 1)->text, "C:\\a.exe"); // a cancel changes nothing

    screen().click(chooseFolder->rect.centerX(), chooseFolder->rect.centerY());
    std::optional<Window> browser;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const auto& w : programWindows())
                if (w.visible && w.isDialog() && w.control("Static", "Select the target folder"))
                    browser = w;
            return browser.has_value();
        },
        15s, "the folder browser with its title"));
    ASSERT_TRUE(activated(*browser));
    screen().key("Escape");
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const auto& w : programWindows())
                if (w.hwnd == browser->hwnd && w.visible)
                    return false;
            return true;
        },
        10s, "the folder browser to close"));
    ASSERT_TRUE(waitUntil(
        [&] {
            auto edit = dialogTitled("Edit");
            return edit && editField(*edit, 1) && editField(*edit, 1)->text.empty();
        },
        10s, "the cancelled browser to empty the target"));
    const Control* cancel = dialogTitled("Edit")->control("Button", "Cancel");
    ASSERT_TRUE(cancel);
    screen().click(cancel->rect.centerX(), cancel->rect.centerY());
    EXPECT_TRUE(waitUntil([&] { return !windowTitled("Edit", 0ms); }, 10s, "the editor to close"));
    EXPECT_EQ(folder().read("menu.qlf"), menuFile);
}

} // namespace
} // namespace zv::e2e
