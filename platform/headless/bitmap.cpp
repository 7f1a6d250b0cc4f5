#include "platform/bitmap.h"

namespace zv::platform {

struct Bitmap::Impl {
    Picture picture;
};

Bitmap::Bitmap(const Picture& picture) : impl_(std::make_unique<Impl>(Impl{picture})) {}
Bitmap::~Bitmap() = default;
Bitmap::Bitmap(Bitmap&&) noexcept = default;
Bitmap& Bitmap::operator=(Bitmap&&) noexcept = default;

int Bitmap::width() const {
    return impl_->picture.width();
}
int Bitmap::height() const {
    return impl_->picture.height();
}

Rgb Bitmap::pixel(int x, int y) const {
    const Picture& p = impl_->picture;
    return p.contains(x, y) ? p.at(x, y) : Rgb{};
}

} // namespace zv::platform
