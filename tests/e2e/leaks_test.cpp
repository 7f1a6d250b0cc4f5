// The program under load: hundreds of menu openings, hovers across two menu levels and item
// editor round trips must leave its GDI objects, USER objects and handles where they were, and
// leave it answering.
#include "launcher_fixture.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <vector>

namespace zv::e2e {
namespace {

// Root rows, 20 pixels each: 0 Notepad, 1 Winver, 2 Tools (submenu 1), 3 Regedit.
// Submenu rows: 0 Mines, 1 Console, 2 Notepad again. The first entry shows the catalogue's
// one icon (taken from the program itself), every other one its target's icon.
const std::string menuFile = " 1 \r\n"
                             "Notepad, 0 , 0 ,C:\\windows\\notepad.exe, 0 \r\n"
                             "Winver, 0 , 0 ,C:\\windows\\system32\\winver.exe,-1 \r\n"
                             "Tools, 1 , 0 , 1 ,-1 \r\n"
                             "Regedit, 0 , 0 ,C:\\windows\\regedit.exe,-1 \r\n"
                             "Mines, 0 , 1 ,C:\\windows\\system32\\winemine.exe,-1 \r\n"
                             "Console, 0 , 1 ,C:\\windows\\system32\\cmd.exe,-1 \r\n"
                             "Notepad again, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n";
const std::string catalogue = "#,Programs\r\nZelvora,zelvora.exe\r\n";
constexpr int rootRows = 4;
constexpr int toolsRow = 2;
constexpr int plainRow = 3;
constexpr int subRows = 3;

constexpr int menuOpenings = 500;
constexpr int hoverRounds = 200;
constexpr int editorRounds = 100;
// Objects a phase may end with beyond where it started: allocator and cache noise, not a leak
// (a leak of one object per round would show as hundreds).
constexpr long tolerance = 5;

using Clock = std::chrono::steady_clock;

struct Counts {
    long gdi = -1, user = -1, handles = -1, windows = -1, menus = -1, icons = -1;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << "GDI " << c.gdi << ", USER " << c.user << " (windows " << c.windows << ", menus "
               << c.menus << ", icons " << c.icons << "), handles " << c.handles;
}

class LeaksTest : public LauncherTest {
  protected:
    // The program's object counts; every one of them must be known.
    Counts counts() {
        std::vector<ResourceCounts> all;
        try {
            all = session().resources(ProgramFolder::exeName);
        } catch (const ProbeError& error) {
            // Once in a long run the probe process has ended without a word under a loaded
            // machine; a second reading settles whether it was that or the program.
            std::cout << "[leaks] reading the counts again after: " << error.what() << std::endl;
            all = session().resources(ProgramFolder::exeName);
        }
        EXPECT_EQ(all.size(), 1u);
        if (all.size() != 1)
            return {};
        const ResourceCounts& r = all.front();
        Counts c{r.gdiObjects, r.userObjects, r.handles, r.windows, r.menus, r.icons};
        EXPECT_GT(c.gdi, 0) << c;
        EXPECT_GT(c.user, 0) << c;
        EXPECT_GT(c.handles, 0) << c;
        return c;
    }

    // Each count ends a phase where it started, give or take the tolerance.
    void expectKept(const char* phase, const Counts& before, const Counts& after) {
        std::cout << "[leaks] " << phase << ": before " << before << "; after " << after
                  << std::endl;
        EXPECT_LE(std::labs(after.gdi - before.gdi), tolerance) << phase << " GDI objects";
        EXPECT_LE(std::labs(after.user - before.user), tolerance) << phase << " USER objects";
        EXPECT_LE(std::labs(after.handles - before.handles), tolerance) << phase << " handles";
    }

    // The program still answers: it waits for input, and the trigger opens the menu.
    void expectResponsive() {
        const auto idle = session().idle(ProgramFolder::exeName, 5000ms);
        ASSERT_EQ(idle.size(), 1u);
        EXPECT_EQ(idle.front().result, IdleResult::Idle);
        clickTrigger();
        ASSERT_TRUE(menusShown(1));
        clickTrigger();
        ASSERT_TRUE(menusShown(0));
    }

    // A spot on the root's right frame: dark while the root shows, the desktop's colour when not.
    int frameX() const { return root_.right - 1; }
    int frameY() const { return root_.top + 30; }
    ::testing::AssertionResult rootShown(bool shown) {
        return shown ? pixelIs(frameX(), frameY(), frameDark, true)
                     : pixelIs(frameX(), frameY(), desktopAtFrame_, true);
    }
    void clickTriggerAt(int i) {
        // Alternate spots on the trigger, a few pixels apart.
        screen().click(triggerAtStart.left + (i % 2 ? 16 : 32), triggerAtStart.top + 24);
    }

    // A right click on a root row once it is highlighted: the pop-up acts on that row.
    void rightClickRow(int row) {
        ASSERT_TRUE(hoverRow(root_, row));
        screen().press(MouseButton::Right);
        screen().release(MouseButton::Right);
    }
    std::optional<Window> editDialog() {
        for (const auto& w : programWindows())
            if (w.visible && w.title == "Edit")
                return w;
        return std::nullopt;
    }

    Rect root_;
    Rect sub_;
    Color desktopAtFrame_;
    Color desktopAtSub_;
};

TEST_F(LeaksTest, MenusHoversAndTheEditorLeaveTheObjectCountsWhereTheyWere) {
    const auto testStart = Clock::now();
    start(menuFile, catalogue);
    ASSERT_TRUE(trigger());

    // Warm-up: the first opening of each thing registers icons, classes and fonts the program
    // keeps on purpose. The phases are measured after it.
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    root_ = menus().front().rect;
    ASSERT_EQ(root_.height(), 20 * rootRows + 2);
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    desktopAtFrame_ = screen().pixel(frameX(), frameY());
    ASSERT_NE(desktopAtFrame_, frameDark);
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(hoverRow(root_, toolsRow));
    ASSERT_TRUE(menusShown(2));
    sub_ = menus().front().rect;
    ASSERT_EQ(sub_.height(), 20 * subRows + 2);
    for (int row = 0; row < subRows; ++row)
        ASSERT_TRUE(hoverRow(sub_, row));
    // Resting on Tools again while its submenu shows replaces the submenu.
    for (int row : {plainRow, 0, 1, toolsRow})
        ASSERT_TRUE(hoverRow(root_, row));
    ASSERT_TRUE(pixelIs(sub_.left + 100, sub_.top + 1, highlightFrame, true)) << "the new submenu";
    for (int row = 0; row < subRows; ++row)
        ASSERT_TRUE(hoverRow(sub_, row));
    ASSERT_TRUE(hoverRow(root_, plainRow));
    ASSERT_TRUE(menusShown(1));
    desktopAtSub_ = screen().pixel(sub_.left + 100, sub_.top + 1);
    ASSERT_NE(desktopAtSub_, highlightFrame);
    clickTrigger();
    ASSERT_TRUE(menusShown(0));

    // Phase 1: the root opens and closes.
    const Counts beforeOpenings = counts();
    auto phaseStart = Clock::now();
    for (int i = 0; i < menuOpenings; ++i) {
        clickTriggerAt(i);
        ASSERT_TRUE(rootShown(true)) << "opening " << i;
        clickTriggerAt(i + 1);
        ASSERT_TRUE(rootShown(false)) << "closing " << i;
    }
    ASSERT_TRUE(menusShown(0));
    std::cout << "[leaks] " << menuOpenings << " openings took "
              << std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - phaseStart).count()
              << " s" << std::endl;
    const Counts afterOpenings = counts();
    expectKept("root menu openings", beforeOpenings, afterOpenings);
    expectResponsive();
    if (HasFatalFailure())
        return;

    // Phase 2: the pointer crosses every row of both levels. Resting on Tools replaces the open
    // submenu by a new one; every tenth round also rests on a plain row, which closes it.
    const Counts beforeHovers = counts();
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    phaseStart = Clock::now();
    const int subX = sub_.left + 100;
    for (int i = 0; i < hoverRounds; ++i) {
        // The plain row first: coming back from the submenu, Tools is still lit and pointing at
        // it again would not start the rest.
        ASSERT_TRUE(hoverRow(root_, plainRow)) << "round " << i;
        if (i % 10 == 9) {
            // Resting on a plain row closes the submenu.
            ASSERT_TRUE(pixelIs(subX, sub_.top + 1, desktopAtSub_, true)) << "submenu closed " << i;
        }
        for (int row = 0; row <= toolsRow; ++row)
            ASSERT_TRUE(hoverRow(root_, row)) << "round " << i;
        // A new submenu shows its first row lit; the one before had its last row lit.
        ASSERT_TRUE(pixelIs(subX, sub_.top + 1, highlightFrame, true)) << "submenu " << i;
        for (int row = 0; row < subRows; ++row)
            ASSERT_TRUE(hoverRow(sub_, row)) << "round " << i;
    }
    ASSERT_TRUE(hoverRow(root_, plainRow));
    ASSERT_TRUE(pixelIs(subX, sub_.top + 1, desktopAtSub_, true)) << "the last submenu closed";
    ASSERT_TRUE(menusShown(1));
    std::cout << "[leaks] " << hoverRounds << " hover rounds took "
              << std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - phaseStart).count()
              << " s" << std::endl;
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    const Counts afterHovers = counts();
    expectKept("hovers", beforeHovers, afterHovers);
    expectResponsive();
    if (HasFatalFailure())
        return;

    // Phase 3: the item editor opens on an entry and is cancelled, by Escape and by Cancel in
    // turn. The first round learns where the pop-up menu and the dialog show.
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_TRUE(menusShown(1));

    // A warm-up round on each row the phase uses learns where the pop-up menu and the dialog
    // show: once through the probe, then again watching their spots change on the screen.
    // Row 0 has a catalogue icon, which the dialog previews; the plain row its target's icon.
    struct Spot {
        int x = 0, y = 0;
        Color without, with;
    };
    struct EditorRow {
        int row = 0;
        Spot popup;
    };
    std::vector<EditorRow> editorRows;
    Rect dialogRect, cancelRect;
    Spot dialogSpot;
    for (int row : {0, plainRow}) {
        EditorRow r{row, {}};
        ASSERT_NO_FATAL_FAILURE(rightClickRow(row));
        ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the pop-up menu"));
        const Rect popup = popups().front().rect;
        // A spot inside the pop-up's left margin, away from any text.
        r.popup.x = popup.left + 2;
        r.popup.y = popup.top + popup.height() / 2;
        screen().key("Down");
        screen().key("Down");
        screen().key("Return");
        std::optional<Window> dialog;
        ASSERT_TRUE(waitUntil(
            [&] {
                dialog = editDialog();
                return dialog.has_value();
            },
            15s, "the Edit dialog"));
        if (editorRows.empty()) {
            dialogRect = dialog->rect;
            const Control* cancel = dialog->control("Button", "Cancel");
            ASSERT_TRUE(cancel) << describe(*dialog);
            cancelRect = cancel->rect;
            // A spot on the dialog's face, left of its controls, below its caption.
            dialogSpot.x = dialogRect.left + 4;
            dialogSpot.y = dialogRect.top + 40;
        }
        ASSERT_EQ(dialog->rect, dialogRect);
        screen().key("Escape");
        ASSERT_TRUE(waitUntil([&] { return !editDialog(); }, 10s, "the dialog to close"));
        ASSERT_TRUE(menusShown(1));
        r.popup.without = screen().pixel(r.popup.x, r.popup.y);
        dialogSpot.without = screen().pixel(dialogSpot.x, dialogSpot.y);

        ASSERT_NO_FATAL_FAILURE(rightClickRow(row));
        ASSERT_TRUE(pixelIs(r.popup.x, r.popup.y, r.popup.without, false)) << "the pop-up";
        // Looked at once the probe has seen it, so the pop-up is painted by then.
        ASSERT_EQ(popups().size(), 1u);
        r.popup.with = screen().pixel(r.popup.x, r.popup.y);
        screen().key("Down");
        screen().key("Down");
        screen().key("Return");
        ASSERT_TRUE(pixelIs(dialogSpot.x, dialogSpot.y, dialogSpot.without, false)) << "the dialog";
        ASSERT_TRUE(editDialog());
        dialogSpot.with = screen().pixel(dialogSpot.x, dialogSpot.y);
        screen().key("Escape");
        ASSERT_TRUE(waitUntil([&] { return !editDialog(); }, 10s, "the dialog to close"));
        ASSERT_NE(r.popup.with, r.popup.without);
        ASSERT_NE(dialogSpot.with, dialogSpot.without);
        editorRows.push_back(r);
    }

    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    const Counts beforeEditor = counts();
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    phaseStart = Clock::now();
    for (int i = 0; i < editorRounds; ++i) {
        // Rows alternate; Escape and Cancel alternate every two rounds, so each row gets both.
        const EditorRow& r = editorRows[static_cast<std::size_t>(i % 2)];
        ASSERT_NO_FATAL_FAILURE(rightClickRow(r.row)) << "round " << i;
        ASSERT_TRUE(pixelIs(r.popup.x, r.popup.y, r.popup.with, true)) << "pop-up " << i;
        screen().key("Down");
        screen().key("Down"); // Modify
        screen().key("Return");
        ASSERT_TRUE(pixelIs(dialogSpot.x, dialogSpot.y, dialogSpot.with, true)) << "dialog " << i;
        if (i % 10 == 0) {
            // Now and then the probe confirms what the pixels say.
            auto shown = editDialog();
            ASSERT_TRUE(shown) << "round " << i << ": no Edit dialog\n"
                               << describe(programWindows());
            ASSERT_EQ(shown->rect, dialogRect);
        }
        if (i / 2 % 2 == 0)
            screen().key("Escape");
        else
            screen().click(cancelRect.centerX(), cancelRect.centerY());
        ASSERT_TRUE(pixelIs(dialogSpot.x, dialogSpot.y, dialogSpot.without, true))
            << "dialog closed " << i;
    }
    ASSERT_TRUE(waitUntil([&] { return !editDialog(); }, 10s, "no Edit dialog"));
    ASSERT_TRUE(menusShown(1));
    std::cout << "[leaks] " << editorRounds << " editor rounds took "
              << std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - phaseStart).count()
              << " s" << std::endl;
    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    const Counts afterEditor = counts();
    expectKept("item editor", beforeEditor, afterEditor);
    expectResponsive();
    EXPECT_EQ(folder().read("menu.qlf"), menuFile); // cancelled every time: nothing saved

    std::cout << "[leaks] whole test "
              << std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - testStart).count()
              << " s" << std::endl;
}

} // namespace
} // namespace zv::e2e
