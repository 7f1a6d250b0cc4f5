// The launcher at the display scales a user may set: every window, row, line and picture at the
// size the scale gives, captions inside their rows, icons read at their shown size.
#include "launcher_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zv::e2e {
namespace {

// Header, Notepad, separator, Tools (a submenu), and a row whose target is an icon file.
std::string menuFile(const std::string& iconFile) {
    return " 1 \r\n"
           "Programs, 2 , 0 ,,-1 \r\n"
           "Notepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n"
           "Separator, 4 , 0 ,,-1 \r\n"
           "Tools, 1 , 0 , 1 ,-1 \r\n"
           "Two sizes, 0 , 0 ," +
           iconFile +
           ",-1 \r\n"
           "About, 0 , 1 ,C:\\windows\\system32\\winver.exe,-1 \r\n";
}

constexpr Color headerTopLine{55, 58, 60};
constexpr Color separatorLine{195, 194, 193};
constexpr Color red{255, 0, 0};
constexpr Color blue{0, 0, 255};

void putLe(std::string& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// An icon file holding a red 16 x 16 image and a blue 32 x 32 one, both opaque.
std::string twoSizeIcon() {
    const int sizes[2] = {16, 32};
    const std::uint32_t colours[2] = {0xFFFF0000u, 0xFF0000FFu}; // BGRA read little-endian
    std::string images[2];
    for (int i = 0; i < 2; ++i) {
        const int s = sizes[i];
        std::string& b = images[i];
        putLe(b, 40, 4); // BITMAPINFOHEADER
        putLe(b, static_cast<std::uint32_t>(s), 4);
        putLe(b, static_cast<std::uint32_t>(2 * s), 4); // colour and mask rows
        putLe(b, 1, 2);
        putLe(b, 32, 2);
        putLe(b, 0, 4);
        putLe(b, 0, 4);
        putLe(b, 0, 4 * 4);
        for (int p = 0; p < s * s; ++p)
            putLe(b, colours[i], 4);
        b.append(static_cast<std::size_t>(s * ((s + 31) / 32) * 4), '\0'); // mask: all opaque
    }
    std::string file;
    putLe(file, 0, 2);
    putLe(file, 1, 2);
    putLe(file, 2, 2);
    std::uint32_t offset = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        file += static_cast<char>(sizes[i]);
        file += static_cast<char>(sizes[i]);
        putLe(file, 0, 2);
        putLe(file, 1, 2);
        putLe(file, 32, 2);
        putLe(file, static_cast<std::uint32_t>(images[i].size()), 4);
        putLe(file, offset, 4);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    return file + images[0] + images[1];
}

bool isInk(Color c) {
    return c.r < 100 && c.g < 100 && c.b < 100;
}

class DisplayScaleTest : public LauncherTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        LauncherTest::SetUp();
        session().setDisplayDpi(GetParam());
    }
    void TearDown() override {
        LauncherTest::TearDown();
        session().setDisplayDpi(96);
    }

    // A length the program gives in pixels at 96 DPI, at this test's scale: rounded once,
    // halves up.
    int px(int at96) const { return (at96 * GetParam() * 2 + 96) / (2 * 96); }
};

TEST_P(DisplayScaleTest, WindowsRowsLinesAndIconsFollowTheScale) {
    folder().write("two_sizes.ico", twoSizeIcon());
    start(menuFile(folder().windowsPath() + "\\two_sizes.ico"));
    ASSERT_TRUE(idle());
    auto t = trigger();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rect.width(), px(48));
    EXPECT_EQ(t->rect.height(), px(48));

    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    const Rect menu = menus().front().rect;
    const Rect window = visible("ZelvoraMenu").front().rect;
    const int f = px(1), row = px(20), sep = px(6);
    const int rowTops[] = {f, f + row, f + 2 * row, f + 2 * row + sep, f + 3 * row + sep};
    // One window holds the strip, at the trigger's right edge, and the menu beside it.
    EXPECT_EQ(window.left, t->rect.right);
    EXPECT_EQ(window.width(), px(28) + px(200) + 2 * f);
    EXPECT_EQ(menu.width(), px(200) + 2 * f);
    EXPECT_EQ(menu.height(), 4 * row + sep + 2 * f);
    EXPECT_EQ(menu.bottom, t->rect.bottom);
    ASSERT_TRUE(pixelBecomes(menu.left + px(190), menu.top + rowTops[4] + px(15), menuBackground));
    // The strip (light blue) ends where the menu's white frame begins.
    const Color stripEnd = screen().pixel(menu.left - 1, menu.top + px(30));
    EXPECT_GT(stripEnd.b, stripEnd.r);
    EXPECT_EQ(screen().pixel(menu.left, menu.top + px(30)), white);

    // Hovering Notepad highlights it: the highlight's frame lines are f thick at the row's ends.
    const int hx = menu.left + px(100), hTop = menu.top + rowTops[1];
    ASSERT_TRUE(
        pointUntil(hx, hTop + px(10), [&] { return screen().pixel(hx, hTop) == highlightFrame; }));
    ASSERT_TRUE(idle());
    const Image shot = screen().capture(menu);
    writePng(shot, workDir().parent_path() / ("menu-" + std::to_string(GetParam()) + "dpi.png"));
    auto at = [&](int x, int y) { return shot.at(x, y); };
    const int x = px(100);
    const int top1 = rowTops[1];
    EXPECT_EQ(at(x, top1 + f - 1), highlightFrame);
    EXPECT_NE(at(x, top1 + f), highlightFrame);
    EXPECT_EQ(at(x, top1 + row - f), highlightFrame);
    EXPECT_NE(at(x, top1 + row - f - 1), highlightFrame);
    // The bevel: white along the top, dark along the right, each f thick; the header's top line
    // f thick below it.
    EXPECT_EQ(at(x, f - 1), white);
    EXPECT_EQ(at(x, f), headerTopLine);
    EXPECT_EQ(at(x, 2 * f - 1), headerTopLine);
    EXPECT_NE(at(x, 2 * f), headerTopLine);
    EXPECT_EQ(at(menu.width() - f, px(30)), frameDark);
    EXPECT_NE(at(menu.width() - f - 1, px(30)), frameDark);
    // The separator's etched line: its dark and light lines from 2 and 3 pixels (at 96 DPI)
    // below the picture's top, each as thick as the scale makes a pixel.
    const int line = rowTops[2] + px(2);
    EXPECT_NE(at(px(10), line - 1), separatorLine);
    EXPECT_EQ(at(px(10), line), separatorLine);
    EXPECT_EQ(at(px(10), px(3) - px(2) + line - 1), separatorLine);
    EXPECT_EQ(at(px(10), px(3) - px(2) + line), white);

    // Notepad's caption: ink inside its row, none in the header's row below its top line or in
    // the separator's row, and as tall as a font made for this scale.
    int inkTop = menu.height(), inkBottom = -1;
    for (int y = 2 * f; y < 2 * row + sep; ++y)
        for (int cx = px(35); cx < px(170); ++cx)
            if (isInk(at(cx, y))) {
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
            }
    EXPECT_GE(inkTop, row);
    EXPECT_LT(inkBottom, 2 * row);
    EXPECT_GE(inkBottom - inkTop + 1, px(7));

    // The two-size icon file's row shows the image read at the shown size.
    const int iconTop = 3 * row + sep + px(3);
    const Color icon = at(px(7) + px(16) - 2, iconTop + px(16) - 2);
    if (GetParam() == 96) {
        EXPECT_EQ(icon, red);
    } else if (GetParam() == 192) {
        EXPECT_EQ(icon, blue);
    }
    EXPECT_NE(at(px(7) + px(16) + 1, iconTop + px(8)), icon) << "the icon's right edge";
}

TEST_P(DisplayScaleTest, TheItemEditorKeepsItsLayoutAndItsTextsFit) {
    if (GetParam() > 144)
        GTEST_SKIP() << "the dialog is taller than the 1024 x 768 test desktop at this scale";
    start(menuFile("C:\\windows\\notepad.exe"));
    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    // Edit mode on, then Modify, both from Notepad's row (row 1, below the header, which takes
    // no highlight): the right click acts on the highlighted row.
    const Rect menu = menus().front().rect;
    const int hx = menu.left + px(100), hTop = menu.top + px(1) + px(20);
    ASSERT_TRUE(
        pointUntil(hx, hTop + px(10), [&] { return screen().pixel(hx, hTop) == highlightFrame; }));
    screen().click(hx, hTop + px(10), MouseButton::Right);
    ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the short pop-up"));
    screen().key("e");
    ASSERT_TRUE(waitUntil([&] { return popups().empty(); }, 10s, "the pop-up to close"));
    ASSERT_TRUE(idle());
    screen().click(hx, hTop + px(10), MouseButton::Right);
    ASSERT_TRUE(waitUntil([&] { return !popups().empty(); }, 10s, "the edit pop-up"));
    screen().key("Down");
    screen().key("Down");
    screen().key("Return");
    auto dialog = windowTitled("Edit", 15s);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(idle());
    dialog = windowTitled("Edit", 5s);
    ASSERT_TRUE(dialog);

    // Every place and size in the dialog's layout is twips, converted at this scale.
    const double perTwip = GetParam() / 1440.0;
    auto twips = [&](int t) { return t * perTwip; };
    auto near = [](int pixels, double wanted) { return std::abs(pixels - wanted) <= 1.5; };
    const Control* ok = dialog->control("Button", "OK");
    const Control* cancel = dialog->control("Button", "Cancel");
    const Control* basic = dialog->control("Button", "Basic");
    ASSERT_TRUE(ok && cancel && basic) << describe(*dialog);
    EXPECT_TRUE(near(ok->rect.width(), twips(984))) << ok->rect.width();
    EXPECT_TRUE(near(ok->rect.height(), twips(336))) << ok->rect.height();
    EXPECT_TRUE(near(cancel->rect.left - ok->rect.left, twips(4752 - 3672)));
    EXPECT_EQ(cancel->rect.top, ok->rect.top);
    EXPECT_TRUE(near(ok->rect.top - basic->rect.top, twips(6372 - 108)));
    EXPECT_TRUE(near(basic->rect.width(), twips(5628)));

    // The captions are drawn with a font for this scale and fit inside their buttons.
    const Image shot = screen().capture(ok->rect);
    int inkTop = shot.height, inkBottom = -1, inkLeft = shot.width, inkRight = -1;
    for (int y = 2; y < shot.height - 2; ++y)
        for (int x = 2; x < shot.width - 2; ++x)
            if (isInk(shot.at(x, y))) {
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    ASSERT_GE(inkBottom, 0) << "no caption on the OK button";
    EXPECT_GE(inkBottom - inkTop + 1, px(7)) << "the caption is as tall as a font of this scale";
    EXPECT_GT(inkTop, 2);
    EXPECT_LT(inkBottom, shot.height - 3);
    EXPECT_GT(inkLeft, 2);
    EXPECT_LT(inkRight, shot.width - 3);
    screen().key("Escape");
    EXPECT_TRUE(waitUntil([&] { return !windowTitled("Edit", 0ms); }, 10s, "the dialog to close"));
}

INSTANTIATE_TEST_SUITE_P(Dpi, DisplayScaleTest, ::testing::Values(96, 120, 144, 192),
                         [](const auto& dpi) { return std::to_string(dpi.param); });

} // namespace
} // namespace zv::e2e
