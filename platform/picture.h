// A 24-bit picture held in memory: the skin pictures, the side graphic and the trigger's face
// are built in code as these, and the platform turns them into bitmaps it can copy from.
#pragma once

#include <cstdint>
#include <vector>

namespace zv {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Picture {
  public:
    Picture() = default;
    Picture(int width, int height, Rgb fill)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Rgb c) { pixels_[index(x, y)] = c; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    const std::vector<Rgb>& pixels() const { return pixels_; }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_; // rows top to bottom, each left to right
};

} // namespace zv
