// The Windows form of a platform::Bitmap: a 24-bit DIB section kept selected into its own
// memory device context, ready to be copied from.
#pragma once

#include "gdi.h"
#include "platform/bitmap.h"

#include <cstdint>

namespace zv::platform {

struct Bitmap::Impl {
    int width = 0;
    int height = 0;
    int stride = 0;                     // bytes in one row, padded to four
    const std::uint8_t* bits = nullptr; // rows top to bottom, blue green red
    win32::UniqueDC dc;
    win32::UniqueBitmap dib;
    win32::Selection selection; // last, so the DIB is deselected before it goes

    // The memory DC holding the picture; null for an empty picture.
    HDC source() const { return selection.active() ? dc.get() : nullptr; }
};

} // namespace zv::platform
