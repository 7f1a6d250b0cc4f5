#include "graphics/skin_pictures.h"
#include "graphics/trigger_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

namespace zv {
namespace {

::testing::Message& operator<<(::testing::Message& m, Rgb c) {
    return m << "RGB(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

// The picture is w x h with every pixel stored (the platform copies the whole buffer into a
// bitmap) and each pixel as want says; names the first that differs.
::testing::AssertionResult drawnAs(const Picture& p, int w, int h,
                                   const std::function<Rgb(int, int)>& want) {
    if (p.width() != w || p.height() != h || p.pixels().size() != std::size_t(w) * h)
        return ::testing::AssertionFailure() << p.width() << " x " << p.height() << " pixels";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (p.at(x, y) != want(x, y)) {
                ::testing::Message m;
                m << "(" << x << ", " << y << ") is " << p.at(x, y) << ", expected " << want(x, y);
                return ::testing::AssertionFailure() << m;
            }
    return ::testing::AssertionSuccess();
}

constexpr Rgb white{255, 255, 255}, menuBackground{245, 244, 243}, highlightFrame{130, 160, 194};

// Per row, as 0xRRGGBB: the highlight's inside (rows 1..18, its frame on rows 0 and 19), the
// header (x 1..198) and its column 199.
const std::array<std::array<std::uint32_t, 3>, 20> table{{
    {0x82A0C2, 0x373A3C, 0x222324}, {0xCDE7F8, 0xECF3F9, 0x8B9094}, {0xD3EEFF, 0xFBFFFF, 0x90969A},
    {0xD1ECFF, 0xFFFFFF, 0x91979C}, {0xCFEAFF, 0xFDFFFF, 0x8F959A}, {0xCBE6FF, 0xFCFFFF, 0x8F959B},
    {0xC5E0FE, 0xF8FEFF, 0x8F959B}, {0xBED9F9, 0xF3FAFE, 0x90969C}, {0xB8D3F3, 0xEEF5FB, 0x90969C},
    {0xB3CFEF, 0xE9F0F6, 0x90969C}, {0xAFCBEC, 0xE5EDF3, 0x92989E}, {0xADC9E9, 0xE2EAF0, 0x949AA0},
    {0xA8C4E5, 0xE1E8EF, 0x969DA3}, {0xA9C5E5, 0xE2EAF0, 0x99A0A6}, {0xACC8E8, 0xE5EDF3, 0x9DA4AA},
    {0xAFCBEB, 0xE9F1F7, 0xA2A8AF}, {0xB3CFEF, 0xEAF2F8, 0xA5ACB2}, {0xB6D2F2, 0xEAF1F7, 0xA7AEB4},
    {0xB0CCED, 0xE2E9EF, 0xA6ADB3}, {0x82A0C2, 0xA7AEB4, 0xA2A9B0},
}};
Rgb tableRgb(int row, int column) {
    const std::uint32_t c = table[row][column];
    return {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)};
}

TEST(SkinPictures, EveryPixelAt96Dpi) {
    // The highlight: a frame round all four edges, one colour per row inside.
    EXPECT_TRUE(drawnAs(makeHighlightPicture(), 200, 20, [](int x, int y) {
        return y == 0 || y == 19 || x == 0 || x == 199 ? highlightFrame : tableRgb(y, 0);
    }));
    // The header: the table's rows with a darker right column, white down the left edge above
    // the bottom line, which starts at x 0.
    EXPECT_TRUE(drawnAs(makeHeaderPicture(), 200, 20, [](int x, int y) {
        return x == 199 ? tableRgb(y, 2) : x == 0 && y < 19 ? white : tableRgb(y, 1);
    }));
    // The separator: an etched line on the background, 5 pixels from the left and 6 from the right.
    EXPECT_TRUE(drawnAs(makeSeparatorPicture(), 200, 5, [](int x, int y) {
        if (x < 5 || x > 193 || y < 2 || y > 3)
            return menuBackground;
        return y == 2 ? Rgb{195, 194, 193} : white;
    }));
    // The submenu arrow: a triangle pointing right on the background menus take as transparent.
    EXPECT_TRUE(drawnAs(makeSubmenuArrowPicture(), 10, 20, [](int x, int y) {
        const std::array<int, 8> lengths{2, 3, 4, 5, 5, 4, 3, 2};
        const bool ink = y >= 6 && y < 14 && x >= 3 && x < 3 + lengths[y - 6];
        return ink ? Rgb{4, 2, 4} : Rgb{244, 246, 244};
    }));
}

// Lettering is near white; the strip itself never is.
bool isLettering(Rgb c) {
    return c.r >= 235 && c.g >= 235 && c.b >= 235;
}

TEST(SkinPictures, SideStripIsLightBlueDottedWithTheNameUpwardInItsLowerPart) {
    const Picture strip = makeSideStripPicture();
    ASSERT_EQ(strip.width(), 28);
    ASSERT_EQ(strip.height(), 1200);
    int count = 0, minX = strip.width(), maxX = -1, minY = strip.height(), maxY = -1;
    std::vector<bool> inked(strip.height());
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x) {
            const Rgb c = strip.at(x, y);
            if (isLettering(c)) {
                ++count;
                inked[y] = true;
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
                continue;
            }
            // Light blue: blue leads, and the colour is well away from dark.
            ASSERT_TRUE(c.b > c.r && c.b >= c.g && c.b >= 170 && c.r + c.g + c.b >= 3 * 120)
                << ::testing::Message() << "(" << x << ", " << y << ") " << c;
        }
    // A dot pattern all down the strip: neighbouring rows hold more than one colour.
    for (int top : {0, 300, 600, 900}) {
        int distinct = 0;
        for (int y = top; y < top + 3; ++y)
            for (int x = 1; x < strip.width() - 1; ++x)
                distinct += strip.at(x, y) != strip.at(1, top);
        EXPECT_GT(distinct, 0) << "no pattern near row " << top;
    }
    ASSERT_GT(count, 200) << "no lettering found";
    // Only the lower end shows in a short menu: the name runs along its last 200 rows, letters
    // 14 to 18 pixels high across the strip, clear of its edges.
    EXPECT_GE(minY, 1000);
    EXPECT_GT(maxY - minY + 1, 3 * (maxX - minX + 1));
    EXPECT_GE(maxX - minX + 1, 14);
    EXPECT_LE(maxX - minX + 1, 18);
    EXPECT_GT(minX, 0);
    EXPECT_LT(maxX, strip.width() - 1);
    EXPECT_EQ(maxY, strip.height() - 15) << "the name begins 14 pixels above the lower end";
    // The seven letters stand two rows apart: six runs of rows without lettering, each two long.
    std::vector<int> gaps{0};
    for (int y = minY; y <= maxY; ++y)
        if (!inked[y])
            ++gaps.back();
        else if (gaps.back() > 0)
            gaps.push_back(0);
    gaps.pop_back();
    EXPECT_EQ(gaps, std::vector<int>(6, 2));
    // The dots: every third pixel of every third row is lighter than its four neighbours.
    const auto light = [&](int x, int y) {
        const Rgb c = strip.at(x, y);
        return c.r + c.g + c.b;
    };
    for (auto [x, y] : {std::pair{3, 4}, {5, 4}, {4, 3}, {4, 5}})
        EXPECT_GT(light(4, 4), light(x, y)) << x << ", " << y;
    // Both outer columns are darker than the ones beside them, so the strip reads as a bar.
    const int last = strip.height() - 1;
    EXPECT_LT(light(0, last), light(1, last));
    EXPECT_LT(light(27, last), light(26, last));
}

TEST(SkinPictures, TriggerFaceAndWindowIcons) {
    // A 48-pixel blue tile, mostly tile, with a light glyph big enough to see.
    const Picture face = makeTriggerPicture();
    ASSERT_EQ(face.width(), 48);
    ASSERT_EQ(face.height(), 48);
    int light = 0, blue = 0;
    for (const Rgb& c : face.pixels()) {
        light += c.r >= 230 && c.g >= 230 && c.b >= 230;
        blue += c.b > c.r + 40 && c.b > c.g;
    }
    EXPECT_GT(blue, 48 * 48 / 2);
    EXPECT_GT(light, 48 * 48 / 10);
    // The glyph keeps a margin of tile above it and right of its bars.
    for (auto [x, y] : {std::pair{24, 5}, {43, 12}, {43, 36}})
        EXPECT_LT(face.at(x, y).r, 230) << x << ", " << y;
    // The window icons have transparent rounded corners and are opaque inside.
    for (int size : {16, 32, 48}) {
        const MarkImage mark = drawMark(size, MarkCorners::Rounded);
        ASSERT_EQ(mark.size, size);
        ASSERT_EQ(mark.pixels.size(), static_cast<std::size_t>(size * size));
        for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
            EXPECT_EQ(int{mark.at(x, y).a}, 0) << size << " px, corner (" << x << ", " << y << ")";
        EXPECT_EQ(int{mark.at(size / 2, 0).a}, 255) << size << " px, top edge";
        EXPECT_EQ(int{mark.at(size / 2, size / 2).a}, 255) << size << " px, middle";
    }
    // The trigger's face has no corners to leave out: it fills its square window.
    const MarkImage square = drawMark(48, MarkCorners::Square);
    EXPECT_TRUE(std::all_of(square.pixels.begin(), square.pixels.end(),
                            [](const Rgba& p) { return p.a == 255; }));
}

} // namespace
} // namespace zv
