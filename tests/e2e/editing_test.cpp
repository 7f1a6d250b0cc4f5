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
        root_ = menus().front().rect;
    }
    int rowY(const Rect& menu, int row) const { return menu.top + 20 * row + 10; }
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
    void typeInto(const Control& field, const std::string& text) {
        screen().click(field.rect.centerX(), field.rect.centerY());
        screen().typeText(text);
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
    Rect root_;
};

TEST_F(EditingTest, EditModeInsertsAFileEntryThroughTheEditDialogAndSaves) {
    openRoot();
    // Edit mode off: the short menu's first entry is "&Enable Edit mode" ('e' chooses it).
    enableEditMode();
    command(0, 2, Insert);
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

    typeInto(*name, "Added");
    typeInto(*target, "C:\\added.exe");
    screen().key("Return"); // OK is the default button
    ASSERT_TRUE(waitUntil(
        [&] {
            return !dialogTitled("Edit") || menus().front().rect.height() == root_.height() + 20;
        },
        10s, "the dialog to close and the menu to grow"));
    ASSERT_TRUE(waitUntil(
        [&] { return menus().size() == 1 && menus().front().rect.height() == root_.height() + 20; },
        10s, "the root menu one row taller"));
    root_ = menus().front().rect;

    command(0, 0, Save);
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
    enableEditMode();
    command(0, 1, MoveUp); // Beta above Alpha
    command(0, 3, Cut);    // Gamma out
    ASSERT_TRUE(waitUntil([&] { return menus().front().rect.height() == root_.height() - 20; }, 10s,
                          "the root one row shorter"));
    root_ = menus().front().rect;
    // Open Tools and paste Gamma above its only row.
    screen().move(root_.left + 100, rowY(root_, 2));
    screen().move(root_.left + 104, rowY(root_, 2));
    ASSERT_TRUE(menusShown(2));
    command(1, 0, Paste);
    ASSERT_TRUE(
        waitUntil([&] { return menus().size() == 2 && menus().front().rect.height() == 42; }, 10s,
                  "the submenu with two rows"));
    command(0, 0, Modify);
    auto dialog = dialogTitled("Edit");
    ASSERT_TRUE(dialog);
    const Control* name = editField(*dialog, 0);
    ASSERT_TRUE(name);
    screen().click(name->rect.centerX(), name->rect.centerY());
    screen().key("End");
    screen().typeText("2");
    screen().key("Return");
    ASSERT_TRUE(waitUntil([&] { return !dialogTitled("Edit"); }, 10s, "the dialog to close"));
    command(0, 0, Save);
    EXPECT_TRUE(fileBecomes(" 1 \r\n"
                            "Beta2, 0 , 0 ,C:\\b.exe, 0 \r\n"
                            "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"
                            "Tools, 1 , 0 ,1, 0 \r\n"
                            "Gamma, 0 , 1 ,C:\\g.exe, 0 \r\n"
                            "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n"));
    // Deleting the submenu entry takes its entries along.
    command(0, 2, Delete);
    command(0, 0, Save);
    EXPECT_TRUE(fileBecomes(" 1 \r\n"
                            "Beta2, 0 , 0 ,C:\\b.exe, 0 \r\n"
                            "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"));
}

TEST_F(EditingTest, QuitAfterAChangeAsksAndNoLeavesTheFile) {
    openRoot();
    enableEditMode();
    command(0, 0, Cut);
    command(0, 0, Quit);
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
    enableEditMode();
    command(0, 0, Modify);
    auto dialog = dialogTitled("Edit");
    ASSERT_TRUE(dialog);
    const Control* chooseFile = dialog->control("Button", "Choose file...");
    const Control* chooseFolder = dialog->control("Button", "Choose folder...");
    ASSERT_TRUE(chooseFile && chooseFolder);

    screen().click(chooseFile->rect.centerX(), chooseFile->rect.centerY());
    auto open = dialogTitled("Open");
    ASSERT_TRUE(open) << describe(programWindows());
    screen().key("Escape");
    ASSERT_TRUE(waitUntil([&] { return !dialogTitled("Open"); }, 10s, "the file dialog to close"));
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
    screen().key("Escape");
    ASSERT_TRUE(waitUntil([&] { return !browser || programWindows().size() > 0; }, 1s, "x"));
    ASSERT_TRUE(waitUntil(
        [&] {
            auto edit = dialogTitled("Edit");
            return edit && editField(*edit, 1) && editField(*edit, 1)->text.empty();
        },
        10s, "the cancelled browser to empty the target"));
    const Control* cancel = dialogTitled("Edit")->control("Button", "Cancel");
    ASSERT_TRUE(cancel);
    screen().click(cancel->rect.centerX(), cancel->rect.centerY());
    EXPECT_TRUE(waitUntil([&] { return !dialogTitled("Edit"); }, 10s, "the editor to close"));
    EXPECT_EQ(folder().read("menu.qlf"), menuFile);
}

} // namespace
} // namespace zv::e2e
