// The launcher on screen: the trigger's place, the root menu beside it with the side strip, its
// painted pixels, and the trigger's clicks and drags.
#include "launcher_fixture.h"

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

// Before the first click the program makes the root's window (hidden) and reads the icons: the
// first opening shows exactly what every later one shows, in the same window.
TEST_F(TriggerMenuTest,
       TheTriggerOpensAndClosesTheRootBesideTheStripAsksBeforeQuittingAndIsDragged) {
    start(menuFile);
    auto t = trigger();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rect, triggerAtStart);
    EXPECT_TRUE(t->topmost);
    EXPECT_TRUE(menus().empty());
    // The face is drawn before the first click: its corner is the tile's dark blue border.
    EXPECT_TRUE(pixelBecomes(t->rect.left, t->rect.top, Color{18, 56, 124}));
    ASSERT_TRUE(idle());
    ASSERT_TRUE(waitUntil([&] { return visible("ZelvoraMenu", false).size() == 2; }, 10s,
                          "the windows of the root and the submenu level made ahead"));
    const auto madeAhead = visible("ZelvoraMenu", false);

    auto open = [&] {
        clickTrigger();
        EXPECT_TRUE(menusShown(1));
        const Window menu = menus().front();
        EXPECT_TRUE(pixelBecomes(menu.rect.left + 190, menu.rect.top + 75, menuBackground));
        EXPECT_TRUE(idle());
        EXPECT_EQ(std::ranges::count(madeAhead, menu.hwnd, &Window::hwnd), 1);
        return std::make_pair(menu, screen().capture(menu.rect));
    };
    const auto [menu, image] = open();
    EXPECT_FALSE(trigger()->topmost);
    // The bevel's bottom edge and the header picture's darker right column (the display scale
    // test looks at the window's place and size, the rest of the frame and the strip, the
    // header and the separator).
    EXPECT_EQ(image.at(100, 87), frameDark);
    EXPECT_EQ(image.at(200, 5), (Color{143, 149, 154}));
    // The submenu arrow's ink on the Tools row (arrow at 176, row top + 1).
    EXPECT_EQ(image.at(179, 53), (Color{4, 2, 4}));
    EXPECT_EQ(image.at(181, 56), (Color{4, 2, 4}));
    // Notepad's icon (row 1, from x 7) is drawn on the first opening.
    const Rect& m = menu.rect;
    const Image icon = screen().capture(Rect{m.left + 7, m.top + 21, m.left + 23, m.top + 40});
    EXPECT_GT(std::ranges::count_if(icon.pixels, [](Color c) { return c != menuBackground; }), 20);

    clickTrigger();
    ASSERT_TRUE(menusShown(0));
    EXPECT_TRUE(
        waitUntil([&] { return trigger() && trigger()->topmost; }, 5s, "a topmost trigger"));
    EXPECT_EQ(visible("ZelvoraMenu", false).size(), 2u)
        << "the closed root keeps its window, hidden";
    const auto [again, againImage] = open();
    EXPECT_EQ(again.hwnd, menu.hwnd);
    EXPECT_EQ(again.rect, menu.rect);
    EXPECT_TRUE(againImage == image) << "the second opening looks different";

    // A right click on the trigger asks to quit: No keeps everything (unicode_names_test says Yes).
    screen().click(25, 704, MouseButton::Right);
    ASSERT_NO_FATAL_FAILURE(answer("Are you sure you want to quit?", "&No"));
    EXPECT_TRUE(program_->running() && menus().size() == 1);
    clickTrigger();
    ASSERT_TRUE(menusShown(0));

    // A one-pixel drag moves the trigger and opens nothing.
    screen().move(25, 704);
    screen().press();
    screen().move(26, 704);
    screen().release();
    EXPECT_TRUE(waitUntil([&] { return trigger() && trigger()->rect.left == 2; }, 5s,
                          "the trigger to move one pixel right"));
    EXPECT_TRUE(staysTrue([&] { return menus().empty(); }, 600ms, "no menu opens"));
    // A click without movement opens the menu; a drag closes it and its release opens nothing.
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    ASSERT_TRUE(dragTrigger(100, -100));
    EXPECT_TRUE(menusShown(0));
    EXPECT_TRUE(staysTrue([&] { return menus().empty(); }, 600ms, "the release opens nothing"));
    // Near the right edge: menu, strip (the window's right 28 pixels), trigger.
    ASSERT_TRUE(dragTrigger(799, -200));
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    const Rect flipped = menus().front().rect, window = visible("ZelvoraMenu").front().rect;
    EXPECT_EQ(window.right, 901);
    EXPECT_EQ(trigger()->rect.left, 901);
    EXPECT_EQ(flipped.right, 901 - 28);
    EXPECT_EQ(flipped.left, window.left);
    EXPECT_EQ(flipped.bottom, trigger()->rect.bottom);
    const Color stripColour = screen().pixel(window.right - 3, window.top + 3);
    EXPECT_GT(stripColour.b, stripColour.r);
}

// Start-up and the work before the first click (the menus' windows made and shown once where
// no monitor shows them) change no pixel outside the trigger: no message, no flash.
TEST_F(TriggerMenuTest, NothingButTheTriggerShowsBeforeTheFirstClick) {
    // The whole X screen as the previous test left it, once its windows are gone from it.
    Image before;
    ASSERT_TRUE(waitUntil(
        [&] {
            before = screen().captureScreen();
            return bool(staysTrue([&] { return screen().captureScreen() == before; }, 300ms,
                                  "the screen to stay as it is"));
        },
        10s, "the screen to settle"));
    const Point origin = screen().desktopOrigin();
    const Rect face{triggerAtStart.left + origin.x, triggerAtStart.top + origin.y,
                    triggerAtStart.right + origin.x, triggerAtStart.bottom + origin.y};
    folder().write("menu.qlf", menuFile);
    folder().write("kde.qls", "#,Programs\r\nApp,app.ico\r\n"); // its icon file is missing
    launch();
    // Back to back for the first two seconds and the first hundred screens (a busy machine
    // captures fewer in that time), then between looks at the windows until that work is done.
    const auto start = std::chrono::steady_clock::now();
    for (int samples = 1;; ++samples) {
        Image now = screen().captureScreen();
        for (int y = face.top; y < face.bottom; ++y) // the trigger's face is left out
            for (int x = face.left; x < face.right; ++x)
                now.pixels[std::size_t(y) * now.width + x] = before.at(x, y);
        const auto changed = std::ranges::mismatch(now.pixels, before.pixels).in1;
        if (changed != now.pixels.end())
            FAIL() << "a pixel of row " << (changed - now.pixels.begin()) / now.width
                   << " changed, screen " << samples;
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (elapsed >= 2s && samples >= 100 &&
            visible("ZelvoraMenu", false).size() == 2) // the root's and the submenu's
            break;
        ASSERT_LT(elapsed, 30s) << "the menus' windows were not made ahead";
    }
    EXPECT_TRUE(trigger().has_value());
}

} // namespace
} // namespace zv::e2e
