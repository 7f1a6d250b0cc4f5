// The menus as a screen reader in another process meets them: the object behind each menu
// window with its rows, and the events as the user moves through the menus with the keys.
#include "launcher_fixture.h"

namespace zv::e2e {
namespace {

// oleacc's numbers, as a reader gets them.
constexpr long roleMenuPopup = 11, roleMenuItem = 12, roleSeparator = 21;
constexpr long unavailable = 0x1, selected = 0x2, focused = 0x4, collapsed = 0x400;
constexpr long selectable = 0x200000, focusable = 0x100000, hasPopup = 0x40000000;
constexpr unsigned long invalidArgument = 0x80070057;
constexpr std::uint32_t menuStart = 0x6, menuEnd = 0x7, focus = 0x8005, stateChange = 0x800A;

// Root: 0 &Tools (submenu 1), 1 Notepad, 2 a header, 3 a separator (6 pixels), 4 Quit.
// Submenu 1: Alpha, Beta. The keys never rest on a submenu row, where the hover timer would
// open it by itself.
const std::string menuFile = " 1 \r\n"
                             "&Tools, 1 , 0 , 1 ,-1 \r\n"
                             "Notepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n"
                             "Programs, 2 , 0 ,,-1 \r\n"
                             "Line, 4 , 0 ,,-1 \r\n"
                             "Quit, 3 , 0 , 0 ,-1 \r\n"
                             "Alpha, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n"
                             "Beta, 0 , 1 ,C:\\windows\\notepad.exe,-1 \r\n";

using ScreenReaderTest = LauncherTest;

// A reader in another process asks the root's object for its rows and hears, through an
// out-of-context hook, the menus open, move and close.
TEST_F(ScreenReaderTest, AReaderInAnotherProcessGetsTheRowsAndHearsTheMenusOpenMoveAndClose) {
    start(menuFile);
    const std::string log = "events.txt";
    ChildProcess recorder =
        session().recordEvents(ProgramFolder::exeName, folder().windowsPath() + "\\" + log, 120);
    // The row events, each with the name the object gives; the system's own focus events for
    // whole windows (child 0) are left out.
    std::vector<std::pair<std::uint32_t, std::string>> heard, expected;
    auto hears = [&](std::vector<std::pair<std::uint32_t, std::string>> more) {
        expected.insert(expected.end(), more.begin(), more.end());
        auto result = waitUntil(
            [&] {
                heard.clear();
                const EventLog events = parseEventLog(readFile(folder().path() / log));
                for (const HeardEvent& e : events.events)
                    if (e.event != focus || e.child != 0)
                        heard.emplace_back(e.event, e.name);
                return heard == expected;
            },
            10s, "the events so far");
        for (const auto& [event, name] : heard)
            result << "\n  heard " << std::hex << event << " " << name;
        return result;
    };
    ASSERT_TRUE(waitUntil([&] { return parseEventLog(readFile(folder().path() / log)).listening; },
                          20s, "the hook in place"));

    clickTrigger();
    ASSERT_TRUE(hears({{menuStart, "Zelvora"}, {focus, "Tools"}}));
    const Window root = menus().front();
    const AccessibleReport report = session().accessible(root.hwnd);
    ASSERT_EQ(report.failure, 0u);
    EXPECT_EQ(report.self.role, roleMenuPopup);
    EXPECT_EQ(report.self.name, "Zelvora");
    ASSERT_EQ(report.childCount, 5);
    ASSERT_EQ(report.rows.size(), 6u);
    EXPECT_EQ(report.focus, 1) << "the first row has the keyboard";
    struct Expected {
        const char* name;
        long role, state;
        const char* action;
        int top, bottom; // below the menu's top
    };
    const Expected rows[] = {
        {"Tools", roleMenuItem, focusable | selectable | hasPopup | collapsed | focused | selected,
         "Open", 0, 20},
        {"Notepad", roleMenuItem, focusable | selectable, "Execute", 20, 40},
        {"Programs", roleMenuItem, unavailable, "", 40, 60},
        {"", roleSeparator, 0, "", 60, 66},
        {"Quit", roleMenuItem, focusable | selectable, "Execute", 66, 86},
    };
    const Rect m = root.rect; // the menu without the side strip
    for (std::size_t i = 0; i < 5; ++i) {
        const AccessibleEntry& row = report.rows[i];
        EXPECT_EQ(row.name, rows[i].name) << i;
        EXPECT_EQ(row.role, rows[i].role) << i;
        EXPECT_EQ(row.state, rows[i].state) << i;
        EXPECT_EQ(row.defaultAction, rows[i].action) << i;
        EXPECT_EQ(row.locationResult, 0u) << i;
        EXPECT_EQ(row.place,
                  (Rect{m.left, m.top + rows[i].top, m.left + 200, m.top + rows[i].bottom}))
            << i;
    }
    EXPECT_EQ(report.rows[5].locationResult, invalidArgument) << "no row 6";
    EXPECT_EQ(report.rows[5].role, -1);

    screen().key("Right");
    ASSERT_TRUE(hears({{stateChange, "Tools"}, {menuStart, "Tools"}, {focus, "Alpha"}}));
    screen().key("Down");
    ASSERT_TRUE(hears({{focus, "Beta"}}));
    screen().key("Left");
    ASSERT_TRUE(hears({{menuEnd, "Tools"}, {focus, "Tools"}}));
    ASSERT_TRUE(menusShown(1));
    screen().key("Down");
    ASSERT_TRUE(hears({{focus, "Notepad"}}));
    // The object follows the highlight.
    const AccessibleReport after = session().accessible(root.hwnd);
    EXPECT_EQ(after.focus, 2);
    ASSERT_EQ(after.rows.size(), 6u);
    EXPECT_EQ(after.rows[1].state, focusable | selectable | focused | selected);
    EXPECT_EQ(after.rows[0].state, focusable | selectable | hasPopup | collapsed);
    screen().key("Escape");
    ASSERT_TRUE(hears({{menuEnd, "Zelvora"}}));
    EXPECT_TRUE(menusShown(0));
    folder().write(log + ".stop", "");
    EXPECT_TRUE(recorder.waitForExit(10s));
}

// What no reader in another process can bring about: the action carried out only after the
// reader's call has returned, rows changed under the object, and the object once its window is
// gone; checked in-process by a program built on the same window code.
TEST_F(ScreenReaderTest, TheObjectActsAfterTheCallFollowsNewRowsAndLetsGoOfItsWindow) {
    const fs::path check =
        fs::path(ZV_E2E_WINDOWS_BUILD) / "tests/e2e/accessible_check/accessible_check.exe";
    const CommandResult result = session().runWine({check.string()});
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitStatus, 0) << result.output;
}

} // namespace
} // namespace zv::e2e
