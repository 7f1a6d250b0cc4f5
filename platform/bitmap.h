// A picture turned into something the platform copies from quickly (a GDI bitmap selected
// into its own memory device context on Windows).
#pragma once

#include "platform/picture.h"

#include <memory>

namespace zv::platform {

class Bitmap {
  public:
    explicit Bitmap(const Picture& picture);
    ~Bitmap();
    Bitmap(Bitmap&&) noexcept;
    Bitmap& operator=(Bitmap&&) noexcept;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    int width() const;
    int height() const;
    Rgb pixel(int x, int y) const;

    struct Impl;
    Impl& impl() const { return *impl_; }

  private:
    std::unique_ptr<Impl> impl_;
};

} // namespace zv::platform
