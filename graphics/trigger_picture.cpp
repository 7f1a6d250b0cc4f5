#include "graphics/trigger_picture.h"

#include <algorithm>
#include <cmath>

namespace zv {
namespace {

struct Colour {
    double r, g, b;
};

Colour lerp(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour lighten(Colour c, double amount) {
    return lerp(c, Colour{255, 255, 255}, amount);
}

constexpr Colour kTileTop{84, 152, 228};
constexpr Colour kTileBottom{26, 88, 178};
constexpr Colour kTileBorder{18, 56, 124};
constexpr Colour kGlyph{255, 255, 255};
constexpr Colour kGlyphShadow{10, 44, 104};

// Distance from (x, y) inwards to the edge of a size x size box with corner radius r; negative
// outside the box.
double insideDistance(double x, double y, double size, double r) {
    const double half = size / 2;
    const double qx = std::abs(x - half) - (half - r);
    const double qy = std::abs(y - half) - (half - r);
    const double ox = std::max(qx, 0.0);
    const double oy = std::max(qy, 0.0);
    const double outside = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
    return -outside;
}

// The "Z" in units of the tile (0..1), laid on a 16-step grid so that its bars fall on whole
// pixels at 16, 32 and 48 pixels: bars 2/16 high from 3/16 to 13/16, and a diagonal 3/16 wide
// joining the right end of the top bar to the left end of the bottom bar.
bool insideZ(double u, double v) {
    constexpr double kLeft = 3.0 / 16, kRight = 13.0 / 16;
    constexpr double kTop = 3.0 / 16, kBottom = 13.0 / 16, kBar = 2.0 / 16;
    constexpr double kDiagonalWidth = 3.0 / 16;
    if (u < kLeft || u > kRight || v < kTop || v > kBottom) {
        return false;
    }
    if (v <= kTop + kBar || v >= kBottom - kBar) {
        return true;
    }
    const double t = (v - (kTop + kBar)) / ((kBottom - kBar) - (kTop + kBar));
    const double diagonalLeft = (kRight - kDiagonalWidth) + (kLeft - (kRight - kDiagonalWidth)) * t;
    return u >= diagonalLeft && u <= diagonalLeft + kDiagonalWidth;
}

std::uint8_t toChannel(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

MarkImage drawMark(int size, MarkCorners corners) {
    MarkImage image;
    image.size = size;
    image.pixels.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));

    const double s = size;
    // At 16 pixels a radius under 3.5 would leave a faint speck in the corner pixel.
    const double radius = corners == MarkCorners::Rounded ? std::max(s * 0.18, 3.5) : 0.0;
    const double border = 1.0;
    // A one-pixel lighter rim inside the border gives the tile some depth where there is room.
    const double rim = size >= 32 ? 1.0 : 0.0;
    const double shadowOffset = std::max(1.0, s / 32);

    // Each pixel is the average of a grid of samples, which smooths the diagonal and the corners.
    constexpr int kSamples = 6;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int j = 0; j < kSamples; ++j) {
                for (int i = 0; i < kSamples; ++i) {
                    const double x = px + (i + 0.5) / kSamples;
                    const double y = py + (j + 0.5) / kSamples;
                    const double d = insideDistance(x, y, s, radius);
                    if (d < 0) {
                        continue;
                    }
                    ++covered;
                    Colour c = lerp(kTileTop, kTileBottom, y / s);
                    if (y < s * 0.5) {
                        c = lighten(c, 0.10); // a soft sheen on the upper half
                    }
                    if (d < border) {
                        c = kTileBorder;
                    } else if (d < border + rim) {
                        c = lighten(c, 0.22);
                    } else if (insideZ(x / s, y / s)) {
                        c = kGlyph;
                    } else if (insideZ((x - shadowOffset) / s, (y - shadowOffset) / s)) {
                        c = lerp(c, kGlyphShadow, 0.45);
                    }
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            Rgba& out = image.pixels[static_cast<std::size_t>(py) * static_cast<std::size_t>(size) +
                                     static_cast<std::size_t>(px)];
            if (covered == 0) {
                out = Rgba{};
                continue;
            }
            out = Rgba{toChannel(r / covered), toChannel(g / covered), toChannel(b / covered),
                       toChannel(255.0 * covered / (kSamples * kSamples))};
        }
    }
    return image;
}

Picture makeTriggerPicture(platform::DisplayScale scale) {
    const int size = scale.pixels(kTriggerPictureSize);
    const MarkImage mark = drawMark(size, MarkCorners::Square);
    Picture face(size, size, Rgb{});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Rgba p = mark.at(x, y);
            face.set(x, y, Rgb{p.r, p.g, p.b});
        }
    }
    return face;
}

Picture makePlainTriggerPicture(platform::DisplayScale scale, Rgb background, Rgb glyph) {
    const int size = scale.pixels(kTriggerPictureSize);
    const int frame = scale.pixels(1);
    Picture face(size, size, background);
    // The "Z" smoothed into the background by how much of each pixel it covers; the frame is a
    // plain line in the glyph's colour.
    constexpr int kSamples = 6;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            if (px < frame || py < frame || px >= size - frame || py >= size - frame) {
                face.set(px, py, glyph);
                continue;
            }
            int covered = 0;
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i)
                    covered += insideZ((px + (i + 0.5) / kSamples) / size,
                                       (py + (j + 0.5) / kSamples) / size);
            const double t = static_cast<double>(covered) / (kSamples * kSamples);
            auto mix = [t](std::uint8_t from, std::uint8_t to) {
                return toChannel(from + (to - from) * t);
            };
            face.set(px, py,
                     Rgb{mix(background.r, glyph.r), mix(background.g, glyph.g),
                         mix(background.b, glyph.b)});
        }
    }
    return face;
}

} // namespace zv
