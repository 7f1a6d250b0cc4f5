// What screen readers learn of the menus: each row's kind, name, state and place, and the
// events as the user moves through them.
#include "editing/edit_menu.h"
#include "test_support.h"

namespace zv {
namespace {

using enum platform::Announcement;
using platform::RowKind;
using Told = std::vector<headless::Announced>;

constexpr int vkEscape = 27, vkLeft = 37, vkRight = 39, vkDown = 40;
constexpr int deleteCommand = 4;

// Root: 0 &Notes, 1 Sub (menu 1), 2 Head, 3 a separator, 4 Quit. Menu 1: In&&Out, Two.
const std::string menuFile = " 1 \r\n&Notes, 0 , 0 ,n,-1 \r\nSub, 1 , 0 , 1 ,-1 \r\n"
                             "Head, 2 , 0 ,,-1 \r\nLine, 4 , 0 ,,-1 \r\nQuit, 3 , 0 , 0 ,-1 \r\n"
                             "In&&Out, 0 , 1 ,i,-1 \r\nTwo, 0 , 1 ,t,-1 \r\n";

class ScreenReaderTest : public test::ProgramTest {
  protected:
    void SetUp() override { start(menuFile); }
    headless::WindowRecord* rec(int level) { return &headless::record(*menuLevel(level).window()); }
    Told& told() { return headless::desktop().announcements; }
    // What was told since the last call.
    Told news() { return std::exchange(told(), {}); }
    void key(int level, int code) { menuLevel(level).keyDown(code, 0); }
};

TEST_F(ScreenReaderTest, RowsGiveKindNameStateAndPlaceAtEitherScale) {
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        start(menuFile);
        if (dpi == 144) {
            headless::desktop().monitors.push_back({{1024, 0, 2944, 1080}, 144});
            headless::changeScale(headless::record(*triggerWindow.window()), 144,
                                  {2000, 900, 2072, 972});
        }
        clickTrigger();
        EXPECT_EQ(root().accessibleName(), "Zelvora");
        auto rows = root().accessibleRows();
        ASSERT_EQ(rows.size(), 5u);
        using K = RowKind;
        const K kinds[]{K::Entry, K::Submenu, K::Header, K::Separator, K::Entry};
        const std::string names[]{"Notes", "Sub", "Head", "", "Quit"};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].kind, kinds[i]) << i;
            EXPECT_EQ(rows[i].name, names[i]) << i;
            EXPECT_EQ(rows[i].highlighted, i == 0) << i;
            EXPECT_FALSE(rows[i].submenuOpen) << i;
        }

        // On the screen: right of the strip, rows 20 pixels high (30 at 144 DPI), separator 6 (9).
        const int s = dpi / 48; // halves of the 96-DPI sizes
        const Rect window = rec(0)->pixels;
        const int x = window.left + 14 * s, y = window.top;
        EXPECT_EQ(headless::rowOnScreen(*rec(0), rows[1]),
                  (Rect{x, y + 10 * s, x + 100 * s, y + 20 * s}));
        EXPECT_EQ(headless::rowOnScreen(*rec(0), rows[4]),
                  (Rect{x, y + 33 * s, x + 100 * s, y + 43 * s}));

        MenuWindow& sub = openSub(1);
        rows = root().accessibleRows();
        EXPECT_TRUE(rows[1].submenuOpen);
        EXPECT_TRUE(rows[1].highlighted);
        EXPECT_FALSE(rows[0].highlighted);
        EXPECT_EQ(sub.accessibleName(), "Sub");
        const auto inner = sub.accessibleRows();
        ASSERT_EQ(inner.size(), 2u);
        EXPECT_EQ(inner[0].name, "In&Out");
        const Rect subWindow = rec(1)->pixels;
        EXPECT_EQ(headless::rowOnScreen(*rec(1), inner[1]),
                  (Rect{subWindow.left, subWindow.top + 10 * s, subWindow.left + 100 * s,
                        subWindow.top + 20 * s}));
        triggerWindow.closeAll();
    }
}

TEST_F(ScreenReaderTest, EventsFollowTheKeysThroughOpenDownRightLeftEscapeAndClosing) {
    headless::runIdle();
    EXPECT_TRUE(told().empty()) << "windows made ready ahead tell nothing";

    clickTrigger();
    auto* top = rec(0);
    EXPECT_EQ(news(), (Told{{top, MenuStart, -1}, {top, Focus, 0}}));
    key(0, vkDown);
    EXPECT_EQ(news(), (Told{{top, Focus, 1}}));
    key(0, vkRight);
    auto* sub = rec(1);
    EXPECT_EQ(news(), (Told{{top, StateChange, 1}, {sub, MenuStart, -1}, {sub, Focus, 0}}));
    key(1, vkDown);
    EXPECT_EQ(news(), (Told{{sub, Focus, 1}}));
    // The pointer crossing the parent lights its rows but the keys stay in the submenu.
    skipMouseMove = false;
    root().mouseMove(0, 0, 10, 5);
    EXPECT_EQ(root().hoverRow, 0);
    EXPECT_TRUE(news().empty());
    key(1, vkLeft);
    EXPECT_EQ(news(), (Told{{sub, MenuEnd, -1}, {top, Focus, 0}}));
    EXPECT_EQ(headless::focusedWindow(), top) << "the keys go back to the parent";

    // Escape closes the deepest level only, then the root and with it the whole menu.
    key(0, 'S');
    key(0, vkRight);
    news();
    key(1, vkEscape);
    EXPECT_FALSE(menuLevel(1).isOpen());
    EXPECT_TRUE(menuLevel(0).isOpen());
    EXPECT_EQ(news(), (Told{{sub, MenuEnd, -1}, {top, Focus, 1}}));
    key(0, vkEscape);
    EXPECT_FALSE(menuLevel(0).isOpen());
    EXPECT_FALSE(triggerWindow.menuShown);
    EXPECT_EQ(news(), (Told{{top, MenuEnd, -1}}));

    // The pointer and a first letter move the focus too; a letter that finds nothing does not.
    clickTrigger();
    news();
    skipMouseMove = false;
    root().mouseMove(0, 0, 10, 75);
    key(0, 'S');
    key(0, 'X');
    EXPECT_EQ(news(), (Told{{top, Focus, 4}, {top, Focus, 1}}));

    // Closing everything ends every level, deepest first, and focuses nothing left behind.
    key(0, vkRight);
    news();
    clickTrigger();
    EXPECT_EQ(news(), (Told{{sub, MenuEnd, -1}, {top, MenuEnd, -1}}));
}

TEST_F(ScreenReaderTest, ReadersMoveTheHighlightActOnRowsAndSeeEditedRows) {
    clickTrigger();
    news();
    root().accessibleHighlight(4);
    EXPECT_EQ(root().hoverRow, 4);
    EXPECT_EQ(news(), (Told{{rec(0), Focus, 4}}));
    // A submenu row opens its submenu, and closes it when it is open.
    root().accessibleAction(1);
    ASSERT_EQ(topLevel, 1);
    EXPECT_EQ(menuLevel(1).menuId, 1);
    root().accessibleAction(1);
    EXPECT_EQ(topLevel, 0);
    EXPECT_TRUE(root().isOpen());
    // A file row runs its target and closes the menus, as a click does; out of range: nothing.
    root().accessibleAction(9);
    EXPECT_TRUE(headless::desktop().shellCalls.empty());
    root().accessibleAction(0);
    ASSERT_EQ(headless::desktop().shellCalls.size(), 1u);
    EXPECT_EQ(headless::desktop().shellCalls[0].file, "n");
    EXPECT_FALSE(triggerWindow.menuShown);

    // After an edit the rows are the new ones, and the menu does not start again.
    clickTrigger();
    editMenu.editMode = true;
    news();
    command(root(), 0, deleteCommand);
    const auto rows = root().accessibleRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].name, "Sub");
    EXPECT_EQ(rows[0].kind, RowKind::Submenu);
    for (const auto& said : news())
        EXPECT_NE(said.what, MenuStart);
}

} // namespace
} // namespace zv
