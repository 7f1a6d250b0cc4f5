#include "graphics/skin_pictures.h"
#include "graphics/trigger_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>

namespace {

using zv::Picture;
using zv::Rgb;

std::string text(Rgb c) {
    std::ostringstream s;
    s << "RGB(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
    return s.str();
}

// Checks one pixel and names the pixel and both colours when it differs.
::testing::AssertionResult hasColour(const Picture& picture, int x, int y, Rgb want) {
    if (!picture.contains(x, y)) {
        return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is outside";
    }
    const Rgb got = picture.at(x, y);
    if (got == want) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << x << ", " << y << ") is " << text(got) << ", expected " << text(want);
}

// Checks every pixel of row y from x0 to x1.
::testing::AssertionResult rowHasColour(const Picture& picture, int y, int x0, int x1, Rgb want) {
    for (int x = x0; x <= x1; ++x) {
        auto result = hasColour(picture, x, y, want);
        if (!result) {
            return result;
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult columnHasColour(const Picture& picture, int x, int y0, int y1,
                                           Rgb want) {
    for (int y = y0; y <= y1; ++y) {
        auto result = hasColour(picture, x, y, want);
        if (!result) {
            return result;
        }
    }
    return ::testing::AssertionSuccess();
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kMenuBackground{245, 244, 243};
constexpr Rgb kHighlightFrame{130, 160, 194};

// The row table of the highlight's inside (rows 1..18) and of the header (x 1..198, x 199).
struct TableRow {
    int row;
    Rgb highlight;
    Rgb header;
    Rgb headerRight;
};

const std::array<TableRow, 20> kTable{{
    {0, kHighlightFrame, {55, 58, 60}, {34, 35, 36}},
    {1, {205, 231, 248}, {236, 243, 249}, {139, 144, 148}},
    {2, {211, 238, 255}, {251, 255, 255}, {144, 150, 154}},
    {3, {209, 236, 255}, {255, 255, 255}, {145, 151, 156}},
    {4, {207, 234, 255}, {253, 255, 255}, {143, 149, 154}},
    {5, {203, 230, 255}, {252, 255, 255}, {143, 149, 155}},
    {6, {197, 224, 254}, {248, 254, 255}, {143, 149, 155}},
    {7, {190, 217, 249}, {243, 250, 254}, {144, 150, 156}},
    {8, {184, 211, 243}, {238, 245, 251}, {144, 150, 156}},
    {9, {179, 207, 239}, {233, 240, 246}, {144, 150, 156}},
    {10, {175, 203, 236}, {229, 237, 243}, {146, 152, 158}},
    {11, {173, 201, 233}, {226, 234, 240}, {148, 154, 160}},
    {12, {168, 196, 229}, {225, 232, 239}, {150, 157, 163}},
    {13, {169, 197, 229}, {226, 234, 240}, {153, 160, 166}},
    {14, {172, 200, 232}, {229, 237, 243}, {157, 164, 170}},
    {15, {175, 203, 235}, {233, 241, 247}, {162, 168, 175}},
    {16, {179, 207, 239}, {234, 242, 248}, {165, 172, 178}},
    {17, {182, 210, 242}, {234, 241, 247}, {167, 174, 180}},
    {18, {176, 204, 237}, {226, 233, 239}, {166, 173, 179}},
    {19, kHighlightFrame, {167, 174, 180}, {162, 169, 176}},
}};

TEST(SkinPictures, SizesMatchWhatTheMenusCopy) {
    const Picture highlight = zv::makeHighlightPicture();
    EXPECT_EQ(highlight.width(), 200);
    EXPECT_EQ(highlight.height(), 20);
    const Picture header = zv::makeHeaderPicture();
    EXPECT_EQ(header.width(), 200);
    EXPECT_EQ(header.height(), 20);
    const Picture sep = zv::makeSeparatorPicture();
    EXPECT_EQ(sep.width(), 200);
    EXPECT_EQ(sep.height(), 5);
    const Picture arrow = zv::makeSubmenuArrowPicture();
    EXPECT_EQ(arrow.width(), 10);
    EXPECT_EQ(arrow.height(), 20);
    const Picture strip = zv::makeSideStripPicture();
    EXPECT_EQ(strip.width(), 28);
    EXPECT_EQ(strip.height(), 1200);
    // Every pixel is stored: the platform copies the whole buffer into a bitmap.
    EXPECT_EQ(strip.pixels().size(), 28u * 1200u);
}

TEST(HighlightPicture, FrameRunsRoundAllFourEdges) {
    const Picture highlight = zv::makeHighlightPicture();
    EXPECT_TRUE(rowHasColour(highlight, 0, 0, 199, kHighlightFrame));
    EXPECT_TRUE(rowHasColour(highlight, 19, 0, 199, kHighlightFrame));
    EXPECT_TRUE(columnHasColour(highlight, 0, 0, 19, kHighlightFrame));
    EXPECT_TRUE(columnHasColour(highlight, 199, 0, 19, kHighlightFrame));
}

TEST(HighlightPicture, InsideHasOneColourPerRow) {
    const Picture highlight = zv::makeHighlightPicture();
    for (const TableRow& row : kTable) {
        if (row.row == 0 || row.row == 19) {
            continue;
        }
        EXPECT_TRUE(rowHasColour(highlight, row.row, 1, 198, row.highlight)) << "row " << row.row;
    }
    // Spot checks straight from the table, next to the frame.
    EXPECT_TRUE(hasColour(highlight, 1, 1, Rgb{205, 231, 248}));
    EXPECT_TRUE(hasColour(highlight, 198, 12, Rgb{168, 196, 229}));
    EXPECT_TRUE(hasColour(highlight, 1, 18, Rgb{176, 204, 237}));
}

TEST(HeaderPicture, RowsFollowTheTableWithADarkerRightEdge) {
    const Picture header = zv::makeHeaderPicture();
    for (const TableRow& row : kTable) {
        EXPECT_TRUE(rowHasColour(header, row.row, 1, 198, row.header)) << "row " << row.row;
        EXPECT_TRUE(hasColour(header, 199, row.row, row.headerRight)) << "row " << row.row;
    }
}

TEST(HeaderPicture, LeftEdgeIsWhiteAboveTheBottomLine) {
    const Picture header = zv::makeHeaderPicture();
    EXPECT_TRUE(columnHasColour(header, 0, 0, 18, kWhite));
    // The bottom line starts at x 0 and only its last pixel is darker.
    EXPECT_TRUE(rowHasColour(header, 19, 0, 198, Rgb{167, 174, 180}));
    EXPECT_TRUE(hasColour(header, 199, 19, Rgb{162, 169, 176}));
    // Corners.
    EXPECT_TRUE(hasColour(header, 0, 0, kWhite));
    EXPECT_TRUE(hasColour(header, 199, 0, Rgb{34, 35, 36}));
    EXPECT_TRUE(hasColour(header, 0, 19, Rgb{167, 174, 180}));
}

TEST(SeparatorPicture, EtchedLineOnTheMenuBackground) {
    const Picture sep = zv::makeSeparatorPicture();
    for (int y : {0, 1, 4}) {
        EXPECT_TRUE(rowHasColour(sep, y, 0, 199, kMenuBackground)) << "row " << y;
    }
    EXPECT_TRUE(rowHasColour(sep, 2, 5, 193, Rgb{195, 194, 193}));
    EXPECT_TRUE(rowHasColour(sep, 3, 5, 193, kWhite));
    // The line stops five pixels from the left and six from the right.
    for (int y : {2, 3}) {
        EXPECT_TRUE(rowHasColour(sep, y, 0, 4, kMenuBackground)) << "row " << y;
        EXPECT_TRUE(rowHasColour(sep, y, 194, 199, kMenuBackground)) << "row " << y;
    }
}

TEST(MenuArrowPicture, TrianglePointsRightOnItsBackground) {
    const Picture arrow = zv::makeSubmenuArrowPicture();
    const Rgb background{244, 246, 244};
    const Rgb ink{4, 2, 4};
    // The menus take the transparent colour from (1, 1).
    EXPECT_TRUE(hasColour(arrow, 1, 1, background));

    const std::array<int, 8> lengths{2, 3, 4, 5, 5, 4, 3, 2};
    for (int i = 0; i < 8; ++i) {
        const int y = 6 + i;
        const int last = 3 + lengths[static_cast<std::size_t>(i)] - 1;
        EXPECT_TRUE(rowHasColour(arrow, y, 0, 2, background)) << "row " << y;
        EXPECT_TRUE(rowHasColour(arrow, y, 3, last, ink)) << "row " << y;
        EXPECT_TRUE(rowHasColour(arrow, y, last + 1, 9, background)) << "row " << y;
    }
    for (int y = 0; y < 6; ++y) {
        EXPECT_TRUE(rowHasColour(arrow, y, 0, 9, background)) << "row " << y;
    }
    for (int y = 14; y < 20; ++y) {
        EXPECT_TRUE(rowHasColour(arrow, y, 0, 9, background)) << "row " << y;
    }
    // The tip rows named in the layout: x 3..4 on row 6, x 3..7 on row 9.
    EXPECT_TRUE(hasColour(arrow, 4, 6, ink));
    EXPECT_TRUE(hasColour(arrow, 5, 6, background));
    EXPECT_TRUE(hasColour(arrow, 7, 9, ink));
    EXPECT_TRUE(hasColour(arrow, 8, 9, background));
}

// Lettering is near white; the strip itself never is.
bool isLettering(Rgb c) {
    return c.r >= 235 && c.g >= 235 && c.b >= 235;
}

TEST(SideGraphic, IsALightBlueStripWithAFineDotPattern) {
    const Picture strip = zv::makeSideStripPicture();
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const Rgb c = strip.at(x, y);
            if (isLettering(c)) {
                continue;
            }
            // Light blue: blue leads, and the colour is well away from dark.
            ASSERT_GT(c.b, c.r) << "(" << x << ", " << y << ") " << text(c);
            ASSERT_GE(c.b, c.g) << "(" << x << ", " << y << ") " << text(c);
            ASSERT_GE(c.b, 170) << "(" << x << ", " << y << ") " << text(c);
            ASSERT_GE(c.r + c.g + c.b, 3 * 120) << "(" << x << ", " << y << ") " << text(c);
        }
    }
    // A dot pattern: away from the lettering, a few neighbouring rows hold more than one colour
    // inside the edges, and the pattern repeats down the whole strip.
    for (int top : {0, 300, 600, 900}) {
        int distinct = 0;
        Rgb first = strip.at(1, top);
        for (int y = top; y < top + 3; ++y) {
            for (int x = 1; x < strip.width() - 1; ++x) {
                if (!(strip.at(x, y) == first)) {
                    ++distinct;
                }
            }
        }
        EXPECT_GT(distinct, 0) << "no pattern near row " << top;
    }
}

TEST(SideGraphic, NameIsWrittenUpwardInTheLowerPart) {
    const Picture strip = zv::makeSideStripPicture();
    int count = 0;
    int minX = strip.width(), maxX = -1, minY = strip.height(), maxY = -1;
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            if (!isLettering(strip.at(x, y))) {
                continue;
            }
            ++count;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    ASSERT_GT(count, 200) << "no lettering found";
    // Only the lower end shows in a short menu, so the name lives in the last 200 rows...
    EXPECT_GE(minY, 1000);
    EXPECT_LT(maxY, 1200);
    // ...running along the strip (a seven-letter word is far longer than it is high)...
    EXPECT_GT(maxY - minY + 1, 3 * (maxX - minX + 1));
    // ...with letters 14 to 18 pixels high across the strip, clear of its edges.
    EXPECT_GE(maxX - minX + 1, 14);
    EXPECT_LE(maxX - minX + 1, 18);
    EXPECT_GT(minX, 0);
    EXPECT_LT(maxX, strip.width() - 1);
}

TEST(TriggerPicture, IsA48PixelBlueTileWithALightGlyph) {
    const Picture face = zv::makeTriggerPicture();
    ASSERT_EQ(face.width(), 48);
    ASSERT_EQ(face.height(), 48);
    int light = 0, blue = 0;
    for (const Rgb& c : face.pixels()) {
        if (c.r >= 230 && c.g >= 230 && c.b >= 230) {
            ++light;
        } else if (c.b > c.r + 40 && c.b > c.g) {
            ++blue;
        }
    }
    // Mostly tile, with a glyph big enough to see.
    EXPECT_GT(blue, 48 * 48 / 2);
    EXPECT_GT(light, 48 * 48 / 10);
}

TEST(WindowIconDrawing, RoundedCornersAreTransparentAndTheMiddleOpaque) {
    for (int size : {16, 32, 48}) {
        const zv::MarkImage mark = zv::drawMark(size, zv::MarkCorners::Rounded);
        ASSERT_EQ(mark.size, size);
        ASSERT_EQ(mark.pixels.size(), static_cast<std::size_t>(size * size));
        for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
            EXPECT_EQ(int{mark.at(x, y).a}, 0) << size << " px, corner (" << x << ", " << y << ")";
        }
        EXPECT_EQ(int{mark.at(size / 2, 0).a}, 255) << size << " px, top edge";
        EXPECT_EQ(int{mark.at(size / 2, size / 2).a}, 255) << size << " px, middle";
    }
    // The trigger's face has no corners to leave out: it fills its square window.
    const zv::MarkImage square = zv::drawMark(48, zv::MarkCorners::Square);
    EXPECT_TRUE(std::all_of(square.pixels.begin(), square.pixels.end(),
                            [](const zv::Rgba& p) { return p.a == 255; }));
}

} // namespace

namespace {

// At every scale the pictures are drawn at their scaled size, their one-pixel lines as thick as
// the scale makes a pixel, and nothing of the 96-DPI picture is merely enlarged.
TEST(ScaledSkinPictures, SizesAndLinesFollowTheScale) {
    struct Case {
        int dpi, width, height, line, separatorTop;
    };
    for (const Case& c :
         {Case{120, 250, 25, 1, 3}, Case{144, 300, 30, 2, 3}, Case{192, 400, 40, 2, 4}}) {
        const zv::platform::DisplayScale scale{c.dpi};
        const Picture hl = zv::makeHighlightPicture(scale);
        ASSERT_EQ(hl.width(), c.width) << c.dpi;
        ASSERT_EQ(hl.height(), c.height) << c.dpi;
        const Rgb frame = hl.at(0, 0);
        EXPECT_TRUE(hasColour(hl, c.width / 2, c.line - 1, frame)) << c.dpi;
        EXPECT_NE(hl.at(c.width / 2, c.line), frame) << c.dpi;
        EXPECT_TRUE(hasColour(hl, c.width / 2, c.height - c.line, frame)) << c.dpi;
        EXPECT_NE(hl.at(c.width / 2, c.height - c.line - 1), frame) << c.dpi;
        // The gradient spans the height: no two neighbouring rows of its middle repeat the
        // whole run of the 96-DPI rows.
        int distinct = 0;
        for (int y = c.line + 1; y < c.height - c.line; ++y)
            distinct += hl.at(10, y) != hl.at(10, y - 1) ? 1 : 0;
        EXPECT_GE(distinct, 12) << c.dpi;

        const Picture sep = zv::makeSeparatorPicture(scale);
        EXPECT_EQ(sep.width(), c.width);
        EXPECT_NE(sep.at(c.width / 2, c.separatorTop - 1), sep.at(c.width / 2, c.separatorTop));
        EXPECT_EQ(sep.at(c.width / 2, c.separatorTop).r, 195) << c.dpi;

        EXPECT_EQ(zv::makeSubmenuArrowPicture(scale).height(), c.height);
        EXPECT_EQ(zv::makeHeaderPicture(scale).width(), c.width);
        const Picture strip = zv::makeSideStripPicture(scale);
        EXPECT_EQ(strip.width(), scale.pixels(28));
        EXPECT_EQ(strip.height(), scale.pixels(1200));
        EXPECT_EQ(zv::makeTriggerPicture(scale).width(), scale.pixels(48));
    }
}

} // namespace
