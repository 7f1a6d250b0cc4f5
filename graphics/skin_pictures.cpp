#include "graphics/skin_pictures.h"

#include <array>
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

void paintStrip(Picture& strip) {
    for (int y = 0; y < strip.height(); ++y) {
        const Rgb row = mix(kStripTop, kStripBottom, y, strip.height());
        for (int x = 0; x < strip.width(); ++x) {
            Rgb c = row;
            if (x == 0 || x == strip.width() - 1) {
                c = shade(c, -kStripEdgeShade);
            } else if (x % 3 == 1 && y % 3 == 1) {
                c = shade(c, kDotLift);
            }
            strip.set(x, y, c);
        }
    }
}

// Writes the name upward, the tops of the letters towards the left edge: a glyph's column u
// (reading direction) lands on strip row baseY - u, and its row v on strip column leftX + v.
void writeNameUpward(Picture& strip, int leftX, int baseY) {
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
                    if (strip.contains(x, y)) {
                        strip.set(x, y, ink);
                    }
                }
            }
            u0 += width + kLetterGap;
        }
    }
}

} // namespace

Picture makeHighlightPicture() {
    Picture hl(kSkinPictureWidth, kSkinPictureHeight, kHighlightFrame);
    for (int y = 1; y < kSkinPictureHeight - 1; ++y) {
        fillRow(hl, y, 1, kSkinPictureWidth - 2, kRows[static_cast<std::size_t>(y)].highlight);
    }
    return hl;
}

Picture makeHeaderPicture() {
    Picture header(kSkinPictureWidth, kSkinPictureHeight, kWhite);
    for (int y = 0; y < kSkinPictureHeight; ++y) {
        const RowColours& row = kRows[static_cast<std::size_t>(y)];
        fillRow(header, y, 1, kSkinPictureWidth - 2, row.header);
        header.set(kSkinPictureWidth - 1, y, row.headerRightEdge);
    }
    // The bottom line runs under the white left edge too.
    header.set(0, kSkinPictureHeight - 1, kRows[kSkinPictureHeight - 1].header);
    return header;
}

Picture makeSeparatorPicture() {
    Picture sep(kSkinPictureWidth, kSeparatorPictureHeight, kMenuBackground);
    fillRow(sep, 2, 5, 193, Rgb{195, 194, 193});
    fillRow(sep, 3, 5, 193, kWhite);
    return sep;
}

Picture makeSubmenuArrowPicture() {
    Picture arrow(kSubmenuArrowWidth, kSubmenuArrowHeight, Rgb{244, 246, 244});
    constexpr std::array<int, 8> kLengths{2, 3, 4, 5, 5, 4, 3, 2};
    for (std::size_t i = 0; i < kLengths.size(); ++i) {
        const int y = 6 + static_cast<int>(i);
        fillRow(arrow, y, 3, 3 + kLengths[i] - 1, Rgb{4, 2, 4});
    }
    return arrow;
}

Picture makeSideStripPicture() {
    Picture strip(kSideStripWidth, kSideStripPictureHeight, kStripBottom);
    paintStrip(strip);
    // The 16-pixel line sits in the middle of the 28-pixel strip; the name starts 14 pixels above
    // the lower end so that it is whole in a menu of a few rows.
    const int leftX = (kSideStripWidth - kGlyphRows) / 2;
    writeNameUpward(strip, leftX, kSideStripPictureHeight - 15);
    return strip;
}

SkinPictures skinPictures;

void SkinPictures::load() {
    highlight_.emplace(makeHighlightPicture());
    header_.emplace(makeHeaderPicture());
    separator_.emplace(makeSeparatorPicture());
    submenuArrow_.emplace(makeSubmenuArrowPicture());
}

void SkinPictures::unload() {
    highlight_.reset();
    header_.reset();
    separator_.reset();
    submenuArrow_.reset();
}

} // namespace zv
