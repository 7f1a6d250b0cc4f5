// Rectangles in pixels with the right and bottom edges exclusive, as Win32 keeps them.
#pragma once

namespace zv {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Win32's PtInRect: left and top inclusive, right and bottom exclusive.
inline bool ptInRect(const Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace zv
