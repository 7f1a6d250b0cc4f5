// Editing the menus where they are shown, under Wine: the pop-up menu of edit commands, the
// "Edit" dialog, Save writing the file, and the save question on quit and at log-off.
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

using EditingTest = LauncherTest;

TEST_F(EditingTest, InsertMoveCutPasteModifyDeleteAndSave) {
    start(menuFile, "#,Programs\r\nApp,app.ico\r\n");
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    std::optional<Window> dialog;
    const Control *name = nullptr, *target = nullptr;
    // The item editor from a root row's pop-up entry, with its name and target fields.
    const auto openEditor = [&](int row, int entry) {
        command(0, row, entry);
        dialog = HasFatalFailure() ? std::nullopt : windowTitled("Edit", 15s);
        name = dialog ? dialog->nthControl("Edit", 0) : nullptr;
        target = dialog ? dialog->nthControl("Edit", 1) : nullptr;
        return name && target;
    };
    // First the item editor's file and folder choosers, each cancelled.
    ASSERT_TRUE(openEditor(0, Modify));
    ASSERT_NO_FATAL_FAILURE(clickButton(*dialog, "Choose file..."));
    auto open = windowTitled("Open", 15s);
    ASSERT_TRUE(open) << describe(programWindows());
    ASSERT_TRUE(activated(*open)); // Escape must reach the file dialog, not the editor
    screen().key("Escape");
    ASSERT_TRUE(closed(*open));
    ASSERT_TRUE(activated(*dialog));
    EXPECT_TRUE(fieldHolds(*target, "C:\\a.exe")); // a cancel keeps it
    ASSERT_NO_FATAL_FAILURE(clickButton(*dialog, "Choose folder..."));
    auto browser = shown(
        [&](const Window& w) {
            return w.isDialog() && w.control("Static", "Select the target folder");
        },
        15s, "the folder browser with its title");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(activated(*browser));
    screen().key("Escape");
    ASSERT_TRUE(closed(*browser));
    EXPECT_TRUE(fieldHolds(*target, "")); // a cancel here empties it
    clickButton(*dialog, "Cancel");
    EXPECT_TRUE(closed(*dialog));
    EXPECT_EQ(folder().read("menu.qlf"), menuFile);

    ASSERT_TRUE(openEditor(2, Insert));
    // Every box has a name for screen readers; those without a label of their own above them
    // get one nobody sees.
    EXPECT_EQ(fieldNames(*dialog),
              (std::vector<std::string>{"Edit=Name", "Edit=Execute file:", "ComboBox=Specials",
                                        "ComboBox=Icon group", "ComboBox=Icon"}));
    for (const char* hidden : {"Execute file:", "Specials", "Icon group", "Icon"})
        EXPECT_FALSE(dialog->control("Static", hidden)->visible) << hidden;
    // A screen reader in another process hears that this is a dialog.
    EXPECT_EQ(session().accessible(dialog->hwnd).self.role, 18); // ROLE_SYSTEM_DIALOG
    // The names it reads for the edit boxes, the hidden label's among them. (Wine's object for
    // a combo box gives its selected text instead.)
    EXPECT_EQ(session().accessible(name->hwnd).self.name, "Name");
    EXPECT_EQ(session().accessible(target->hwnd).self.name, "Execute file:");
    ASSERT_NO_FATAL_FAILURE(typeInto(*name, "Added"));
    ASSERT_NO_FATAL_FAILURE(typeInto(*target, "C:\\added.exe"));
    screen().key("Return"); // OK is the default button
    ASSERT_TRUE(closed("Edit"));
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(menuRows(0, 5)); // Alpha, Beta, Added, Tools, Gamma

    ASSERT_NO_FATAL_FAILURE(command(0, 1, MoveUp)); // Beta above Alpha
    ASSERT_NO_FATAL_FAILURE(command(0, 4, Cut));    // Gamma out
    ASSERT_TRUE(menuRows(0, 4));
    // Open Tools (resting on it opens it) and paste Gamma above its only row.
    ASSERT_TRUE(hoverRow(menuLevel(0), 3));
    ASSERT_TRUE(menusShown(2));
    ASSERT_NO_FATAL_FAILURE(command(1, 0, Paste));
    ASSERT_TRUE(menusShown(2));
    ASSERT_TRUE(menuRows(1, 2));
    ASSERT_TRUE(openEditor(0, Modify) && fieldHolds(*name, "Beta"));
    ASSERT_NO_FATAL_FAILURE(focusField(*name));
    screen().key("End");
    screen().typeText("2");
    ASSERT_TRUE(fieldHolds(*name, "Beta2"));
    screen().key("Return");
    ASSERT_TRUE(closed("Edit"));
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    const std::string kept = " 1 \r\n"
                             "Beta2, 0 , 0 ,C:\\b.exe, 0 \r\n"
                             "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"
                             "Added, 0 , 0 ,C:\\added.exe, 0 \r\n";
    EXPECT_TRUE(fileBecomes(kept + "Tools, 1 , 0 ,1, 0 \r\n"
                                   "Gamma, 0 , 1 ,C:\\g.exe, 0 \r\n"
                                   "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n"));
    // Deleting the submenu entry takes its entries along.
    ASSERT_NO_FATAL_FAILURE(command(0, 3, Delete));
    ASSERT_TRUE(menuRows(0, 3));
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    EXPECT_TRUE(fileBecomes(kept));

    // Unsaved changes are asked about: at log-off Yes saves them; on Quit No leaves the file.
    const std::string afterLogOff = " 1 \r\n" + kept.substr(kept.find("Alpha"));
    for (const char* reply : {"&Yes", "&No"}) {
        ASSERT_NO_FATAL_FAILURE(command(0, 0, Cut));
        ASSERT_TRUE(idle());
        if (reply[1] == 'Y')
            session().queryEndSession(trigger().value().hwnd);
        else
            ASSERT_NO_FATAL_FAILURE(command(0, 0, Quit));
        ASSERT_NO_FATAL_FAILURE(answer("Do you wish to save the changes?", reply));
        EXPECT_TRUE(fileBecomes(afterLogOff));
    }
    EXPECT_TRUE(program_->waitForExit(10s));
    EXPECT_EQ(folder().read("menu.qlf"), afterLogOff);
}

} // namespace
} // namespace zv::e2e
