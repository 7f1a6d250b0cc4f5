#include "graphics/icon_registry.h"
#include "test_support.h"

#include <tuple>

namespace zv {
namespace {

constexpr Rgb background{245, 244, 243}, dark{64, 64, 64}, white{255, 255, 255}, flat{83, 165, 255},
    hlFrame{130, 160, 194}, arrowInk{4, 2, 4};

class MenuPaintingTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        folder.write("app.exe", "program bytes");
        // Rows: 0 Header (0..20), 1 File with an icon (20..40), 2 Separator (40..46),
        // 3 Menu (46..66), 4 File (66..86).
        start(" 1 \r\nTitle, 2 , 0 ,,-1 \r\nApp, 0 , 0 ," + folder.path() +
              "\\app.exe,-1 \r\nSeparator, 4 , 0 ,,-1 \r\nSub, 1 , 0 , 1 ,-1 "
              "\r\nPlain, 0 , 0 ,missing.exe,-1 \r\nIn, 0 , 1 ,x,-1 \r\n");
        root().hoverRow = 99;
        root().build(0, 0);
    }
    const headless::Canvas& canvas() { return headless::record(*root().window()).surface; }
    // The menu's pixels, right of the side strip the root's window also holds.
    Rgb px(int x, int y) { return canvas().pixel(strip + x, y); }
    static constexpr int strip = 28;
    void hover(int row) {
        root().hoverRow = static_cast<std::int16_t>(row);
        root().drawAll();
    }
    // The four captions: the header bold in its colour, the submenu row's in sub's.
    static std::vector<headless::TextRecord> captions(Rgb header, Rgb ink, Rgb sub) {
        return {{"Title", {0, 0, 200, 20}, 1 + 4 + 32, header, true, "Tahoma", 8},
                {"App", {35, 20, 200, 40}, 4 + 32, ink, false, "Tahoma", 8},
                {"Sub", {35, 46, 200, 66}, 4 + 32, sub, false, "Tahoma", 8},
                {"Plain", {35, 66, 200, 86}, 4 + 32, ink, false, "Tahoma", 8}};
    }
    // Each pixel given is of its colour.
    using Px = std::tuple<int, int, Rgb>;
    void expectPixels(const std::vector<Px>& expected) {
        for (const auto& [x, y, colour] : expected)
            EXPECT_EQ(px(x, y), colour) << x << ", " << y;
    }
};

TEST_F(MenuPaintingTest, BevelFramesTheRowsPicturesSitOnePixelDownAndCaptionsHeaderGreyBold) {
    ASSERT_EQ(canvas().width(), strip + 202);
    ASSERT_EQ(canvas().height(), 88);
    // The bevel: dark right column and bottom row, white left column and top row; the white
    // lines are drawn last and win at two corners. Nothing highlighted: hoverRow is past the rows.
    // Separator row at 40: its picture copied to (0, 41), the etched line on its rows 2 and 3.
    // Header row at 0: copied to (1, 1): its top line, its white column 0, and its bottom line
    // covering the next row's first pixel.
    const Rgb etched{195, 194, 193}, headerTop{55, 58, 60}, headerBottom{167, 174, 180};
    const std::vector<Px> expected{
        {201, 40, dark},       {100, 87, dark},       {0, 30, white},  {100, 0, white},
        {201, 0, white},       {0, 87, white},        {201, 87, dark}, {0, 0, white},
        {200, 75, background}, {100, 70, background}, {5, 43, etched}, {193, 44, white},
        {194, 43, background}, {50, 1, headerTop},    {1, 5, white},   {50, 4, white},
        {50, 20, headerBottom}};
    expectPixels(expected);
    // Separators have no caption, and neither Header nor Separator rows an icon.
    EXPECT_EQ(canvas().texts(), captions({128, 128, 128}, {0, 0, 0}, {0, 0, 0}));
    EXPECT_EQ(items[root().slotOfRow(0)].iconIndex, -1);
    EXPECT_EQ(items[root().slotOfRow(2)].iconIndex, -1);
}

TEST_F(MenuPaintingTest, HighlightStylesCoverExactlyTheirRowsUnderATransparentArrow) {
    const Rgb top{205, 231, 248}, sixth{197, 224, 254};
    // The picture on row 4 (66..86) reaches one pixel below the row.
    hover(4);
    const std::vector<Px> onRow4{{1, 67, hlFrame},   {200, 67, hlFrame},    {100, 68, top},
                                 {100, 86, hlFrame}, {100, 66, background}, {177, 48, background}};
    expectPixels(onRow4);
    // Menu row 46..66, arrow at (176, 47): around the triangle the highlight shows, not the
    // arrow's own background.
    hover(3);
    const std::vector<Px> onRow3{
        {179, 53, arrowInk}, {183, 56, arrowInk}, {177, 48, top}, {185, 53, sixth}};
    expectPixels(onRow3);

    // The flat highlight; the bevel is drawn over it.
    menuLevel(0).skin.graphicalHighlight = false;
    hover(4);
    const std::vector<Px> flatRow4{
        {1, 66, flat},         {199, 85, flat},       {50, 70, flat},  {200, 70, background},
        {100, 65, background}, {100, 86, background}, {100, 87, dark}, {0, 70, white}};
    expectPixels(flatRow4);
    // Header and Separator rows never highlight.
    hover(0);
    EXPECT_NE(px(100, 10), flat);
    hover(2);
    EXPECT_EQ(px(100, 41), background);
}

TEST_F(MenuPaintingTest, AnIconTakenFromTheTargetAgainReusesItsSlot) {
    // Each OK in the item editor sets the row back to "take it from the target"; more edits than
    // the table has slots still leave the row its icon.
    const std::int16_t slot = root().slotOfRow(1);
    const std::int16_t appIcon = items[slot].iconIndex;
    const std::int16_t count = iconRegistry.iconCount;
    for (int edit = 0; edit < iconSlots; ++edit) {
        items[slot].iconIndex = -1;
        root().rebuild();
    }
    EXPECT_EQ(items[slot].iconIndex, appIcon);
    EXPECT_EQ(iconRegistry.iconCount, count);
    EXPECT_NE(iconHandle(appIcon), nullptr);
}

// The strip is the root's alone: a submenu's window is its menu, background from its frame on.
TEST_F(MenuPaintingTest, OnlyTheRootHoldsTheStrip) {
    root().hoverRow = 3;
    root().timerTick();
    menuLevel(1).hoverRow = 99;
    menuLevel(1).drawAll();
    const headless::Canvas& sub = headless::record(*menuLevel(1).window()).surface;
    EXPECT_EQ(sub.width(), 202);
    for (int x = 1; x < 30; x += 4)
        EXPECT_EQ(sub.pixel(x, 10), background) << x;
}

// A level opened again keeps the image it was closed with only while nothing it shows changed.
TEST_F(MenuPaintingTest, AMenuOpenedAgainShowsWhatChangedWhileItWasClosed) {
    const Picture before = headless::record(*root().window()).presented;
    auto reopen = [&] {
        root().destroy();
        root().build(0, 0);
        return headless::record(*root().window()).presented;
    };
    EXPECT_EQ(reopen().pixels(), before.pixels());
    root().destroy();
    items[root().slotOfRow(4)].name = "Renamed";
    root().hoverRow = 1;
    root().build(0, 0);
    EXPECT_EQ(canvas().texts().back().text, "Renamed");
    EXPECT_NE(px(100, 25), background) << "the highlight on row 1";
    EXPECT_EQ(px(179, 47 + 6), arrowInk);
    items[root().slotOfRow(3)].itemType = File; // the submenu row's arrow goes
    reopen();
    EXPECT_EQ(px(179, 47 + 6), background);
    items[root().slotOfRow(0)].name = "Retitled"; // the first row counts too
    reopen();
    EXPECT_EQ(canvas().texts().front().text, "Retitled");
}

// High contrast: the system's colours in place of the skin's colours and pictures, on the menus
// and the trigger, until it is turned off again.
TEST_F(MenuPaintingTest, HighContrastDrawsInTheSystemColoursUntilTurnedOff) {
    const Rgb menu{0, 0, 0}, ink{250, 250, 250}, mark{0, 0, 200}, markInk{255, 255, 0},
        grey{0, 160, 0};
    auto& desktop = headless::desktop();
    desktop.systemColours = {menu, ink, mark, markInk, grey};
    desktop.highContrast = true;
    root().hoverRow = 3;
    headless::changeSystemColours();

    // Outside the icons' column nothing but the system's colours: no picture, gradient or bevel.
    const Picture shown = headless::record(*root().window()).presented;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const Rgb c = shown.at(x, y);
            if (x < strip + 7 || x >= strip + 7 + 16) {
                ASSERT_TRUE(c == menu || c == ink || c == mark || c == markInk || c == grey)
                    << x << ", " << y;
            }
        }
    // A one-pixel frame round the menu and the strip; the highlighted submenu row (46..66) with
    // its arrow in the highlight's text colour; the separator (40..46) a grey line.
    const std::vector<Px> expected{{0, 0, ink},       {201, 87, ink},     {1, 1, menu},
                                   {100, 50, mark},   {179, 53, markInk}, {185, 53, mark},
                                   {100, 43, grey},   {100, 41, menu},    {100, 70, menu},
                                   {-strip, 10, ink}, {-10, 10, menu}};
    expectPixels(expected);
    EXPECT_EQ(canvas().texts(), captions(grey, ink, markInk));
    auto face = [] { return headless::record(*triggerWindow.window()).presented; };
    EXPECT_EQ(face().at(0, 0), ink);
    EXPECT_EQ(face().at(5, 5), menu);
    EXPECT_EQ(face().at(24, 12), ink); // the Z's top bar

    // A submenu closed meanwhile shows the new look when it opens again.
    root().timerTick();
    const auto& sub = headless::record(*menuLevel(1).window());
    EXPECT_EQ(sub.presented.at(0, 0), ink);
    menuLevel(1).destroy();

    desktop.highContrast = false;
    headless::changeSystemColours();
    EXPECT_EQ(px(0, 0), white);
    EXPECT_EQ(px(100, 48), (Rgb{205, 231, 248})); // the highlight picture's top
    EXPECT_EQ(canvas().texts()[1].colour, (Rgb{0, 0, 0}));
    EXPECT_NE(face().at(0, 0), ink);
    EXPECT_NE(face().at(5, 5), menu);
    root().timerTick();
    ASSERT_TRUE(menuLevel(1).isOpen());
    EXPECT_EQ(sub.presented.at(0, 0), white);
}

} // namespace
} // namespace zv
