// The headless platform is what every logic test stands on, so its drawing, icons, windows,
// clock and shell records are checked here against what Windows does.
#include "platform/bitmap.h"
#include "platform/headless/headless.h"
#include "platform/icons.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
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
    std::string programPath(const std::string& name) const {
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

TEST_F(HeadlessCanvas, ANewImageIsBlackAndReadsBlackOutside) {
    Canvas c(4, 3);
    EXPECT_EQ(c.width(), 4);
    EXPECT_EQ(c.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(c.pixel(x, y), black);
    c.clear(white);
    EXPECT_EQ(c.pixel(-1, 0), black);
    EXPECT_EQ(c.pixel(0, -1), black);
    EXPECT_EQ(c.pixel(4, 0), black);
    EXPECT_EQ(c.pixel(0, 3), black);
    EXPECT_EQ(c.pixel(3, 2), white);
}

TEST_F(HeadlessCanvas, FillRectLeavesOutTheRightAndBottomEdges) {
    Canvas c(10, 10);
    c.fillRect({2, 3, 5, 6}, red);
    EXPECT_EQ(c.pixel(2, 3), red);
    EXPECT_EQ(c.pixel(4, 5), red);
    EXPECT_EQ(c.pixel(5, 3), black);
    EXPECT_EQ(c.pixel(2, 6), black);
    EXPECT_EQ(c.pixel(1, 3), black);
    EXPECT_EQ(c.pixel(2, 2), black);
}

TEST_F(HeadlessCanvas, FillRectIsClippedToTheImage) {
    Canvas c(10, 10);
    c.fillRect({-5, -5, 3, 3}, red);
    c.fillRect({8, 8, 20, 20}, green);
    EXPECT_EQ(c.pixel(0, 0), red);
    EXPECT_EQ(c.pixel(2, 2), red);
    EXPECT_EQ(c.pixel(3, 3), black);
    EXPECT_EQ(c.pixel(9, 9), green);
    EXPECT_EQ(c.pixel(8, 8), green);
    EXPECT_EQ(c.pixel(7, 9), black);
}

TEST_F(HeadlessCanvas, AnInvertedOrEmptyRectangleFillsNothing) {
    Canvas c(6, 6);
    c.fillRect({4, 4, 1, 1}, red);
    c.fillRect({2, 2, 2, 5}, red);
    EXPECT_EQ(c.snapshot().pixels(), Canvas(6, 6).snapshot().pixels());
}

TEST_F(HeadlessCanvas, OutlineDrawsAllFourSidesCornersIncluded) {
    Canvas c(8, 8);
    c.outline(1, 1, 4, 3, red);
    for (int x = 1; x <= 4; ++x) {
        EXPECT_EQ(c.pixel(x, 1), red) << x;
        EXPECT_EQ(c.pixel(x, 3), red) << x;
    }
    for (int y = 1; y <= 3; ++y) {
        EXPECT_EQ(c.pixel(1, y), red) << y;
        EXPECT_EQ(c.pixel(4, y), red) << y;
    }
    EXPECT_EQ(c.pixel(2, 2), black);
    EXPECT_EQ(c.pixel(3, 2), black);
    EXPECT_EQ(c.pixel(5, 1), black);
    EXPECT_EQ(c.pixel(1, 4), black);
    EXPECT_EQ(c.pixel(0, 0), black);
}

TEST_F(HeadlessCanvas, OutlineWithSwappedCornersDrawsTheSameBox) {
    Canvas a(8, 8), b(8, 8);
    a.outline(1, 2, 5, 6, green);
    b.outline(5, 6, 1, 2, green);
    EXPECT_EQ(a.snapshot().pixels(), b.snapshot().pixels());
}

TEST_F(HeadlessCanvas, OutlinePartlyOutsideDrawsOnlyTheVisibleSides) {
    Canvas c(10, 10);
    c.outline(-2, -2, 3, 3, blue);
    EXPECT_EQ(c.pixel(3, 0), blue);
    EXPECT_EQ(c.pixel(0, 3), blue);
    EXPECT_EQ(c.pixel(3, 3), blue);
    EXPECT_EQ(c.pixel(0, 0), black);
    EXPECT_EQ(c.pixel(1, 1), black);
    EXPECT_EQ(c.pixel(4, 3), black);
    c.outline(8, 8, 12, 12, red);
    EXPECT_EQ(c.pixel(8, 9), red);
    EXPECT_EQ(c.pixel(9, 8), red);
    EXPECT_EQ(c.pixel(9, 9), black);
}

TEST_F(HeadlessCanvas, OneRowOutlineIsALine) {
    Canvas c(6, 3);
    c.outline(1, 1, 4, 1, red);
    for (int x = 1; x <= 4; ++x)
        EXPECT_EQ(c.pixel(x, 1), red);
    EXPECT_EQ(c.pixel(0, 1), black);
    EXPECT_EQ(c.pixel(5, 1), black);
    EXPECT_EQ(c.pixel(2, 0), black);
    EXPECT_EQ(c.pixel(2, 2), black);
}

TEST_F(HeadlessCanvas, BltCopiesTheWholeBitmapAtItsOffset) {
    Canvas c(10, 10);
    c.clear(Rgb{1, 2, 3});
    const Picture p = threeByTwo();
    c.blt(platform::Bitmap(p), 4, 5);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(c.pixel(4 + x, 5 + y), p.at(x, y)) << x << "," << y;
    EXPECT_EQ(c.pixel(3, 5), (Rgb{1, 2, 3}));
    EXPECT_EQ(c.pixel(7, 5), (Rgb{1, 2, 3}));
    EXPECT_EQ(c.pixel(4, 4), (Rgb{1, 2, 3}));
    EXPECT_EQ(c.pixel(4, 7), (Rgb{1, 2, 3}));
}

TEST_F(HeadlessCanvas, BltIsClippedAtEveryEdge) {
    const platform::Bitmap b(threeByTwo());
    Canvas c(5, 5);
    c.blt(b, -1, -1);
    EXPECT_EQ(c.pixel(0, 0), magenta);
    EXPECT_EQ(c.pixel(1, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(c.pixel(2, 0), black);
    EXPECT_EQ(c.pixel(0, 1), black);
    c.blt(b, 4, 4);
    EXPECT_EQ(c.pixel(4, 4), red);
    c.blt(b, 7, 7);  // wholly outside
    c.blt(b, -3, 0); // ends just left of the image
    EXPECT_EQ(c.pixel(0, 0), magenta);
    EXPECT_EQ(c.pixel(4, 4), red);
}

TEST_F(HeadlessCanvas, TransparentBltLeavesKeyColouredPixelsAlone) {
    Picture p(3, 1, magenta);
    p.set(1, 0, blue);
    Canvas c(5, 1);
    c.clear(white);
    c.bltTransparent(platform::Bitmap(p), 1, 0, magenta);
    EXPECT_EQ(c.pixel(0, 0), white);
    EXPECT_EQ(c.pixel(1, 0), white);
    EXPECT_EQ(c.pixel(2, 0), blue);
    EXPECT_EQ(c.pixel(3, 0), white);
    // With another key the same picture copies every pixel.
    c.bltTransparent(platform::Bitmap(p), 1, 0, green);
    EXPECT_EQ(c.pixel(1, 0), magenta);
    EXPECT_EQ(c.pixel(3, 0), magenta);
}

TEST_F(HeadlessCanvas, TransparentBltIsClipped) {
    Picture p(2, 2, blue);
    p.set(0, 0, magenta);
    Canvas c(3, 3);
    c.bltTransparent(platform::Bitmap(p), 2, 2, magenta);
    EXPECT_EQ(c.pixel(2, 2), black);
    c.bltTransparent(platform::Bitmap(p), -1, -1, magenta);
    EXPECT_EQ(c.pixel(0, 0), blue);
    EXPECT_EQ(c.pixel(1, 0), black);
}

TEST_F(HeadlessCanvas, TextIsRecordedInOrderWithTheFontAndColourOfItsTime) {
    Canvas c(100, 40);
    c.drawText({0, 0, 10, 10}, "plain", 0);
    c.setFont("Tahoma", 8);
    c.setTextColour(red);
    c.drawText({1, 2, 50, 20}, "First", platform::textSingleLine | platform::textVCenter);
    c.setBold(true);
    c.setFont("Verdana", 10);
    c.setTextColour(blue);
    c.drawText({3, 4, 60, 30}, "Second", platform::textCenter);
    ASSERT_EQ(c.texts().size(), 3u);
    EXPECT_EQ(c.texts()[0],
              (headless::TextRecord{"plain", {0, 0, 10, 10}, 0, black, false, "", 0}));
    EXPECT_EQ(c.texts()[1],
              (headless::TextRecord{"First", {1, 2, 50, 20}, 36, red, false, "Tahoma", 8}));
    EXPECT_EQ(c.texts()[2],
              (headless::TextRecord{"Second", {3, 4, 60, 30}, 1, blue, true, "Verdana", 10}));
    // Text is not rasterised: the pixels stay as they were.
    EXPECT_EQ(c.pixel(5, 5), black);
}

TEST_F(HeadlessCanvas, ClearAndResizeForgetTheTextButKeepTheFont) {
    Canvas c(20, 20);
    c.setFont("Tahoma", 9);
    c.setBold(true);
    c.drawText({0, 0, 5, 5}, "gone", 0);
    c.clear(white);
    EXPECT_TRUE(c.texts().empty());
    c.drawText({0, 0, 5, 5}, "kept", 0);
    c.resize(30, 10);
    EXPECT_TRUE(c.texts().empty());
    EXPECT_EQ(c.width(), 30);
    EXPECT_EQ(c.height(), 10);
    EXPECT_EQ(c.pixel(0, 0), black);
    c.drawText({0, 0, 5, 5}, "after", 0);
    ASSERT_EQ(c.texts().size(), 1u);
    EXPECT_EQ(c.texts()[0].face, "Tahoma");
    EXPECT_EQ(c.texts()[0].points, 9);
    EXPECT_TRUE(c.texts()[0].bold);
}

TEST_F(HeadlessCanvas, FillRectOverTextKeepsTheRecord) {
    Canvas c(20, 20);
    c.drawText({0, 0, 5, 5}, "caption", 0);
    c.fillRect({0, 0, 20, 20}, red);
    EXPECT_EQ(c.texts().size(), 1u);
}

// ---- Bitmaps ------------------------------------------------------------------------------

using HeadlessBitmap = HeadlessPlatformTest;

TEST_F(HeadlessBitmap, HoldsThePicturesPixels) {
    const Picture p = threeByTwo();
    platform::Bitmap b(p);
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(b.pixel(x, y), p.at(x, y));
    EXPECT_EQ(b.pixel(3, 0), black);
    EXPECT_EQ(b.pixel(0, -1), black);
}

TEST_F(HeadlessBitmap, MovingKeepsThePixels) {
    platform::Bitmap a(threeByTwo());
    platform::Bitmap b(std::move(a));
    EXPECT_EQ(b.pixel(1, 1), magenta);
    platform::Bitmap c(Picture(1, 1, red));
    c = std::move(b);
    EXPECT_EQ(c.pixel(2, 0), blue);
    EXPECT_EQ(c.width(), 3);
}

TEST_F(HeadlessBitmap, AnEmptyPictureCopiesNothing) {
    platform::Bitmap b{Picture()};
    EXPECT_EQ(b.width(), 0);
    Canvas c(2, 2);
    c.clear(white);
    c.blt(b, 0, 0);
    EXPECT_EQ(c.pixel(0, 0), white);
}

// ---- Icons --------------------------------------------------------------------------------

using HeadlessIcons = HeadlessPlatformTest;

TEST_F(HeadlessIcons, AFileGivesTheSameSmallIconEveryTime) {
    const std::string path = makeFile("tool.exe", "MZ");
    auto first = platform::extractSmallIcon(path);
    auto second = platform::extractSmallIcon(path);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second); // each extraction is an icon of its own
    const auto* a = headless::iconImage(first);
    const auto* b = headless::iconImage(second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->size, 16);
    EXPECT_EQ(a->pixels, b->pixels);
    EXPECT_EQ(a->opaque, b->opaque);
    EXPECT_FALSE(a->opaqueAt(0, 0));
    EXPECT_TRUE(a->opaqueAt(1, 0));
    EXPECT_TRUE(a->opaqueAt(15, 15));
    EXPECT_NE(a->at(1, 1), a->at(15, 15));
    EXPECT_EQ(headless::liveIcons(), 2);
}

TEST_F(HeadlessIcons, PathsThatDifferOnlyInCaseGiveTheSameIcon) {
    makeFile("tool.exe", "MZ");
    // The host file system is case-sensitive, so the shouted name is a file of its own; Windows
    // would find the same file, and the icon must not tell the spellings apart.
    auto a = platform::extractSmallIcon(programPath("tool.exe"));
    std::string shouted = programPath("tool.exe");
    const auto slash = shouted.rfind('\\');
    for (std::size_t i = slash; i < shouted.size(); ++i)
        shouted[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(shouted[i])));
    makeFile("TOOL.EXE", "MZ");
    auto b = platform::extractSmallIcon(shouted);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(headless::iconImage(a)->pixels, headless::iconImage(b)->pixels);
}

TEST_F(HeadlessIcons, DifferentFilesGiveDifferentIcons) {
    auto a = platform::extractSmallIcon(makeFile("one.exe", "x"));
    auto b = platform::extractSmallIcon(makeFile("two.exe", "x"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(headless::iconImage(a)->at(1, 1), headless::iconImage(b)->at(1, 1));
}

TEST_F(HeadlessIcons, TheLargeIconIs32PixelsInTheSameColours) {
    const std::string path = makeFile("big.dll", "data");
    auto small = platform::extractSmallIcon(path);
    auto large = platform::extractLargeIcon(path);
    ASSERT_NE(large, nullptr);
    const auto* l = headless::iconImage(large);
    const auto* s = headless::iconImage(small);
    EXPECT_EQ(l->size, 32);
    EXPECT_EQ(l->pixels.size(), 32u * 32u);
    EXPECT_FALSE(l->opaqueAt(0, 0));
    EXPECT_EQ(l->at(1, 1), s->at(1, 1));
    EXPECT_EQ(l->at(31, 31), s->at(15, 15));
}

TEST_F(HeadlessIcons, MissingEmptyAndFolderPathsHaveNoIcon) {
    const std::string empty = makeFile("empty.exe", "");
    fs::create_directory(folder_ / "folder");
    for (const std::string& path :
         {programPath("missing.exe"), empty, programPath("folder"), std::string()}) {
        EXPECT_EQ(platform::extractSmallIcon(path), nullptr) << path;
        EXPECT_EQ(platform::extractLargeIcon(path), nullptr) << path;
    }
    EXPECT_EQ(headless::liveIcons(), 0);
}

TEST_F(HeadlessIcons, DestroyingAnIconReleasesIt) {
    auto icon = platform::extractLargeIcon(makeFile("a.exe", "MZ"));
    ASSERT_EQ(headless::liveIcons(), 1);
    platform::destroyIcon(icon);
    EXPECT_EQ(headless::liveIcons(), 0);
    EXPECT_EQ(headless::iconImage(icon), nullptr);
    platform::destroyIcon(nullptr); // allowed, like DestroyIcon(NULL) failing quietly
    EXPECT_TRUE(headless::desktop().faults.empty());
}

TEST_F(HeadlessIcons, UsingADestroyedIconIsAFaultAndDrawsNothing) {
    auto icon = platform::extractSmallIcon(makeFile("a.exe", "MZ"));
    platform::destroyIcon(icon);
    Canvas c(20, 20);
    c.drawIcon(icon, 0, 0, 16);
    platform::destroyIcon(icon);
    EXPECT_EQ(c.pixel(5, 5), black);
    EXPECT_EQ(headless::desktop().faults.size(), 2u);
    headless::desktop().faults.clear();
}

TEST_F(HeadlessIcons, DrawingAnIconPaintsItsOpaquePixelsOnly) {
    auto icon = platform::extractSmallIcon(makeFile("a.exe", "MZ"));
    const auto* image = headless::iconImage(icon);
    Canvas c(24, 24);
    c.clear(white);
    c.drawIcon(icon, 2, 3, 16);
    EXPECT_EQ(c.pixel(2, 3), white); // the transparent corner
    EXPECT_EQ(c.pixel(3, 3), image->at(1, 0));
    EXPECT_EQ(c.pixel(2, 4), image->at(0, 1));
    EXPECT_EQ(c.pixel(17, 18), image->at(15, 15));
    EXPECT_EQ(c.pixel(18, 18), white);
    EXPECT_EQ(c.pixel(17, 19), white);
    EXPECT_EQ(c.pixel(1, 3), white);
}

TEST_F(HeadlessIcons, DrawingAtAnotherSizeStretchesTheImage) {
    auto large = platform::extractLargeIcon(makeFile("a.exe", "MZ"));
    const auto* image = headless::iconImage(large);
    Canvas c(16, 16);
    c.clear(white);
    c.drawIcon(large, 0, 0, 16);
    EXPECT_EQ(c.pixel(0, 0), white);
    EXPECT_EQ(c.pixel(7, 7), image->at(14, 14));
    EXPECT_EQ(c.pixel(8, 8), image->at(16, 16));
    EXPECT_NE(c.pixel(7, 7), c.pixel(8, 8));
    platform::destroyIcon(large);
}

TEST_F(HeadlessIcons, ANullIconOrAnIconOffTheImageDrawsNothing) {
    auto icon = platform::extractSmallIcon(makeFile("a.exe", "MZ"));
    Canvas c(8, 8);
    c.clear(white);
    c.drawIcon(nullptr, 0, 0, 16);
    c.drawIcon(icon, 8, 8, 16);
    c.drawIcon(icon, -16, 0, 16);
    EXPECT_EQ(c.snapshot().pixels(), std::vector<Rgb>(64, white));
    c.drawIcon(icon, -15, -15, 16);
    EXPECT_EQ(c.pixel(0, 0), headless::iconImage(icon)->at(15, 15));
}

TEST_F(HeadlessIcons, ResetDestroysEveryIcon) {
    platform::extractSmallIcon(makeFile("a.exe", "MZ"));
    platform::extractLargeIcon(makeFile("b.exe", "MZ"));
    EXPECT_EQ(headless::liveIcons(), 2);
    headless::reset(folder_.string());
    EXPECT_EQ(headless::liveIcons(), 0);
}

// ---- The screen ---------------------------------------------------------------------------

using HeadlessScreen = HeadlessPlatformTest;

TEST_F(HeadlessScreen, DefaultsTo1024By768At15TwipsPerPixel) {
    const auto s = platform::screen();
    EXPECT_EQ(s.widthTwips, 15360);
    EXPECT_EQ(s.heightTwips, 11520);
    EXPECT_EQ(s.twipsPerPixelX, 15);
    EXPECT_EQ(s.twipsPerPixelY, 15);
}

TEST_F(HeadlessScreen, FollowsTheSettingsAndResetRestoresThem) {
    auto& d = headless::desktop();
    d.screenWidthPixels = 1280;
    d.screenHeightPixels = 1024;
    d.twipsPerPixelX = 12;
    d.twipsPerPixelY = 10;
    const auto s = platform::screen();
    EXPECT_EQ(s.widthTwips, 15360);
    EXPECT_EQ(s.heightTwips, 10240);
    EXPECT_EQ(s.twipsPerPixelX, 12);
    EXPECT_EQ(s.twipsPerPixelY, 10);
    headless::reset(folder_.string());
    EXPECT_EQ(platform::screen().widthTwips, 15360);
    EXPECT_EQ(platform::screen().twipsPerPixelY, 15);
}

TEST(HeadlessTwipsToPixels, RoundsToTheNearestPixel) {
    EXPECT_EQ(platform::twipsToPixels(0, 15), 0);
    EXPECT_EQ(platform::twipsToPixels(7, 15), 0);
    EXPECT_EQ(platform::twipsToPixels(8, 15), 1);
    EXPECT_EQ(platform::twipsToPixels(15, 15), 1);
    EXPECT_EQ(platform::twipsToPixels(22, 15), 1);
    EXPECT_EQ(platform::twipsToPixels(23, 15), 2);
    EXPECT_EQ(platform::twipsToPixels(720, 15), 48);
    EXPECT_EQ(platform::twipsToPixels(6, 12), 1); // a half rounds away from zero
    EXPECT_EQ(platform::twipsToPixels(5, 12), 0);
    EXPECT_EQ(platform::twipsToPixels(-8, 15), -1);
    EXPECT_EQ(platform::twipsToPixels(-7, 15), 0);
    EXPECT_EQ(platform::twipsToPixels(-1500, 15), -100);
}

// ---- Windows ------------------------------------------------------------------------------

using HeadlessWindow = HeadlessPlatformTest;

TEST_F(HeadlessWindow, ANewWindowIsAHiddenRecordInCreationOrder) {
    Recorder e1, e2;
    Window menu(WindowStyle::Menu, e1, "Menu one");
    Window trigger(WindowStyle::Trigger, e2, "Trigger");
    const auto all = headless::windows();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], &headless::record(menu));
    EXPECT_EQ(all[1], &headless::record(trigger));
    EXPECT_EQ(all[0]->title, "Menu one");
    EXPECT_EQ(all[0]->style, WindowStyle::Menu);
    EXPECT_EQ(all[1]->style, WindowStyle::Trigger);
    EXPECT_LT(all[0]->serial, all[1]->serial);
    EXPECT_FALSE(menu.visible());
    EXPECT_FALSE(all[0]->visible);
    EXPECT_FALSE(all[0]->topmost);
    EXPECT_EQ(headless::focusedWindow(), nullptr);
    EXPECT_NE(menu.handle(), nullptr);
    EXPECT_NE(menu.handle(), trigger.handle());
    EXPECT_EQ(headless::findWindow(menu.handle()), all[0]);
}

TEST_F(HeadlessWindow, DestroyingAWindowTakesItsRecordAway) {
    Recorder e;
    auto w = std::make_unique<Window>(WindowStyle::Menu, e, "x");
    void* handle = w->handle();
    w->show();
    ASSERT_EQ(headless::focusedWindow(), headless::findWindow(handle));
    w.reset();
    EXPECT_TRUE(headless::windows().empty());
    EXPECT_TRUE(headless::zOrder().empty());
    EXPECT_EQ(headless::findWindow(handle), nullptr);
    EXPECT_EQ(headless::focusedWindow(), nullptr);
}

TEST_F(HeadlessWindow, EventsAndSurfaceReachTheTestThroughTheRecord) {
    struct Clicks : platform::WindowEvents {
        std::vector<std::string> seen;
        void mouseDown(int b, int s, double x, double y) override {
            seen.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " +
                           std::to_string(static_cast<int>(x)) + " " +
                           std::to_string(static_cast<int>(y)));
        }
        void keyDown(int key, int s) override {
            seen.push_back("key " + std::to_string(key) + " " + std::to_string(s));
        }
    } clicks;
    Window w(WindowStyle::Menu, clicks, "m");
    auto& rec = headless::record(w);
    EXPECT_EQ(&rec.surface, &w.surface());
    rec.events->mouseDown(platform::buttonRight, 2, -3.0, 7.0);
    rec.events->keyDown(40, 1);
    EXPECT_EQ(clicks.seen, (std::vector<std::string>{"down 2 2 -3 7", "key 40 1"}));
}

TEST_F(HeadlessWindow, PlaceConvertsTwipsToPixels) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.place(1500, 757, 720, 437);
    const auto& rec = headless::record(w);
    EXPECT_EQ(rec.leftTwips, 1500);
    EXPECT_EQ(rec.topTwips, 757);
    EXPECT_EQ(rec.widthTwips, 720);
    EXPECT_EQ(rec.heightTwips, 437);
    EXPECT_EQ(rec.pixels, (Rect{100, 50, 148, 79}));
    EXPECT_EQ(w.surface().width(), 48);
    EXPECT_EQ(w.surface().height(), 29);
}

TEST_F(HeadlessWindow, PlaceUsesTheScreensTwipsPerPixel) {
    headless::desktop().twipsPerPixelX = 12;
    headless::desktop().twipsPerPixelY = 10;
    Recorder e;
    Window w(WindowStyle::Trigger, e, "t");
    w.place(-120, 100, 720, 720);
    EXPECT_EQ(headless::record(w).pixels, (Rect{-10, 10, 50, 82}));
    EXPECT_EQ(w.surface().width(), 60);
    EXPECT_EQ(w.surface().height(), 72);
}

TEST_F(HeadlessWindow, TheImageIsKeptWhileTheSizeStaysAndRenewedWhenItChanges) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.place(0, 0, 300, 300);
    w.surface().clear(red);
    w.surface().drawText({0, 0, 5, 5}, "x", 0);
    w.place(1500, 1500, 300, 300); // moved, same size
    EXPECT_EQ(w.surface().pixel(19, 19), red);
    EXPECT_EQ(headless::record(w).surface.texts().size(), 1u);
    w.place(1500, 1500, 450, 300);
    EXPECT_EQ(w.surface().width(), 30);
    EXPECT_EQ(w.surface().pixel(19, 19), black);
    EXPECT_TRUE(headless::record(w).surface.texts().empty());
}

TEST_F(HeadlessWindow, PresentCountsAndShowsTheImageAsItWasThen) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.place(0, 0, 150, 150);
    const auto& rec = headless::record(w);
    EXPECT_EQ(rec.presents, 0);
    w.surface().clear(green);
    w.present();
    w.surface().fillRect({0, 0, 5, 5}, red);
    EXPECT_EQ(rec.presents, 1);
    ASSERT_EQ(rec.presented.width(), 10);
    EXPECT_EQ(rec.presented.at(0, 0), green);
    EXPECT_EQ(rec.presented.at(9, 9), green);
    w.present();
    EXPECT_EQ(rec.presents, 2);
    EXPECT_EQ(rec.presented.at(0, 0), red);
    EXPECT_EQ(rec.presented.at(9, 9), green);
}

// ---- Focus and z-order --------------------------------------------------------------------

using HeadlessFocus = HeadlessPlatformTest;

TEST_F(HeadlessFocus, MenusTakeTheFocusWhenShownSideStripsNever) {
    Recorder e;
    Window strip(WindowStyle::SideStrip, e, "strip");
    Window menu(WindowStyle::Menu, e, "menu");
    Window sub(WindowStyle::Menu, e, "sub");
    menu.show();
    EXPECT_EQ(headless::focusedWindow(), &headless::record(menu));
    strip.show();
    EXPECT_TRUE(strip.visible());
    EXPECT_EQ(headless::focusedWindow(), &headless::record(menu));
    sub.show();
    EXPECT_EQ(headless::focusedWindow(), &headless::record(sub));
    menu.focus();
    EXPECT_EQ(headless::focusedWindow(), &headless::record(menu));
}

TEST_F(HeadlessFocus, HidingTheFocusedWindowHandsTheFocusAway) {
    Recorder e;
    Window menu(WindowStyle::Menu, e, "menu");
    Window sub(WindowStyle::Menu, e, "sub");
    menu.show();
    sub.show();
    menu.hide(); // not focused: the focus stays
    EXPECT_EQ(headless::focusedWindow(), &headless::record(sub));
    sub.hide();
    EXPECT_FALSE(sub.visible());
    EXPECT_EQ(headless::focusedWindow(), nullptr);
}

TEST_F(HeadlessFocus, TheUserCanActivateAWindowOrAnotherProgram) {
    Recorder e;
    Window menu(WindowStyle::Menu, e, "menu");
    Window strip(WindowStyle::SideStrip, e, "strip");
    Window trigger(WindowStyle::Trigger, e, "trigger");
    menu.show();
    strip.show();
    headless::userActivates(&headless::record(strip));
    EXPECT_EQ(headless::focusedWindow(), &headless::record(menu));
    headless::userActivates(&headless::record(trigger));
    EXPECT_EQ(headless::focusedWindow(), &headless::record(trigger));
    headless::userActivates(nullptr);
    EXPECT_EQ(headless::focusedWindow(), nullptr);
}

TEST_F(HeadlessFocus, TopmostWindowsStayAboveTheOthers) {
    Recorder e;
    Window trigger(WindowStyle::Trigger, e, "trigger");
    trigger.setTopmost(true);
    Window menu(WindowStyle::Menu, e, "menu");
    Window strip(WindowStyle::SideStrip, e, "strip");
    auto* t = &headless::record(trigger);
    auto* m = &headless::record(menu);
    auto* s = &headless::record(strip);
    EXPECT_TRUE(t->topmost);
    // New windows come to the top of the ordinary band, under the topmost trigger.
    EXPECT_EQ(headless::zOrder(), (std::vector<headless::WindowRecord*>{t, s, m}));
    menu.show();
    EXPECT_EQ(headless::zOrder(), (std::vector<headless::WindowRecord*>{t, m, s}));
    strip.show(); // shown without activation: stays where it is
    EXPECT_EQ(headless::zOrder(), (std::vector<headless::WindowRecord*>{t, m, s}));
    strip.setTopmost(true);
    EXPECT_EQ(headless::zOrder(), (std::vector<headless::WindowRecord*>{s, t, m}));
    trigger.setTopmost(false);
    EXPECT_FALSE(t->topmost);
    EXPECT_EQ(headless::zOrder(), (std::vector<headless::WindowRecord*>{s, t, m}));
    menu.focus();
    EXPECT_EQ(headless::zOrder(), (std::vector<headless::WindowRecord*>{s, m, t}));
}

// ---- Timers on the manual clock -----------------------------------------------------------

using HeadlessTimers = HeadlessPlatformTest;

TEST_F(HeadlessTimers, ATimerFiresOnceForEachIntervalPassed) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.startTimer(500);
    EXPECT_TRUE(headless::record(w).timer.running);
    EXPECT_EQ(headless::record(w).timer.intervalMs, 500);
    headless::advanceClock(499);
    EXPECT_EQ(e.ticks, 0);
    headless::advanceClock(1);
    EXPECT_EQ(e.ticks, 1);
    headless::advanceClock(1600);
    EXPECT_EQ(e.ticks, 4);
    EXPECT_EQ(e.tickTimes, (std::vector<long long>{500, 1000, 1500, 2000}));
    EXPECT_EQ(headless::now(), 2100);
}

TEST_F(HeadlessTimers, StartingAgainRestartsTheInterval) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.startTimer(500);
    headless::advanceClock(300);
    w.startTimer(500);
    headless::advanceClock(300);
    EXPECT_EQ(e.ticks, 0);
    headless::advanceClock(200);
    EXPECT_EQ(e.tickTimes, (std::vector<long long>{800}));
}

TEST_F(HeadlessTimers, AStoppedTimerDoesNotFire) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.startTimer(100);
    w.stopTimer();
    headless::advanceClock(1000);
    EXPECT_EQ(e.ticks, 0);
    EXPECT_FALSE(headless::record(w).timer.running);
}

TEST_F(HeadlessTimers, AHandlerThatStopsItsTimerTicksOnce) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    e.onTick = [&] { w.stopTimer(); };
    w.startTimer(500);
    headless::advanceClock(5000);
    EXPECT_EQ(e.ticks, 1);
}

TEST_F(HeadlessTimers, AHandlerThatRestartsItsTimerCountsFromTheTick) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    e.onTick = [&] {
        if (e.ticks == 1)
            w.startTimer(300);
    };
    w.startTimer(500);
    headless::advanceClock(1200);
    EXPECT_EQ(e.tickTimes, (std::vector<long long>{500, 800, 1100}));
}

TEST_F(HeadlessTimers, AHandlerMayDestroyItsOwnWindow) {
    Recorder e;
    auto w = std::make_unique<Window>(WindowStyle::Menu, e, "m");
    e.onTick = [&] { w.reset(); };
    w->startTimer(500);
    headless::advanceClock(5000);
    EXPECT_EQ(e.ticks, 1);
    EXPECT_TRUE(headless::windows().empty());
}

TEST_F(HeadlessTimers, AHandlerMayDestroyAnotherWindowDueAtTheSameTime) {
    Recorder first, second;
    Window a(WindowStyle::Menu, first, "a");
    auto b = std::make_unique<Window>(WindowStyle::Menu, second, "b");
    first.onTick = [&] { b.reset(); };
    a.startTimer(500);
    b->startTimer(500);
    headless::advanceClock(500);
    EXPECT_EQ(first.ticks, 1);
    EXPECT_EQ(second.ticks, 0);
    headless::advanceClock(500);
    EXPECT_EQ(first.ticks, 2);
}

TEST_F(HeadlessTimers, TimersOfSeveralWindowsFireInDueOrder) {
    std::string order;
    Recorder ea, eb;
    ea.onTick = [&] { order += 'A'; };
    eb.onTick = [&] { order += 'B'; };
    Window a(WindowStyle::Menu, ea, "a");
    Window b(WindowStyle::Menu, eb, "b");
    a.startTimer(300);
    b.startTimer(200);
    headless::advanceClock(600);
    // 200 B, 300 A, 400 B, 600 both: the older window first.
    EXPECT_EQ(order, "BABAB");
    EXPECT_EQ(ea.tickTimes, (std::vector<long long>{300, 600}));
}

TEST_F(HeadlessTimers, AHandlerCanStartAnotherWindowsTimer) {
    Recorder ea, eb;
    Window a(WindowStyle::Menu, ea, "a");
    Window b(WindowStyle::Menu, eb, "b");
    ea.onTick = [&] {
        a.stopTimer();
        b.startTimer(100);
    };
    a.startTimer(500);
    headless::advanceClock(650);
    EXPECT_EQ(eb.tickTimes, (std::vector<long long>{600}));
}

TEST_F(HeadlessTimers, ShortIntervalsAreRaisedToTheSystemMinimum) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.startTimer(0);
    headless::advanceClock(25);
    EXPECT_EQ(e.tickTimes, (std::vector<long long>{10, 20}));
}

TEST_F(HeadlessTimers, HiddenWindowsTimersRunToo) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    w.show();
    w.startTimer(100);
    w.hide();
    headless::advanceClock(100);
    EXPECT_EQ(e.ticks, 1);
}

TEST_F(HeadlessTimers, ResetStartsTheClockAgainAndKeepsTheTimeLeft) {
    Recorder e;
    Window w(WindowStyle::Menu, e, "m");
    headless::advanceClock(1000);
    w.startTimer(500);
    headless::advanceClock(200);
    headless::reset(folder_.string());
    EXPECT_EQ(headless::now(), 0);
    ASSERT_EQ(headless::windows().size(), 1u);
    headless::advanceClock(299);
    EXPECT_EQ(e.ticks, 0);
    headless::advanceClock(1);
    EXPECT_EQ(e.tickTimes, (std::vector<long long>{300}));
}

// ---- Events waiting and the shell ---------------------------------------------------------

using HeadlessEventLoop = HeadlessPlatformTest;

TEST_F(HeadlessEventLoop, YieldingRunsWhatArrivedMeanwhile) {
    int arrived = 0;
    headless::desktop().onYield = [&] { ++arrived; };
    platform::yieldToEvents();
    platform::yieldToEvents();
    EXPECT_EQ(arrived, 2);
    EXPECT_EQ(headless::desktop().yields, 2);
}

TEST_F(HeadlessEventLoop, AnArrivalMayReplaceItself) {
    std::vector<int> seen;
    headless::desktop().onYield = [&] {
        seen.push_back(1);
        headless::desktop().onYield = [&] { seen.push_back(2); };
    };
    platform::yieldToEvents();
    platform::yieldToEvents();
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

using HeadlessShell = HeadlessPlatformTest;

TEST_F(HeadlessShell, EveryCallIsRecordedWithItsOwnerAndFile) {
    Recorder e;
    Window menu(WindowStyle::Menu, e, "m");
    platform::shellExecute(menu.handle(), "C:\\windows\\notepad.exe");
    platform::runDialog(menu.handle());
    platform::shutdownDialog(nullptr);
    using K = headless::ShellCall::Kind;
    EXPECT_EQ(
        headless::desktop().shellCalls,
        (std::vector<headless::ShellCall>{{K::Execute, menu.handle(), "C:\\windows\\notepad.exe"},
                                          {K::RunDialog, menu.handle(), ""},
                                          {K::ShutdownDialog, nullptr, ""}}));
    headless::reset(folder_.string());
    EXPECT_TRUE(headless::desktop().shellCalls.empty());
}

} // namespace
} // namespace zv
