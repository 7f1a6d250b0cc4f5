#include "graphics/skin_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace zv {
namespace {

constexpr Rgb kMenuBackground{245, 244, 243};
constexpr Rgb kWhite{255, 255, 255};

// One colour per row of the 20-pixel pictures; rows 0 and 19 of the highlight are its frame and
// take the frame colour instead of the entry here.
struct RowColours {
    Rgb highlight;
    Rgb header;
    Rgb headerRightEdge;
};

constexpr Rgb kHighlightFrame{130, 160, 194};

constexpr std::array<RowColours, kSkinPictureHeight> kRows{{
    {kHighlightFrame, {55, 58, 60}, {34, 35, 36}},
    {{205, 231, 248}, {236, 243, 249}, {139, 144, 148}},
    {{211, 238, 255}, {251, 255, 255}, {144, 150, 154}},
    {{209, 236, 255}, {255, 255, 255}, {145, 151, 156}},
    {{207, 234, 255}, {253, 255, 255}, {143, 149, 154}},
    {{203, 230, 255}, {252, 255, 255}, {143, 149, 155}},
    {{197, 224, 254}, {248, 254, 255}, {143, 149, 155}},
    {{190, 217, 249}, {243, 250, 254}, {144, 150, 156}},
    {{184, 211, 243}, {238, 245, 251}, {144, 150, 156}},
    {{179, 207, 239}, {233, 240, 246}, {144, 150, 156}},
    {{175, 203, 236}, {229, 237, 243}, {146, 152, 158}},
    {{173, 201, 233}, {226, 234, 240}, {148, 154, 160}},
    {{168, 196, 229}, {225, 232, 239}, {150, 157, 163}},
    {{169, 197, 229}, {226, 234, 240}, {153, 160, 166}},
    {{172, 200, 232}, {229, 237, 243}, {157, 164, 170}},
    {{175, 203, 235}, {233, 241, 247}, {162, 168, 175}},
    {{179, 207, 239}, {234, 242, 248}, {165, 172, 178}},
    {{182, 210, 242}, {234, 241, 247}, {167, 174, 180}},
    {{176, 204, 237}, {226, 233, 239}, {166, 173, 179}},
    {kHighlightFrame, {167, 174, 180}, {162, 169, 176}},
}};

void fillRow(Picture& picture, int y, int fromX, int toX, Rgb colour) {
    for (int x = fromX; x <= toX; ++x) {
        picture.set(x, y, colour);
    }
}

void fillBlock(Picture& picture, int left, int top, int right, int bottom, Rgb colour) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (picture.contains(x, y)) {
                picture.set(x, y, colour);
            }
        }
    }
}

// The colour of row i of n rows that span the gradient rows 1..18 of the table: at n = 18 the
// table's own rows, at any other height the same gradient sampled between them.
Rgb gradientRow(Rgb RowColours::*column, int i, int n) {
    constexpr int kFirst = 1, kCount = kSkinPictureHeight - 2;
    const double at = std::clamp((i + 0.5) * kCount / n - 0.5, 0.0, kCount - 1.0);
    const int below = static_cast<int>(at);
    const int above = std::min(below + 1, kCount - 1);
    const double t = at - below;
    const Rgb a = kRows[static_cast<std::size_t>(kFirst + below)].*column;
    const Rgb b = kRows[static_cast<std::size_t>(kFirst + above)].*column;
    auto channel = [t](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// The colour of the 20-pixel pictures' row y of height rows, each frame line frame rows thick.
Rgb pictureRow(Rgb RowColours::*column, int y, int height, int frame) {
    if (y < frame) {
        return kRows.front().*column;
    }
    if (y >= height - frame) {
        return kRows.back().*column;
    }
    return gradientRow(column, y - frame, height - 2 * frame);
}

// --- Side strip ---------------------------------------------------------------------------

// A small bitmap font for the product name, 16 rows high: capitals and ascenders fill all rows,
// lower-case letters rows 5..15. Strokes are two pixels wide so the name stays legible on the
// strip without smoothing.
constexpr int kGlyphRows = 16;

struct Glyph {
    char letter;
    std::array<std::string_view, kGlyphRows> rows; // '#' is ink; every row has the same width
};

constexpr std::array<Glyph, 7> kFont{{
    {'Z',
     {"###########", "###########", "........###", ".......###.", ".......###.", "......###..",
      ".....###...", "....###....", "....###....", "...###.....", "..###......", ".###.......",
      ".###.......", "###........", "###########", "###########"}},
    {'e',
     {".........", ".........", ".........", ".........", ".........", "..#####..", ".#######.",
      "##.....##", "##.....##", "#########", "#########", "##.......", "##.......", "##......#",
      ".########", "..######."}},
    {'l',
     {"##", "##", "##", "##", "##", "##", "##", "##", "##", "##", "##", "##", "##", "##", "##",
      "##"}},
    {'v',
     {"..........", "..........", "..........", "..........", "..........", "##......##",
      "##......##", ".##....##.", ".##....##.", "..##..##..", "..##..##..", "...####...",
      "...####...", "...####...", "....##....", "....##...."}},
    {'o',
     {".........", ".........", ".........", ".........", ".........", "..#####..", ".#######.",
      "##.....##", "##.....##", "##.....##", "##.....##", "##.....##", "##.....##", "##.....##",
      ".#######.", "..#####.."}},
    {'r',
     {".......", ".......", ".......", ".......", ".......", "##.####", "#######", "###....",
      "##.....", "##.....", "##.....", "##.....", "##.....", "##.....", "##.....", "##....."}},
    {'a',
     {".........", ".........", ".........", ".........", ".........", ".######..", "########.",
      ".......##", ".......##", "..#######", ".########", "##.....##", "##.....##", "##....###",
      ".########", "..####.##"}},
}};

const Glyph* findGlyph(char letter) {
    for (const Glyph& glyph : kFont) {
        if (glyph.letter == letter) {
            return &glyph;
        }
    }
    return nullptr;
}

constexpr std::string_view kProductName = "Zelvora";
constexpr int kLetterGap = 2;

// The strip: a vertical gradient, a shade darker towards the lower end where the name sits so the
// light lettering stands out, with a lighter dot on every third pixel of every third row.
constexpr Rgb kStripTop{186, 210, 240};
constexpr Rgb kStripBottom{140, 176, 226};
constexpr Rgb kLettering{255, 255, 255};
constexpr Rgb kLetteringShadow{98, 132, 186};
constexpr int kStripEdgeShade = 14; // the outer columns are darker, so the strip reads as a bar
constexpr int kDotLift = 12;

std::uint8_t clampChannel(int value) {
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

Rgb shade(Rgb c, int delta) {
    return {clampChannel(c.r + delta), clampChannel(c.g + delta), clampChannel(c.b + delta)};
}

Rgb mix(Rgb a, Rgb b, int y, int height) {
    auto channel = [&](std::uint8_t from, std::uint8_t to) {
        return clampChannel(from + (to - from) * y / (height - 1));
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// The dots and the lettering keep their 96-DPI grid: each of its pixels becomes a block of the
// scaled size, drawn at the strip's own resolution.
void paintStrip(Picture& strip, platform::DisplayScale scale) {
    const int edge = scale.pixels(1);
    for (int y = 0; y < strip.height(); ++y) {
        const Rgb row = mix(kStripTop, kStripBottom, y, strip.height());
        const int gridY = y * 96 / scale.dpi;
        for (int x = 0; x < strip.width(); ++x) {
            const int gridX = x * 96 / scale.dpi;
            Rgb c = row;
            if (x < edge || x >= strip.width() - edge) {
                c = shade(c, -kStripEdgeShade);
            } else if (gridX % 3 == 1 && gridY % 3 == 1) {
                c = shade(c, kDotLift);
            }
            strip.set(x, y, c);
        }
    }
}

// Writes the name upward, the tops of the letters towards the left edge: a glyph's column u
// (reading direction) lands on strip row baseY - u, and its row v on strip column leftX + v.
void writeNameUpward(Picture& strip, int leftX, int baseY, platform::DisplayScale scale) {
    // Shadow first (one pixel to the right and down on the screen), then the letters over it.
    for (int pass = 0; pass < 2; ++pass) {
        const int dx = pass == 0 ? 1 : 0;
        const int dy = pass == 0 ? 1 : 0;
        const Rgb ink = pass == 0 ? kLetteringShadow : kLettering;
        int u0 = 0;
        for (char letter : kProductName) {
            const Glyph* glyph = findGlyph(letter);
            if (glyph == nullptr) {
                continue;
            }
            const int width = static_cast<int>(glyph->rows[0].size());
            for (int v = 0; v < kGlyphRows; ++v) {
                for (int u = 0; u < width; ++u) {
                    if (glyph->rows[static_cast<std::size_t>(v)][static_cast<std::size_t>(u)] !=
                        '#') {
                        continue;
                    }
                    const int x = leftX + v + dx;
                    const int y = baseY - (u0 + u) + dy;
                    fillBlock(strip, scale.pixels(x), scale.pixels(y), scale.pixels(x + 1),
                              scale.pixels(y + 1), ink);
                }
            }
            u0 += width + kLetterGap;
        }
    }
}

} // namespace

Picture makeHighlightPicture(platform::DisplayScale scale) {
    const int width = scale.pixels(kSkinPictureWidth);
    const int height = scale.pixels(kSkinPictureHeight);
    const int frame = scale.pixels(1);
    Picture hl(width, height, kHighlightFrame);
    for (int y = frame; y < height - frame; ++y) {
        fillRow(hl, y, frame, width - frame - 1,
                pictureRow(&RowColours::highlight, y, height, frame));
    }
    return hl;
}

Picture makeHeaderPicture(platform::DisplayScale scale) {
    const int width = scale.pixels(kSkinPictureWidth);
    const int height = scale.pixels(kSkinPictureHeight);
    const int frame = scale.pixels(1);
    Picture header(width, height, kWhite);
    for (int y = 0; y < height; ++y) {
        fillRow(header, y, frame, width - frame - 1,
                pictureRow(&RowColours::header, y, height, frame));
        fillRow(header, y, width - frame, width - 1,
                pictureRow(&RowColours::headerRightEdge, y, height, frame));
    }
    // The bottom line runs under the white left edge too.
    fillBlock(header, 0, height - frame, frame, height, kRows.back().header);
    return header;
}

Picture makeSeparatorPicture(platform::DisplayScale scale) {
    Picture sep(scale.pixels(kSkinPictureWidth), scale.pixels(kSeparatorPictureHeight),
                kMenuBackground);
    const int left = scale.pixels(5), right = scale.pixels(194);
    fillBlock(sep, left, scale.pixels(2), right, scale.pixels(3), Rgb{195, 194, 193});
    fillBlock(sep, left, scale.pixels(3), right, scale.pixels(4), kWhite);
    return sep;
}

// The triangle's rows at 96 DPI are 2, 3, 4, 5, 5, 4, 3 and 2 pixels long from row 6: a row
// whose middle lies at v (in 96-DPI pixels) is 1.5 + its distance from the nearer end long.
std::vector<Rect> submenuArrowLines(platform::DisplayScale scale) {
    const int width = scale.pixels(kSubmenuArrowWidth);
    const int height = scale.pixels(kSubmenuArrowHeight);
    const int left = scale.pixels(3);
    std::vector<Rect> lines;
    for (int y = 0; y < height; ++y) {
        const double v = (y + 0.5) * 96 / scale.dpi;
        if (v < 6 || v >= 14) {
            continue;
        }
        const double length = 1.5 + std::min(v - 6, 14 - v);
        const int pixels = static_cast<int>(std::lround(length * scale.dpi / 96));
        lines.push_back(Rect{left, y, std::min(left + pixels, width), y + 1});
    }
    return lines;
}

Picture makeSubmenuArrowPicture(platform::DisplayScale scale) {
    Picture arrow(scale.pixels(kSubmenuArrowWidth), scale.pixels(kSubmenuArrowHeight),
                  Rgb{244, 246, 244});
    for (const Rect& line : submenuArrowLines(scale))
        fillRow(arrow, line.top, line.left, line.right - 1, Rgb{4, 2, 4});
    return arrow;
}

Picture makeSideStripPicture(platform::DisplayScale scale) {
    Picture strip(scale.pixels(kSideStripWidth), scale.pixels(kSideStripPictureHeight),
                  kStripBottom);
    paintStrip(strip, scale);
    // The 16-pixel line sits in the middle of the 28-pixel strip; the name starts 14 pixels above
    // the lower end so that it is whole in a menu of a few rows.
    const int leftX = (kSideStripWidth - kGlyphRows) / 2;
    writeNameUpward(strip, leftX, kSideStripPictureHeight - 15, scale);
    return strip;
}

SkinPictures skinPictures;

void SkinPictures::load(platform::DisplayScale scale) {
    scale_ = scale;
    highlight_.emplace(makeHighlightPicture(scale));
    header_.emplace(makeHeaderPicture(scale));
    separator_.emplace(makeSeparatorPicture(scale));
    submenuArrow_.emplace(makeSubmenuArrowPicture(scale));
}

void SkinPictures::unload() {
    highlight_.reset();
    header_.reset();
    separator_.reset();
    submenuArrow_.reset();
}

} // namespace zv
