// The launcher at the display scales a user may set: every window, row, line and picture at the
// size the scale gives, captions inside their rows, icons read at their shown size, and the item
// editor's layout in twips converted at the scale, its icon preview centred.
#include "launcher_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace zv::e2e {
namespace {

constexpr Color headerTopLine{55, 58, 60};
constexpr Color separatorLine{195, 194, 193};

std::string le32(std::size_t v) { // little-endian
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// An icon file holding an opaque red 16 x 16 image and an opaque blue 32 x 32 one.
std::string twoSizeIcon() {
    std::string file = le32(0x10000) + std::string("\2\0", 2), images; // an icon, 2 images
    for (std::size_t s : {16, 32}) {
        // BITMAPINFOHEADER (colour and mask rows, 1 plane, 32 bits), BGRA pixels, an opaque mask.
        std::string b = le32(40) + le32(s) + le32(2 * s) + le32(0x200001) + std::string(24, '\0');
        for (std::size_t p = 0; p < s * s; ++p)
            b += le32(s == 16 ? 0xFFFF0000u : 0xFF0000FFu);
        b.append(s * 4, '\0');
        file +=
            le32(s | s << 8) + le32(0x200001) + le32(b.size()) + le32(6 + 2 * 16 + images.size());
        images += b;
    }
    return file + images;
}

// The box (right and bottom inclusive) around the pixels inside `area` of the image that
// `match` takes; empty when there are none.
Rect boxWhere(const Image& image, const Rect& area, const std::function<bool(Color)>& match) {
    Rect box{area.right, area.bottom, area.left - 1, area.top - 1};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (match(image.at(x, y)))
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
    return box;
}

Rect inkBox(const Image& image, const Rect& area) {
    return boxWhere(image, area, [](Color c) { return c.r < 100 && c.g < 100 && c.b < 100; });
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
    // A length in pixels at 96 DPI at this test's scale, rounded once, halves up.
    int px(int at96) const { return (at96 * GetParam() * 2 + 96) / (2 * 96); }
};

TEST_P(DisplayScaleTest, WindowsRowsLinesIconsAndTheItemEditorFollowTheScale) {
    // Header, Notepad, separator, Tools (a submenu), and a row whose target is an icon file.
    folder().write("two_sizes.ico", twoSizeIcon());
    start(" 1 \r\nPrograms, 2 , 0 ,,-1 \r\nNotepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n"
          "Separator, 4 , 0 ,,-1 \r\nTools, 1 , 0 , 1 ,-1 \r\nTwo sizes, 0 , 0 ," +
              folder().windowsPath() +
              "\\two_sizes.ico,-1 \r\n"
              "About, 0 , 1 ,C:\\windows\\system32\\winver.exe,-1 \r\n",
          "#,Sizes\r\nTwo,two_sizes.ico\r\n");
    ASSERT_TRUE(idle());
    const Rect t = trigger().value_or(Window{}).rect;
    EXPECT_EQ(t, (Rect{t.left, t.top, t.left + px(48), t.top + px(48)}));

    clickTrigger();
    ASSERT_TRUE(menusShown(1));
    const Rect menu = menus().front().rect;
    const Rect window = visible("ZelvoraMenu").front().rect;
    const int f = px(1), row = px(20), sep = px(6);
    const int rowTops[] = {f, f + row, f + 2 * row, f + 2 * row + sep, f + 3 * row + sep};
    // One window holds the strip, at the trigger's right edge, and the menu beside it.
    EXPECT_EQ(window.left, t.right);
    EXPECT_EQ(window.width(), px(28) + px(200) + 2 * f);
    EXPECT_EQ(menu.width(), px(200) + 2 * f);
    EXPECT_EQ(menu.height(), 4 * row + sep + 2 * f);
    EXPECT_EQ(menu.bottom, t.bottom);
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
    // Lines f thick: the highlight's frame at the row's ends; the bevel, white along the top and
    // dark along the right, and the header's top line below it.
    auto at = [&](int x, int y) { return shot.at(x, y); };
    const int x = px(100), y1 = rowTops[1], w = menu.width();
    EXPECT_TRUE(at(x, y1 + f - 1) == highlightFrame && at(x, y1 + f) != highlightFrame);
    EXPECT_TRUE(at(x, y1 + row - f) == highlightFrame && at(x, y1 + row - f - 1) != highlightFrame);
    EXPECT_EQ(at(x, f - 1), white);
    EXPECT_TRUE(at(x, f) == headerTopLine && at(x, 2 * f - 1) == headerTopLine &&
                at(x, 2 * f) != headerTopLine);
    EXPECT_TRUE(at(w - f, px(30)) == frameDark && at(w - f - 1, px(30)) != frameDark);
    // The separator's etched line: its dark and light lines from 2 and 3 pixels (at 96 DPI)
    // below the picture's top, each as thick as the scale makes a pixel.
    const int dark = rowTops[2] + px(2), light = dark + px(3) - px(2);
    EXPECT_TRUE(at(px(10), dark - 1) != separatorLine && at(px(10), dark) == separatorLine &&
                at(px(10), light - 1) == separatorLine);
    EXPECT_EQ(at(px(10), light), white);

    // Notepad's caption: ink only inside its row, as tall as a font made for this scale.
    const Rect caption = inkBox(shot, {px(35), 2 * f, px(170), 2 * row + sep});
    EXPECT_GE(caption.top, row);
    EXPECT_LT(caption.bottom, 2 * row);
    EXPECT_GE(caption.bottom - caption.top + 1, px(7));

    // The two-size icon file's row shows the image read at the shown size.
    const int iconTop = 3 * row + sep + px(3);
    const Color icon = at(px(7) + px(16) - 2, iconTop + px(16) - 2);
    if (GetParam() == 96 || GetParam() == 192) {
        EXPECT_EQ(icon, GetParam() == 96 ? (Color{255, 0, 0}) : (Color{0, 0, 255}));
    }
    EXPECT_NE(at(px(7) + px(16) + 1, iconTop + px(8)), icon) << "the icon's right edge";

    if (GetParam() > 144)
        return; // the item editor is taller than the 1024 x 768 test desktop at this scale
    // Edit mode on, then Modify, both from Notepad's row, still highlighted under the pointer.
    ASSERT_NO_FATAL_FAILURE(choose(0, "e"));
    ASSERT_NO_FATAL_FAILURE(choose(Modify));
    ASSERT_TRUE(windowTitled("Edit", 15s) && idle());
    auto dialog = windowTitled("Edit", 5s);
    ASSERT_TRUE(dialog);
    const Control* ok = dialog->control("Button", "OK");
    const Control* cancel = dialog->control("Button", "Cancel");
    const Control* basic = dialog->control("Button", "Basic");
    const Control* chooseFile = dialog->control("Button", "Choose file...");
    const Control* name = dialog->nthControl("Edit", 0);
    ASSERT_TRUE(ok && cancel && basic && chooseFile && name) << describe(*dialog);
    // Every place and size in the dialog's layout is twips, converted at this scale; the frame
    // is made for it, so the client area has the layout's size.
    const Rect &c = dialog->client, &o = ok->rect, &file = chooseFile->rect;
    // "Choose file..." sits in the Type frame inside the Basic frame: 108 + 108 + 2160 twips.
    for (auto [pixels, twips] : {std::pair{c.width(), 5904},
                                 {c.height(), 6768},
                                 {o.width(), 984},
                                 {o.height(), 336},
                                 {cancel->rect.left - o.left, 4752 - 3672},
                                 {o.top - basic->rect.top, 6372 - 108},
                                 {basic->rect.width(), 5628},
                                 {file.left - o.left, 108 + 108 + 2160 - 3672},
                                 {file.top - o.top, 108 + 1080 + 648 - 6372},
                                 {name->rect.left - o.left, 108 + 540 - 3672}})
        EXPECT_LE(std::abs(pixels - twips * GetParam() / 1440.0), 1.5)
            << pixels << " for " << twips;
    EXPECT_EQ(cancel->rect.top, o.top);
    for (const Rect& b : {o, cancel->rect}) // OK and Cancel lie wholly inside the client area
        EXPECT_TRUE(b.left >= c.left && b.right <= c.right && b.top >= c.top &&
                    b.bottom <= c.bottom)
            << describe(*dialog);

    // The captions are drawn with a font for this scale and fit inside their buttons.
    const Image okShot = screen().capture(ok->rect);
    const Rect ink = inkBox(okShot, {2, 2, okShot.width - 2, okShot.height - 2});
    ASSERT_GE(ink.bottom, 2) << "no caption on the OK button";
    EXPECT_GE(ink.bottom - ink.top + 1, px(7)) << "the caption is as tall as a font of this scale";
    EXPECT_TRUE(ink.top > 2 && ink.bottom < okShot.height - 3 && ink.left > 2 &&
                ink.right < okShot.width - 3);

    // A catalogue icon chosen: the preview shows it at the menus' size, centred in its box.
    ASSERT_NO_FATAL_FAILURE(clickButton(*dialog, "Use user icon"));
    const Control* preview = dialog->nthControl("ZelvoraPicture", 0);
    ASSERT_TRUE(preview) << describe(*dialog);
    for (auto [list, choice] : {std::pair{1, "Sizes"}, {2, "Two"}}) {
        const Control* box = dialog->nthControl("ComboBox", list);
        ASSERT_TRUE(box) << describe(*dialog);
        ASSERT_NO_FATAL_FAILURE(focusField(*box)); // the click opens its list
        screen().key("Down");
        screen().key("Return");
        ASSERT_TRUE(waitUntil(
            [&] { return controlNow(box->hwnd).value_or(Control{}).selectionText == choice; }, 10s,
            std::string("the list to choose ") + choice));
    }
    const Rect& p = preview->rect;
    const Rect inside{p.left + 2, p.top + 2, p.right - 2, p.bottom - 2}; // inside its border
    Rect drawn{};
    ASSERT_TRUE(waitUntil(
        [&] {
            const Image box = screen().capture(inside);
            drawn = boxWhere(box, {0, 0, box.width, box.height},
                             [](Color pixel) { return pixel != menuBackground; });
            return drawn.right - drawn.left + 1 == px(16);
        },
        10s, "the icon in the preview"))
        << drawn.left << "," << drawn.top << " to " << drawn.right << "," << drawn.bottom;
    EXPECT_LE(std::abs(drawn.left - (inside.width() - 1 - drawn.right)), 1);
    EXPECT_LE(std::abs(drawn.top - (inside.height() - 1 - drawn.bottom)), 1);

    screen().key("Escape");
    EXPECT_TRUE(closed("Edit"));
}

INSTANTIATE_TEST_SUITE_P(Dpi, DisplayScaleTest, ::testing::Values(96, 120, 144, 192),
                         [](const auto& dpi) { return std::to_string(dpi.param); });

} // namespace
} // namespace zv::e2e
