// The program under load: hundreds of menu openings, hovers across two menu levels and item
// editor round trips must leave its GDI objects, USER objects and handles where they were, and
// leave it answering.
#include "launcher_fixture.h"

#include <cstdlib>
#include <iostream>

namespace zv::e2e {
namespace {

// Root rows: 0 Notepad (the catalogue's one icon, the program's), 1 Winver, 2 Tools (submenu 1:
// Mines, Console, Notepad again), 3 Regedit; the others show their targets' icons.
const std::string menuFile = " 1 \r\n"
                             "Notepad, 0 , 0 ,C:\\windows\\notepad.exe, 0 \r\n"
                             "Winver, 0 , 0 ,C:\\windows\\system32\\winver.exe,-1 \r\n"
                             "Tools, 1 , 0 , 1 ,-1 \r\n"
                             "Regedit, 0 , 0 ,C:\\windows\\regedit.exe,-1 \r\n"
                             "Mines, 0 , 1 ,C:\\windows\\system32\\winemine.exe,-1 \r\n"
                             "Console, 0 , 1 ,C:\\windows\\system32\\cmd.exe,-1 \r\n"
                             "Notepad again, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n";
constexpr int toolsRow = 2, plainRow = 3, subRows = 3;
constexpr int menuOpenings = 500, hoverRounds = 200, editorRounds = 100;
// Allocator and cache noise, not a leak (one object a round would show as a hundred or more).
constexpr long tolerance = 5;

class LeaksTest : public LauncherTest {
  protected:
    // The program's GDI objects, USER objects and handles; every one of them must be known.
    std::vector<long> counts() {
        const auto all = session().resources(ProgramFolder::exeName);
        EXPECT_EQ(all.size(), 1u);
        const ResourceCounts r = all.size() == 1 ? all.front() : ResourceCounts{};
        std::cout << "[leaks] GDI " << r.gdiObjects << ", USER " << r.userObjects << " (windows "
                  << r.windows << ", menus " << r.menus << ", icons " << r.icons << "), handles "
                  << r.handles << std::endl;
        EXPECT_TRUE(r.gdiObjects > 0 && r.userObjects > 0 && r.handles > 0);
        return {r.gdiObjects, r.userObjects, r.handles};
    }
    // Runs a phase between two closed-menu readings, which must agree within the tolerance; the
    // program must then still wait for input and open its menu.
    void phase(const char* name, const std::function<void()>& body) {
        const auto before = counts();
        body();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(menusShown(0));
        const auto after = counts();
        const char* kinds[] = {"GDI objects", "USER objects", "handles"};
        for (int i = 0; i < 3; ++i)
            EXPECT_LE(std::labs(after[i] - before[i]), tolerance) << name << ": " << kinds[i];
        ASSERT_TRUE(idle());
        clickTrigger();
        ASSERT_TRUE(menusShown(1));
        clickTrigger();
        ASSERT_TRUE(menusShown(0));
    }
};

TEST_F(LeaksTest, MenusHoversAndTheEditorLeaveTheObjectCountsWhereTheyWere) {
    start(menuFile, "#,Programs\r\nZelvora,zelvora.exe\r\n");

    // Warm-up: first openings register icons, classes and fonts kept on purpose. Spots on the
    // root's right frame and the submenu's first row show whether each is open.
    const Rect rootMenu = root();
    ASSERT_EQ(rootMenu.height(), 20 * 4 + 2);
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    const int frameX = rootMenu.right - 1, frameY = rootMenu.top + 30;
    const Color desktopAtFrame = screen().pixel(frameX, frameY);
    ASSERT_NE(desktopAtFrame, frameDark);
    root();
    ASSERT_TRUE(hoverRow(rootMenu, toolsRow));
    ASSERT_TRUE(menusShown(2));
    const Rect sub = menus().front().rect;
    ASSERT_EQ(sub.height(), 20 * subRows + 2);
    for (int row = 0; row < subRows; ++row)
        ASSERT_TRUE(hoverRow(sub, row));
    ASSERT_TRUE(hoverRow(rootMenu, plainRow));
    ASSERT_TRUE(menusShown(1));
    const Color desktopAtSub = screen().pixel(rowX(sub), sub.top + 1);
    ASSERT_NE(desktopAtSub, highlightFrame);
    clickTrigger();
    ASSERT_TRUE(menusShown(0));

    ASSERT_NO_FATAL_FAILURE(phase("500 root menu openings", [&] {
        for (int i = 0; i < menuOpenings; ++i) {
            // Alternate spots on the trigger, a few pixels apart.
            screen().click(triggerAtStart.left + 16, triggerAtStart.top + 24);
            ASSERT_TRUE(pixelIs(frameX, frameY, frameDark, true)) << "opening " << i;
            screen().click(triggerAtStart.left + 32, triggerAtStart.top + 24);
            ASSERT_TRUE(pixelIs(frameX, frameY, desktopAtFrame, true)) << "closing " << i;
        }
    }));

    // The pointer crosses every row of both levels, and every round opens a new submenu in
    // place of the last: mostly by a click on Tools, which opens it at once; every tenth round
    // rests on a plain row until its timer closes the submenu, then on Tools until its timer
    // opens the next.
    ASSERT_NO_FATAL_FAILURE(phase("200 hover rounds", [&] {
        root();
        for (int i = 0; i < hoverRounds; ++i) {
            const bool rest = i % 10 == 9;
            ASSERT_TRUE(hoverRow(rootMenu, plainRow)) << "round " << i;
            if (rest) {
                ASSERT_TRUE(pixelIs(rowX(sub), sub.top + 1, desktopAtSub, true)) << "closed " << i;
            }
            for (int row = 0; row <= toolsRow; ++row)
                ASSERT_TRUE(hoverRow(rootMenu, row)) << "round " << i;
            if (!rest)
                screen().click(rowX(rootMenu), rowY(rootMenu, toolsRow));
            // A new submenu shows its first row lit; the one before had its last row lit.
            ASSERT_TRUE(pixelIs(rowX(sub), sub.top + 1, highlightFrame, true)) << "submenu " << i;
            for (int row = 0; row < subRows; ++row)
                ASSERT_TRUE(hoverRow(sub, row)) << "round " << i;
        }
        ASSERT_TRUE(hoverRow(rootMenu, plainRow));
        ASSERT_TRUE(pixelIs(rowX(sub), sub.top + 1, desktopAtSub, true))
            << "the last submenu closed";
        clickTrigger();
    }));

    // The item editor, cancelled by Escape and by Cancel, on a row with a catalogue icon (which
    // it previews) and one with its target's. After a warm-up on each row, a spot on the dialog's
    // face with and without it is what the rounds watch.
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    auto openEditor = [&](int row) {
        ASSERT_TRUE(hoverRow(rootMenu, row));
        screen().press(MouseButton::Right);
        screen().release(MouseButton::Right);
        ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the pop-up menu"));
        for (const char* key : {"Down", "Down", "Return"}) // Modify
            screen().key(key);
    };
    std::optional<Window> dialog;
    for (int row : {plainRow, 0}) {
        ASSERT_NO_FATAL_FAILURE(openEditor(row));
        ASSERT_TRUE(dialog = windowTitled("Edit", 15s));
        screen().key("Escape");
        ASSERT_TRUE(closed("Edit"));
    }
    const Control* cancel = dialog->control("Button", "Cancel");
    ASSERT_TRUE(cancel) << describe(*dialog);
    const int spotX = dialog->rect.left + 4, spotY = dialog->rect.top + 40; // left of the controls
    const Color without = screen().pixel(spotX, spotY);
    ASSERT_NO_FATAL_FAILURE(openEditor(0));
    ASSERT_TRUE(pixelIs(spotX, spotY, without, false));
    ASSERT_TRUE(windowTitled("Edit", 5s)); // looked at once the probe has seen it: painted
    const Color with = screen().pixel(spotX, spotY);
    screen().key("Escape");
    ASSERT_TRUE(closed("Edit"));
    clickTrigger();
    ASSERT_TRUE(menusShown(0));

    phase("100 editor rounds", [&] {
        root();
        for (int i = 0; i < editorRounds; ++i) {
            ASSERT_NO_FATAL_FAILURE(openEditor(i % 2 ? plainRow : 0)) << "round " << i;
            ASSERT_TRUE(pixelIs(spotX, spotY, with, true)) << "dialog " << i;
            if (i % 10 == 0) { // now and then the probe confirms what the pixels say
                auto shown = windowTitled("Edit", 0ms);
                ASSERT_TRUE(shown && shown->rect == dialog->rect) << describe(programWindows());
            }
            // Escape and Cancel alternate every two rounds, so each row gets both.
            if (i / 2 % 2 == 0)
                screen().key("Escape");
            else
                screen().click(cancel->rect.centerX(), cancel->rect.centerY());
            ASSERT_TRUE(pixelIs(spotX, spotY, without, true)) << "dialog closed " << i;
        }
        ASSERT_TRUE(closed("Edit"));
        clickTrigger();
    });
    EXPECT_EQ(folder().read("menu.qlf"), menuFile); // cancelled every time: nothing saved
}

} // namespace
} // namespace zv::e2e
