// Batch add under Wine: the folder browser answered with a drive mapped to a prepared tree of
// programs and shortcuts, the quick add dialog offering each file, and the accepted entries
// showing in their menus and in the saved file.
#include "launcher_fixture.h"

#include <filesystem>

namespace zv::e2e {
namespace {

namespace fs = std::filesystem;

const std::string menuFile = " 1 \r\n"
                             "Alpha, 0 , 0 ,C:\\a.exe, 0 \r\n"
                             "Tools, 1 , 0 , 1 , 0 \r\n"
                             "Inner, 0 , 1 ,C:\\i.exe, 0 \r\n";
const std::string catalogue = "#,Programs\r\nApp,app.ico\r\n";

class BatchAddTest : public LauncherTest {
  protected:
    // The tree the search walks: the session's drive Y:, filled afresh.
    fs::path prepareTree() {
        const fs::path tree = session().scratchDrive();
        for (const auto& entry : fs::directory_iterator(tree))
            fs::remove_all(entry.path());
        fs::create_directories(tree / "sub");
        const fs::path exe = folder().exePath();
        fs::copy_file(exe, tree / "Viewer.exe");
        fs::copy_file(exe, tree / "sub" / "Deeper.exe");
        const auto made =
            session().runWine({probeExe().string(), "link", windowsPath(tree / "Notes.lnk"),
                               "C:\\windows\\notepad.exe"});
        EXPECT_EQ(made.exitStatus, 0) << made.describe();
        return tree;
    }
    static const Control* comboBox(const Window& w) {
        for (const auto& c : w.controls)
            if (c.className == "ComboBox")
                return &c;
        return nullptr;
    }
};

TEST_F(BatchAddTest, FilesFromAChosenDriveBecomeEntries) {
    prepareTree();
    start(menuFile, catalogue);
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 0, BatchAdd));

    auto browser = shown(
        [&](const Window& w) {
            return w.isDialog() && w.control("Static", "Please select a folder to search");
        },
        15s, "the folder browser");
    ASSERT_TRUE(browser);
    const Control* tree = browser->control("SysTreeView32", "");
    ASSERT_TRUE(tree);
    // Desktop, "/", Documents, My Computer: open My Computer, whose drives are (C:), (Y:), (Z:),
    // wait until they show, then go down to (Y:).
    screen().click(tree->rect.left + 60, tree->rect.top + 57);
    const Image collapsed = screen().capture(tree->rect);
    screen().key("Right");
    ASSERT_TRUE(waitUntil([&] { return !(screen().capture(tree->rect) == collapsed); }, 10s,
                          "My Computer to open"));
    screen().key("Down");
    screen().key("Down");
    const Control* okButton = browser->control("Button", "OK");
    ASSERT_TRUE(okButton);
    ASSERT_TRUE(waitUntil(
        [&] {
            auto ok = controlNow(okButton->hwnd);
            return ok && ok->enabled;
        },
        10s, "a drive chosen (OK enabled)"));
    screen().key("Return");

    auto offer = windowTitled("Zelvora QuickAdd 0.9", 20s);
    ASSERT_TRUE(offer) << describe(programWindows());
    auto offered = [&](const std::string& name) {
        return waitUntil(
            [&] {
                offer = windowTitled("Zelvora QuickAdd 0.9", 1s);
                return offer && offer->control("Edit", name) &&
                       offer->control("Button", "Yes")->enabled;
            },
            20s, "the dialog to offer " + name);
    };
    auto press = [&](const std::string& button) { clickButton(*offer, button); };

    // The drive root already ends with a backslash; the joined path has two.
    ASSERT_TRUE(offered("Viewer"));
    EXPECT_NE(offer->control("Static", "Y:\\\\Viewer.exe"), nullptr) << describe(*offer);
    // The file's own icon (the program's mark: blue with a white letter) is in the icon box.
    const Control* icon = nullptr;
    for (const auto& c : offer->controls)
        if (c.className == "ZelvoraPicture")
            icon = &c;
    ASSERT_TRUE(icon);
    EXPECT_TRUE(waitUntil(
        [&] {
            const Image shown = screen().capture(icon->rect);
            long blue = 0, light = 0;
            for (int y = 0; y < shown.height; ++y)
                for (int x = 0; x < shown.width; ++x) {
                    const Color c = shown.at(x, y);
                    blue += c.b > 150 && c.r < 120;
                    light += c.r > 230 && c.g > 230 && c.b > 230;
                }
            return blue > 100 && light > 20;
        },
        10s, "the file's icon in the dialog"));
    const Control* category = comboBox(*offer);
    ASSERT_TRUE(category);
    EXPECT_EQ(category->count, 2); // "(top-level)" and Tools
    EXPECT_EQ(category->selectionText, "(top-level)");
    press("Yes");

    ASSERT_TRUE(offered("Notes"));
    EXPECT_NE(offer->control("Static", "C:\\windows\\notepad.exe"), nullptr) << describe(*offer);
    press("No");

    ASSERT_TRUE(offered("Deeper"));
    category = comboBox(*offer);
    screen().click(category->rect.centerX(), category->rect.centerY());
    screen().key("Down");
    screen().key("Return");
    ASSERT_TRUE(waitUntil(
        [&] {
            offer = windowTitled("Zelvora QuickAdd 0.9", 1s);
            const Control* c = offer ? comboBox(*offer) : nullptr;
            return c && c->selectionText == "Tools";
        },
        10s, "Tools chosen as the menu"));
    press("Yes");

    for (const char* text :
         {"Search accomplished.", "Please Save the changes and restart Zelvora."}) {
        ASSERT_NO_FATAL_FAILURE(answer(text, "OK"));
    }
    EXPECT_TRUE(waitUntil([&] { return !windowTitled("Zelvora QuickAdd 0.9", 1s); }, 10s,
                          "the dialog to close"));

    // The accepted files show in their menus: reopen the root, then open Tools.
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    const Rect reopened = menus().front().rect;
    EXPECT_EQ(reopened.height(), 3 * 20 + 2);
    ASSERT_TRUE(hoverRow(reopened, 1));
    ASSERT_TRUE(menusShown(2));
    EXPECT_EQ(menus().front().rect.height(), 2 * 20 + 2);

    // Quitting asks to save the accepted files; Yes writes them.
    screen().click(25, 704, MouseButton::Right);
    for (const char* text :
         {"Are you sure you want to quit?", "Do you wish to save the changes?"}) {
        ASSERT_NO_FATAL_FAILURE(answer(text, "&Yes"));
    }
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
