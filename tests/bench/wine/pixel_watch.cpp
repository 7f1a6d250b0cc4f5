#include "wine/pixel_watch.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace zv::bench {

namespace {

std::uint32_t scaled(std::uint8_t value, unsigned long mask) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<std::uint32_t>(((value * max + 127) / 255) << shift);
}

} // namespace

PixelWatch::PixelWatch(const std::string& display, Point origin, int screenWidth, int screenHeight)
    : origin_(origin), screenWidth_(screenWidth), screenHeight_(screenHeight) {
    connection_ = XOpenDisplay(display.c_str());
    if (!connection_)
        throw std::runtime_error("cannot connect to the X server on " + display);
    Visual* visual = DefaultVisual(connection_, DefaultScreen(connection_));
    redMask_ = visual->red_mask;
    greenMask_ = visual->green_mask;
    blueMask_ = visual->blue_mask;
}

PixelWatch::~PixelWatch() {
    if (connection_)
        XCloseDisplay(connection_);
}

Rect PixelWatch::clip(const Rect& area) const {
    Rect r{area.left + origin_.x, area.top + origin_.y, area.right + origin_.x,
           area.bottom + origin_.y};
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, screenWidth_);
    r.bottom = std::min(r.bottom, screenHeight_);
    if (r.right <= r.left || r.bottom <= r.top)
        throw std::out_of_range("the rectangle is off the screen");
    return r;
}

Shot PixelWatch::grab(const Rect& area) {
    const Rect r = clip(area);
    XImage* image = XGetImage(connection_, DefaultRootWindow(connection_), r.left, r.top,
                              static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()),
                              AllPlanes, ZPixmap);
    if (!image)
        throw std::runtime_error("XGetImage failed");
    Shot shot;
    shot.width = r.width();
    shot.height = r.height();
    shot.pixels.resize(static_cast<std::size_t>(shot.width) *
                       static_cast<std::size_t>(shot.height));
    const unsigned long colourBits = redMask_ | greenMask_ | blueMask_;
    std::size_t i = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            shot.pixels[i++] = static_cast<std::uint32_t>(XGetPixel(image, x, y) & colourBits);
    XDestroyImage(image);
    return shot;
}

std::uint32_t PixelWatch::raw(Color colour) const {
    return scaled(colour.r, redMask_) | scaled(colour.g, greenMask_) | scaled(colour.b, blueMask_);
}

bool PixelWatch::all(const Shot& shot, Color colour) const {
    const std::uint32_t want = raw(colour);
    return !shot.empty() && std::all_of(shot.pixels.begin(), shot.pixels.end(),
                                        [&](std::uint32_t p) { return p == want; });
}

std::optional<double> PixelWatch::waitFor(const Rect& area,
                                          const std::function<bool(const Shot&)>& done,
                                          Clock::time_point start,
                                          std::chrono::milliseconds timeout) {
    const auto deadline = start + timeout;
    for (;;) {
        const Shot shot = grab(area);
        // The time the answer arrived: the pixels were there by then at the latest.
        const auto seen = Clock::now();
        if (done(shot))
            return std::chrono::duration<double, std::milli>(seen - start).count();
        if (seen > deadline)
            return std::nullopt;
        // A short pause leaves the second core to the program and the X server.
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

std::optional<Shot> PixelWatch::settle(const Rect& area, std::chrono::milliseconds quiet,
                                       std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    Shot last = grab(area);
    auto since = Clock::now();
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Shot now = grab(area);
        if (now != last) {
            last = std::move(now);
            since = Clock::now();
        } else if (Clock::now() - since >= quiet) {
            return last;
        }
    }
    return std::nullopt;
}

} // namespace zv::bench
