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

void putLe(std::string& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// An icon file holding an opaque red 16 x 16 image and an opaque blue 32 x 32 one.
std::string twoSizeIcon() {
    std::string file, images;
    putLe(file, 0x10000, 4); // reserved, type 1 (icon)
    putLe(file, 2, 2);
    for (int s : {16, 32}) {
        std::string b;
        for (std::uint32_t v :
             {40u, unsigned(s), unsigned(2 * s), 0x200001u, 0u, 0u, 0u, 0u, 0u, 0u})
            putLe(b, v, 4); // BITMAPINFOHEADER: colour and mask rows, 1 plane, 32 bits
        for (int p = 0; p < s * s; ++p)
            putLe(b, s == 16 ? 0xFFFF0000u : 0xFF0000FFu, 4); // BGRA read little-endian
        b.append(static_cast<std::size_t>(s * 4), '\0');      // mask: all opaque
        putLe(file, static_cast<std::uint32_t>(s | s << 8), 4);
        putLe(file, 0x200001, 4);
        putLe(file, static_cast<std::uint32_t>(b.size()), 4);
        putLe(file, static_cast<std::uint32_t>(6 + 2 * 16 + images.size()), 4);
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

// The box around the dark (text) pixels.
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
    // A length the program gives in pixels at 96 DPI, at this test's scale: rounded once,
    // halves up.
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
    const int x = px(100), top1 = rowTops[1];
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
    ASSERT_TRUE(windowTitled("Edit", 15s));
    ASSERT_TRUE(idle());
    auto dialog = windowTitled("Edit", 5s);
    ASSERT_TRUE(dialog);

    // Every place and size in the dialog's layout is twips, converted at this scale.
    auto near = [&](int pixels, int twips) {
        const double wanted = twips * GetParam() / 1440.0;
        return std::abs(pixels - wanted) <= 1.5
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure() << pixels << " pixels for " << wanted;
    };
    const Control* ok = dialog->control("Button", "OK");
    const Control* cancel = dialog->control("Button", "Cancel");
    const Control* basic = dialog->control("Button", "Basic");
    const Control* chooseFile = dialog->control("Button", "Choose file...");
    const Control* name = dialog->nthControl("Edit", 0);
    ASSERT_TRUE(ok && cancel && basic && chooseFile && name) << describe(*dialog);
    // The frame is made for this scale: the client area has the layout's size, and OK and
    // Cancel lie wholly inside it.
    EXPECT_TRUE(near(dialog->client.width(), 5904));
    EXPECT_TRUE(near(dialog->client.height(), 6768));
    for (const Control* button : {ok, cancel})
        EXPECT_TRUE(button->rect.left >= dialog->client.left &&
                    button->rect.right <= dialog->client.right &&
                    button->rect.top >= dialog->client.top &&
                    button->rect.bottom <= dialog->client.bottom)
            << describe(*dialog);
    EXPECT_TRUE(near(ok->rect.width(), 984));
    EXPECT_TRUE(near(ok->rect.height(), 336));
    EXPECT_TRUE(near(cancel->rect.left - ok->rect.left, 4752 - 3672));
    EXPECT_EQ(cancel->rect.top, ok->rect.top);
    EXPECT_TRUE(near(ok->rect.top - basic->rect.top, 6372 - 108));
    EXPECT_TRUE(near(basic->rect.width(), 5628));
    // "Choose file..." sits in the Type frame inside the Basic frame: 108 + 108 + 2160 twips.
    EXPECT_TRUE(near(chooseFile->rect.left - ok->rect.left, 108 + 108 + 2160 - 3672));
    EXPECT_TRUE(near(chooseFile->rect.top - ok->rect.top, 108 + 1080 + 648 - 6372));
    EXPECT_TRUE(near(name->rect.left - ok->rect.left, 108 + 540 - 3672));

    // The captions are drawn with a font for this scale and fit inside their buttons.
    const Image okShot = screen().capture(ok->rect);
    const Rect ink = inkBox(okShot, {2, 2, okShot.width - 2, okShot.height - 2});
    ASSERT_GE(ink.bottom, 2) << "no caption on the OK button";
    EXPECT_GE(ink.bottom - ink.top + 1, px(7)) << "the caption is as tall as a font of this scale";
    EXPECT_TRUE(ink.top > 2 && ink.bottom < okShot.height - 3 && ink.left > 2 &&
                ink.right < okShot.width - 3);

    // "Use user icon", then the catalogue's group and its icon: the preview shows the icon at
    // the size the menus draw it, in the middle of the box inside the preview's border.
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
    const int border = 2;
    const Rect inside{preview->rect.left + border, preview->rect.top + border,
                      preview->rect.right - border, preview->rect.bottom - border};
    Rect drawn{};
    ASSERT_TRUE(waitUntil(
        [&] {
            const Image box = screen().capture(inside);
            drawn = boxWhere(box, {0, 0, box.width, box.height},
                             [](Color c) { return c != menuBackground; });
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
