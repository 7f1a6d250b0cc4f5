// Move-only owners for GDI objects and device contexts, and a guard that keeps an object
// selected into a device context for as long as it lives. Declare a guard after the objects
// it selects, so it puts the previous object back before they are deleted.
#pragma once

#include "handles.h"
#include "platform/picture.h"

#include <utility>

namespace zv::win32 {

struct DeleteObjectFn {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueBrush = Owned<HBRUSH, DeleteObjectFn>;
using UniqueBitmap = Owned<HBITMAP, DeleteObjectFn>;
using UniqueFont = Owned<HFONT, DeleteObjectFn>;

// A memory device context from CreateCompatibleDC.
struct DeleteDCFn {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDC = Owned<HDC, DeleteDCFn>;

struct DestroyIconFn {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = Owned<HICON, DestroyIconFn>;

// The device context of a window (or of the screen for null) from GetDC, released at scope end.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around the handling of one WM_PAINT.
class PaintDC {
  public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back when it goes.
class Selection {
  public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {
        if (!previous_ || previous_ == HGDI_ERROR) {
            dc_ = nullptr;
            previous_ = nullptr;
        }
    }
    ~Selection() { restore(); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    Selection(Selection&& o) noexcept
        : dc_(std::exchange(o.dc_, nullptr)), previous_(std::exchange(o.previous_, nullptr)) {}
    Selection& operator=(Selection&& o) noexcept {
        if (this != &o) {
            restore();
            dc_ = std::exchange(o.dc_, nullptr);
            previous_ = std::exchange(o.previous_, nullptr);
        }
        return *this;
    }

    bool active() const { return dc_ != nullptr; }

    void restore() {
        if (dc_)
            SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

  private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

inline COLORREF colourRef(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

} // namespace zv::win32
