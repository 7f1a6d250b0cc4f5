// Lengths and positions on the screen in twips (1/1440 inch), which keep their physical size on
// every monitor. A number of pixels is no Twips: only a monitor's DisplayScale (screen.h) turns
// one into the other, so a place in pixels cannot be taken for one in twips, nor converted at
// the scale of another window by accident.
#pragma once

#include <cmath>
#include <compare>

namespace zv::platform {

class Twips {
  public:
    constexpr Twips() = default;
    constexpr explicit Twips(double twips) : value_(twips) {}

    constexpr double value() const { return value_; }
    // The nearest whole twip, halves away from zero: what a window is placed at.
    Twips whole() const { return Twips(std::round(value_)); }
    // The nearest whole twip, halves to the even neighbour.
    Twips wholeToEven() const { return Twips(std::nearbyint(value_)); }

    friend constexpr Twips operator+(Twips a, Twips b) { return Twips(a.value_ + b.value_); }
    friend constexpr Twips operator-(Twips a, Twips b) { return Twips(a.value_ - b.value_); }
    constexpr Twips& operator+=(Twips b) { return *this = *this + b; }
    friend constexpr auto operator<=>(Twips, Twips) = default;

  private:
    double value_ = 0;
};

} // namespace zv::platform
