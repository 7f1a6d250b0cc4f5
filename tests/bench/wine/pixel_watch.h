// Watching screen pixels as fast as the X server answers: a connection of its own (the
// harness's XScreen looks the desktop up on every capture, too slow to time with), the desktop's
// origin taken once, and raw pixel values compared as they come.
#pragma once

#include "image.h"
#include "probe_report.h"
#include "x_screen.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace zv::bench {

using Clock = std::chrono::steady_clock;
using e2e::Color;
using e2e::Point;
using e2e::Rect;

// Pixels of a screen rectangle as the X server stores them (colour bits only).
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    friend bool operator==(const Shot&, const Shot&) = default;
    bool empty() const { return pixels.empty(); }
};

class PixelWatch {
  public:
    // `origin`: where Windows screen point (0, 0) is on the X screen.
    PixelWatch(const std::string& display, Point origin, int screenWidth, int screenHeight);
    ~PixelWatch();
    PixelWatch(const PixelWatch&) = delete;
    PixelWatch& operator=(const PixelWatch&) = delete;

    // The rectangle (Windows screen coordinates), clipped to the screen.
    Shot grab(const Rect& area);
    // The raw value a colour has in a Shot.
    std::uint32_t raw(Color colour) const;
    // Whether every pixel of the shot has this colour.
    bool all(const Shot& shot, Color colour) const;

    // Grabs the area again and again from `start` on until `done` holds; the milliseconds from
    // `start` to the grab that showed it, or nothing after `timeout`.
    std::optional<double> waitFor(const Rect& area, const std::function<bool(const Shot&)>& done,
                                  Clock::time_point start, std::chrono::milliseconds timeout);
    // Waits until the area has not changed for `quiet`; the last shot, or nothing after
    // `timeout`.
    std::optional<Shot> settle(const Rect& area, std::chrono::milliseconds quiet,
                               std::chrono::milliseconds timeout);

  private:
    Rect clip(const Rect& area) const;

    _XDisplay* connection_ = nullptr;
    Point origin_;
    int screenWidth_;
    int screenHeight_;
    unsigned long redMask_ = 0, greenMask_ = 0, blueMask_ = 0;
};

} // namespace zv::bench
