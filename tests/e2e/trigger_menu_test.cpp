// The launcher on screen: the trigger's place, the root menu beside it with the side strip,
// its painted pixels, and the trigger's clicks and drags.
#include "launcher_fixture.h"
#include "pixel_watch.h"

#include <algorithm>

namespace zv::e2e {
namespace {

// Rows: 0 header (0..20), 1 Notepad (20..40), 2 separator (40..46), 3 submenu (46..66),
// 4 folder (66..86). The root is 202 x 88 pixels.
const std::string menuFile = " 1 \r\n"
                             "Programs, 2 , 0 ,,-1 \r\n"
                             "Notepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n"
                             "Separator, 4 , 0 ,,-1 \r\n"
                             "Tools, 1 , 0 , 1 ,-1 \r\n"
                             "Windows folder, 0 , 0 ,C:\\windows,-1 \r\n"
                             "About, 0 , 1 ,C:\\windows\\system32\\winver.exe,-1 \r\n";

class TriggerMenuTest : public LauncherTest {};

TEST_F(TriggerMenuTest, TriggerStartsLowLeftAndTopmost) {
    start(menuFile);
    auto t = trigger();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rect, triggerAtStart);
    EXPECT_TRUE(t->topmost);
    EXPECT_TRUE(menus().empty());
    // The face is drawn: its middle is not the desktop's colour any more.
    const Color desktop = screen().pixel(600, 300);
    EXPECT_NE(screen().pixel(25, 704), desktop);
}

TEST_F(TriggerMenuTest, ClickOpensTheRootMenuBesideTheStripAndASecondClickClosesIt) {
    start(menuFile);
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    const Window menu = menus().front();
    // One window: the strip at the trigger's right edge, the menu at the strip's right edge,
    // bottoms level.
    const Rect window = visible("ZelvoraMenu").front().rect;
    EXPECT_EQ(window, (Rect{49, 640, 279, 728}));
    EXPECT_EQ(menu.rect, (Rect{77, 640, 279, 728}));
    auto t = trigger();
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->topmost);

    const int left = menu.rect.left, top = menu.rect.top;
    // Background, and the bevel: white top and left, dark right and bottom.
    EXPECT_TRUE(pixelBecomes(left + 190, top + 75, menuBackground));
    EXPECT_EQ(screen().pixel(left + 100, top), white);
    EXPECT_EQ(screen().pixel(left, top + 30), white);
    EXPECT_EQ(screen().pixel(left + 201, top + 30), frameDark);
    EXPECT_EQ(screen().pixel(left + 100, top + 87), frameDark);
    // The separator's etched line one pixel below its row's top, rows 2 and 3 of the picture.
    EXPECT_EQ(screen().pixel(left + 10, top + 43), (Color{195, 194, 193}));
    EXPECT_EQ(screen().pixel(left + 10, top + 44), white);
    // The header picture: its dark first line and its darker right column.
    EXPECT_EQ(screen().pixel(left + 1 + 190, top + 1), (Color{55, 58, 60}));
    EXPECT_EQ(screen().pixel(left + 1 + 199, top + 5), (Color{143, 149, 154}));
    // The submenu arrow's ink on the Tools row (arrow at 176, row top + 1).
    EXPECT_EQ(screen().pixel(left + 179, top + 47 + 6), (Color{4, 2, 4}));
    EXPECT_EQ(screen().pixel(left + 181, top + 47 + 9), (Color{4, 2, 4}));
    // The strip is light blue.
    const Color stripColour = screen().pixel(window.left + 3, window.top + 3);
    EXPECT_GT(stripColour.b, stripColour.r);

    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    EXPECT_TRUE(waitUntil(
        [&] {
            auto tr = trigger();
            return tr && tr->topmost;
        },
        5s, "the trigger to be topmost again"));
}

// While the program waits for its first click it makes the root's window (hidden) and reads
// the rows' icons; the first opening then shows exactly what every later one
// shows, in the same windows.
TEST_F(TriggerMenuTest, TheFirstOpeningIsPreparedAheadAndLooksLikeEveryLaterOne) {
    start(menuFile);
    ASSERT_TRUE(idle());
    auto hidden = [&](const std::string& className) {
        std::vector<Window> found;
        for (const auto& w : windows().windows)
            if (w.exe == "zelvora.exe" && w.className == className && !w.visible)
                found.push_back(w);
        return found;
    };
    ASSERT_TRUE(waitUntil([&] { return hidden("ZelvoraMenu").size() == 2; }, 10s,
                          "the windows of the root and the submenu level made ahead"));
    std::vector<Hwnd> madeAhead;
    for (const auto& w : hidden("ZelvoraMenu"))
        madeAhead.push_back(w.hwnd);
    auto wasMadeAhead = [&](Hwnd hwnd) {
        return std::find(madeAhead.begin(), madeAhead.end(), hwnd) != madeAhead.end();
    };

    auto openAndCapture = [&] {
        clickTrigger();
        EXPECT_TRUE(menusShown(1));
        const Window menu = menus().front();
        EXPECT_TRUE(pixelBecomes(menu.rect.left + 190, menu.rect.top + 75, menuBackground));
        EXPECT_TRUE(idle());
        return std::make_pair(menu, screen().capture(menu.rect));
    };
    const auto [first, firstImage] = openAndCapture();
    EXPECT_TRUE(wasMadeAhead(first.hwnd));
    // Notepad's icon (row 1, from x 7) is drawn on the first opening.
    long iconPixels = 0;
    for (int y = 21; y < 40; ++y)
        for (int x = 7; x < 23; ++x)
            iconPixels += firstImage.at(x, y) != menuBackground ? 1 : 0;
    EXPECT_GT(iconPixels, 20);

    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    EXPECT_EQ(hidden("ZelvoraMenu").size(), 2u) << "the closed root keeps its window, hidden";
    const auto [again, againImage] = openAndCapture();
    EXPECT_EQ(again.hwnd, first.hwnd);
    EXPECT_EQ(again.rect, first.rect);
    EXPECT_TRUE(againImage == firstImage) << "the second opening looks different";
}

// Start-up and the work before the first click (the menus' windows made and shown once where no
// monitor shows them) change no pixel of the screen outside the trigger.
TEST_F(TriggerMenuTest, NothingButTheTriggerShowsBeforeTheFirstClick) {
    const Rect desktop{0, 0, 1024, 768};
    PixelWatch watch(session().display(), screen().desktopOrigin(), screen().width(),
                     screen().height());
    // The desktop as the previous test left it, once its windows are gone from the screen.
    const auto settled = watch.settle(desktop, 300ms, 10s);
    ASSERT_TRUE(settled.has_value()) << "the screen does not settle";
    const Shot before = *settled;
    folder().write("menu.qlf", menuFile);
    folder().write("kde.qls", "");
    launch();
    auto madeAhead = [&] {
        int hidden = 0;
        for (const auto& w : windows().windows)
            hidden += w.exe == "zelvora.exe" && w.className == "ZelvoraMenu" && !w.visible;
        return hidden == 2; // the root's and the submenu level's
    };
    // Every few milliseconds for the first two seconds, then between looks at the windows
    // until that work is done.
    const auto start = Clock::now();
    int samples = 0;
    for (;;) {
        const Shot now = watch.grab(desktop);
        ++samples;
        for (int y = 0; y < now.height; ++y)
            for (int x = 0; x < now.width; ++x)
                if (!triggerAtStart.contains(x, y) &&
                    now.pixels[static_cast<std::size_t>(y * now.width + x)] !=
                        before.pixels[static_cast<std::size_t>(y * now.width + x)])
                    FAIL() << "pixel " << x << "," << y << " changed, screen " << samples;
        const auto elapsed = Clock::now() - start;
        if (elapsed >= 2s && madeAhead())
            break;
        ASSERT_LT(elapsed, 30s) << "the menus' windows were not made ahead";
    }
    EXPECT_TRUE(trigger().has_value());
    EXPECT_GT(samples, 100) << "too few screens compared to see a flash";
}

TEST_F(TriggerMenuTest, OnePixelDragMovesTheTriggerAndOpensNothing) {
    start(menuFile);
    screen().move(25, 704);
    screen().press();
    screen().move(26, 704);
    screen().release();
    EXPECT_TRUE(waitUntil(
        [&] {
            auto t = trigger();
            return t && t->rect.left == 2;
        },
        5s, "the trigger to move one pixel right"));
    EXPECT_TRUE(staysTrue([&] { return menus().empty(); }, 600ms, "no menu opens"));
    // The next click without movement opens the menu.
    clickTrigger();
    EXPECT_TRUE(menusShown(1));
}

TEST_F(TriggerMenuTest, DraggingWithTheMenuOpenClosesIt) {
    start(menuFile);
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(dragTrigger(100, -100));
    EXPECT_TRUE(menusShown(0));
    EXPECT_TRUE(staysTrue([&] { return menus().empty(); }, 600ms, "the release opens nothing"));
}

TEST_F(TriggerMenuTest, NearTheRightEdgeTheMenuOpensToTheLeft) {
    start(menuFile);
    ASSERT_TRUE(dragTrigger(900, -300));
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    const Window menu = menus().front();
    // Menu, strip, trigger from left to right; the strip is the window's right 28 pixels.
    const Rect window = visible("ZelvoraMenu").front().rect;
    EXPECT_EQ(window.right, 901);
    EXPECT_EQ(menu.rect.right, 901 - 28);
    EXPECT_EQ(menu.rect.left, window.left);
    EXPECT_EQ(menu.rect.bottom, trigger()->rect.bottom);
    const Color stripColour = screen().pixel(window.right - 3, window.top + 3);
    EXPECT_GT(stripColour.b, stripColour.r);
}

TEST_F(TriggerMenuTest, RightClickAsksToQuitNoKeepsYesEnds) {
    ProgramInstance& program = start(menuFile);
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    screen().click(25, 704, MouseButton::Right);
    auto box = messageBox("Are you sure you want to quit?", 10s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Zelvora");
    clickButton(*box, "&No");
    EXPECT_TRUE(waitUntil([&] { return visible("#32770").empty(); }, 5s, "the box to close"));
    EXPECT_TRUE(program.running());
    EXPECT_EQ(menus().size(), 1u);

    screen().click(25, 704, MouseButton::Right);
    box = messageBox("Are you sure you want to quit?", 10s);
    ASSERT_TRUE(box);
    clickButton(*box, "&Yes");
    EXPECT_TRUE(program.waitForExit(10s));
}

} // namespace
} // namespace zv::e2e
