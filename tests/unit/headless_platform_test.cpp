// The headless platform is a test double; the end-to-end tier proves the real one. Checked here
// is only what the logic's own tests would not notice were it wrong: the twips conversion both
// platforms share, and where the double must be as strict as Windows (edges left out, clipping,
// dead icons, focus and z-order, re-entrant timers, the picture as presented).
#include "platform/bitmap.h"
#include "platform/headless/headless.h"
#include "platform/icons.h"
#include "platform/screen.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zv {
namespace {

namespace fs = std::filesystem;
using headless::Canvas;
using platform::Window;
using platform::WindowStyle;

constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};
constexpr Rgb red{255, 0, 0};
constexpr Rgb green{0, 255, 0};
constexpr Rgb blue{0, 0, 255};
constexpr Rgb magenta{255, 0, 255};

// A fresh desktop and an empty temporary folder for each test.
class HeadlessPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zv-platform-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        headless::reset(folder_.string());
    }
    void TearDown() override {
        EXPECT_TRUE(headless::desktop().faults.empty())
            << "first fault: " << headless::desktop().faults.front();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // Writes a file in the temporary folder and returns its path as the program writes paths.
    std::string makeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return folder_.string() + "\\" + name;
    }

    fs::path folder_;
};

// Counts what a window tells the logic; a tick may run extra work.
struct Recorder : platform::WindowEvents {
    int ticks = 0;
    std::vector<long long> tickTimes;
    std::function<void()> onTick;
    void timerTick() override {
        ++ticks;
        tickTimes.push_back(headless::now());
        if (onTick)
            onTick();
    }
};

Picture threeByTwo() {
    Picture p(3, 2, black);
    p.set(0, 0, red);
    p.set(1, 0, green);
    p.set(2, 0, blue);
    p.set(0, 1, white);
    p.set(1, 1, magenta);
    p.set(2, 1, Rgb{10, 20, 30});
    return p;
}

// ---- Off-screen images --------------------------------------------------------------------

using HeadlessCanvas = HeadlessPlatformTest;

TEST_F(HeadlessCanvas, RectanglesLeaveOutTheirRightAndBottomEdgesAndAreClipped) {
    Canvas c(10, 10);
    c.fillRect({2, 3, 5, 6}, red);
    c.fillRect({-5, 8, 1, 20}, green);
    c.fillRect({7, 7, 6, 6}, blue); // inverted: nothing
    const std::vector<std::pair<std::pair<int, int>, Rgb>> expected{
        {{2, 3}, red},   {{4, 5}, red},   {{5, 3}, black}, {{2, 6}, black}, {{1, 3}, black},
        {{0, 9}, green}, {{1, 9}, black}, {{6, 6}, black}, {{-1, 9}, black}};
    for (const auto& [at, colour] : expected)
        EXPECT_EQ(c.pixel(at.first, at.second), colour) << at.first << "," << at.second;
}

TEST_F(HeadlessCanvas, TheOriginMovesDrawingButNotClearingOrReading) {
    Canvas c(10, 10);
    c.setOrigin(4, 2);
    c.fillRect({-4, -2, 1, 1}, red); // clipped at the image's own edge, not the origin's
    EXPECT_EQ(c.pixel(0, 0), red);
    EXPECT_EQ(c.pixel(4, 2), red);
    EXPECT_EQ(c.pixel(5, 3), black);
    c.clear(blue);
    EXPECT_EQ(c.pixel(9, 9), blue);
}

TEST_F(HeadlessCanvas, BitmapsAreClippedAndTheKeyColourIsLeftAlone) {
    const platform::Bitmap b(threeByTwo());
    Canvas c(5, 5);
    c.blt(b, -1, -1);
    c.blt(b, 4, 4);
    EXPECT_EQ(c.pixel(0, 0), magenta);
    EXPECT_EQ(c.pixel(1, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(c.pixel(2, 0), black);
    EXPECT_EQ(c.pixel(4, 4), red);
    Picture p(3, 1, magenta);
    p.set(1, 0, blue);
    c.clear(white);
    c.bltTransparent(platform::Bitmap(p), 3, 2, magenta);
    EXPECT_EQ(c.pixel(3, 2), white);
    EXPECT_EQ(c.pixel(4, 2), blue);
}

TEST_F(HeadlessCanvas, TextIsRecordedWithTheFontAndColourOfItsTimeUntilCleared) {
    Canvas c(100, 40);
    c.setFont("Tahoma", 8);
    c.setTextColour(red);
    c.drawText({1, 2, 50, 20}, "First", platform::textSingleLine);
    c.setBold(true);
    c.setFont("Verdana", 10);
    c.setTextColour(blue);
    c.drawText({3, 4, 60, 30}, "Second", platform::textCenter);
    ASSERT_EQ(c.texts().size(), 2u);
    EXPECT_EQ(c.texts()[0],
              (headless::TextRecord{
                  "First", {1, 2, 50, 20}, platform::textSingleLine, red, false, "Tahoma", 8}));
    EXPECT_EQ(c.texts()[1],
              (headless::TextRecord{
                  "Second", {3, 4, 60, 30}, platform::textCenter, blue, true, "Verdana", 10}));
    c.clear(white);
    EXPECT_TRUE(c.texts().empty());
}

// ---- Icons --------------------------------------------------------------------------------

using HeadlessIcons = HeadlessPlatformTest;

TEST_F(HeadlessIcons, UsingADestroyedIconIsAFaultAndDrawsNothing) {
    auto icon = platform::extractIcon(makeFile("a.exe", "MZ"), 16);
    ASSERT_EQ(headless::liveIcons(), 1);
    platform::destroyIcon(icon);
    EXPECT_EQ(headless::liveIcons(), 0);
    Canvas c(20, 20);
    c.drawIcon(icon, 0, 0, 16);
    platform::destroyIcon(icon);
    EXPECT_EQ(c.pixel(5, 5), black);
    EXPECT_EQ(headless::desktop().faults.size(), 2u);
    headless::desktop().faults.clear();
}

TEST_F(HeadlessIcons, OnlyOpaquePixelsAreDrawn) {
    auto icon = platform::extractIcon(makeFile("a.exe", "MZ"), 16);
    const auto* image = headless::iconImage(icon);
    Canvas c(24, 24);
    c.clear(white);
    c.drawIcon(icon, 2, 3, 16);
    EXPECT_EQ(c.pixel(2, 3), white); // the transparent corner
    EXPECT_EQ(c.pixel(3, 3), image->at(1, 0));
    EXPECT_EQ(c.pixel(17, 18), image->at(15, 15));
    EXPECT_EQ(c.pixel(18, 18), white);
}

// ---- Twips --------------------------------------------------------------------------------

TEST(DisplayScale, RoundsPixelsAndTwipsOnceToTheNearestPixel) {
    struct Case {
        int dpi, at96, pixels, twips, twipPixels;
    };
    for (const Case& c : std::vector<Case>{{96, 1, 1, 7, 0},
                                           {96, 20, 20, 8, 1},
                                           {96, 48, 48, 720, 48},
                                           {96, -3, -3, -8, -1},
                                           {120, 1, 1, 6, 1},
                                           {120, 6, 8, 5, 0},
                                           {120, 200, 250, 720, 60},
                                           {144, 1, 2, 720, 72},
                                           {144, 6, 9, -1500, -150},
                                           {144, 28, 42, 15, 2},
                                           {192, 1, 2, 720, 96},
                                           {192, 20, 40, 11, 1},
                                           {192, 200, 400, 4, 1}}) {
        const platform::DisplayScale scale{c.dpi};
        EXPECT_EQ(scale.pixels(c.at96), c.pixels) << c.dpi << " dpi, " << c.at96;
        EXPECT_EQ(scale.twipsToPixels(c.twips), c.twipPixels) << c.dpi << " dpi, " << c.twips;
    }
}

// ---- Windows ------------------------------------------------------------------------------

using HeadlessWindow = HeadlessPlatformTest;

TEST_F(HeadlessWindow, PresentShowsTheImageAsItWasThen) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.place(0, 0, 150, 150, {});
    const auto& rec = headless::record(w);
    w.surface().clear(green);
    w.present();
    w.surface().fillRect({0, 0, 5, 5}, red);
    EXPECT_EQ(rec.presented.at(0, 0), green);
    w.present();
    EXPECT_EQ(rec.presents, 2);
    EXPECT_EQ(rec.presented.at(0, 0), red);
}

// ---- Focus and z-order --------------------------------------------------------------------

using HeadlessFocus = HeadlessPlatformTest;

TEST_F(HeadlessFocus, ShowingTakesNoFocusAndHidingHandsItAway) {
    Recorder e;
    Window menu(WindowStyle::Menu, e, "menu");
    Window sub(WindowStyle::Menu, e, "sub");
    menu.show();
    EXPECT_EQ(headless::focusedWindow(), nullptr);
    menu.focus();
    sub.show();
    sub.focus();
    menu.hide(); // not focused: the focus stays
    EXPECT_EQ(headless::focusedWindow(), &headless::record(sub));
    sub.hide();
    EXPECT_EQ(headless::focusedWindow(), nullptr);
}

TEST_F(HeadlessFocus, TopmostWindowsStayAboveTheOthers) {
    Recorder e;
    Window trigger(WindowStyle::Trigger, e, "trigger");
    trigger.setTopmost(true);
    Window menu(WindowStyle::Menu, e, "menu");
    Window sub(WindowStyle::Menu, e, "sub");
    auto* t = &headless::record(trigger);
    auto* m = &headless::record(menu);
    auto* s = &headless::record(sub);
    using Order = std::vector<headless::WindowRecord*>;
    // New windows come to the top of the ordinary band, under the topmost trigger.
    EXPECT_EQ(headless::zOrder(), (Order{t, s, m}));
    menu.show(); // shown without activation: stays where it is
    EXPECT_EQ(headless::zOrder(), (Order{t, s, m}));
    menu.focus();
    EXPECT_EQ(headless::zOrder(), (Order{t, m, s}));
    sub.setTopmost(true);
    EXPECT_EQ(headless::zOrder(), (Order{s, t, m}));
    trigger.setTopmost(false);
    menu.focus();
    EXPECT_EQ(headless::zOrder(), (Order{s, m, t}));
}

// ---- Timers on the manual clock -----------------------------------------------------------

using HeadlessTimers = HeadlessPlatformTest;

TEST_F(HeadlessTimers, FireInDueOrderOncePerIntervalFromTheLastStart) {
    std::string order;
    Recorder ea, eb;
    ea.onTick = [&] { order += 'A'; };
    eb.onTick = [&] { order += 'B'; };
    Window a(WindowStyle::Menu, ea, "a");
    Window b(WindowStyle::Menu, eb, "b");
    a.startTimer(300);
    b.startTimer(100);
    headless::advanceClock(50);
    b.startTimer(150); // restarts from now
    headless::advanceClock(550);
    // 200 B, 300 A, 350 B, 500 B, 600 A: the older window first when both are due.
    EXPECT_EQ(order, "BABBA");
    EXPECT_EQ(ea.tickTimes, (std::vector<long long>{300, 600}));
    a.stopTimer();
    b.startTimer(0); // raised to the system minimum of 10 ms
    headless::advanceClock(25);
    EXPECT_EQ(order, "BABBABB");
}

TEST_F(HeadlessTimers, HandlersMayStopRestartOrDestroyWindows) {
    Recorder ea, eb, ec;
    Window a(WindowStyle::Menu, ea, "a");
    auto b = std::make_unique<Window>(WindowStyle::Menu, eb, "b");
    auto c = std::make_unique<Window>(WindowStyle::Menu, ec, "c");
    ea.onTick = [&] {
        if (ea.ticks == 1)
            a.startTimer(300);
        else
            a.stopTimer();
        b.reset(); // due at the same time, later in the order
    };
    ec.onTick = [&] { c.reset(); };
    a.startTimer(500);
    b->startTimer(500);
    c->startTimer(400);
    headless::advanceClock(5000);
    EXPECT_EQ(ea.tickTimes, (std::vector<long long>{500, 800}));
    EXPECT_EQ(eb.ticks, 0);
    EXPECT_EQ(ec.ticks, 1);
    EXPECT_EQ(headless::windows().size(), 1u);
}

} // namespace
} // namespace zv
