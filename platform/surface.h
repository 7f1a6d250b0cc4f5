// A window's persistent off-screen image: everything the program paints goes here first and
// reaches the screen when the window presents it. Coordinates are pixels from the top left.
#pragma once

#include "platform/bitmap.h"
#include "platform/geometry.h"
#include "platform/icons.h"
#include "platform/picture.h"

#include <memory>
#include <string>

namespace zv::platform {

// DrawTextA format bits the program uses.
inline constexpr unsigned textCenter = 1;      // DT_CENTER
inline constexpr unsigned textVCenter = 4;     // DT_VCENTER
inline constexpr unsigned textSingleLine = 32; // DT_SINGLELINE

class Surface {
  public:
    virtual ~Surface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    // Where the drawing calls' (0, 0) falls in the image, (0, 0) until set; a window that holds
    // two drawings side by side draws each from its own corner. clear() and pixel() ignore it.
    virtual void setOrigin(int x, int y) = 0;

    // The whole image in one colour.
    virtual void clear(Rgb colour) = 0;
    // A solid brush made, used and deleted around the fill.
    virtual void fillRect(const Rect& r, Rgb colour) = 0;
    // Copies the whole bitmap opaquely with its top left at (x, y).
    virtual void blt(const Bitmap& source, int x, int y) = 0;
    // Copies the whole bitmap leaving out every pixel of the key colour.
    virtual void bltTransparent(const Bitmap& source, int x, int y, Rgb key) = 0;

    // Captions: font face and size in points, bold on or off, colour, transparent background.
    virtual void setFont(const std::string& face, int points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setTextColour(Rgb colour) = 0;
    virtual void drawText(const Rect& r, const std::string& text, unsigned format) = 0;

    // Draws an icon at (x, y), size x size pixels, with its transparency; null draws nothing.
    virtual void drawIcon(IconHandle icon, int x, int y, int size) = 0;

    // Reads one pixel back (tests and the icon preview); outside the image gives black.
    virtual Rgb pixel(int x, int y) const = 0;
};

} // namespace zv::platform
