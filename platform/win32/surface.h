// The Windows off-screen image of a window: a screen-compatible bitmap selected into a memory
// device context, with the caption font kept selected beside it.
#pragma once

#include "gdi.h"
#include "platform/surface.h"

#include <array>
#include <memory>
#include <string>

namespace zv::win32 {

class GdiSurface final : public platform::Surface {
  public:
    GdiSurface();
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    // A new, black image of this size in a new memory DC; the old ones are released.
    void resize(int width, int height);
    // A new size that keeps the image, centred, on the background colour around it.
    void resizeCentred(int width, int height, Rgb background);
    // Copies the whole image to dc at its top left.
    void copyTo(HDC dc) const;
    // The resolution captions are made for.
    void setDpi(int dpi) { dpi_ = dpi; }

    int width() const override { return width_; }
    int height() const override { return height_; }
    void setOrigin(int x, int y) override;
    void clear(Rgb colour) override;
    void fillRect(const Rect& r, Rgb colour) override;
    void blt(const platform::Bitmap& source, int x, int y) override;
    void bltTransparent(const platform::Bitmap& source, int x, int y, Rgb key) override;
    void setFont(const std::string& face, int points) override;
    void setBold(bool bold) override;
    void setTextColour(Rgb colour) override;
    void drawText(const Rect& r, const std::string& text, unsigned format) override;
    void drawIcon(platform::IconHandle icon, int x, int y, int size) override;
    Rgb pixel(int x, int y) const override;

  private:
    struct Image {
        UniqueDC dc;
        UniqueBitmap bitmap;
        Selection bitmapSelection; // after the objects it selects: deselects before they go
        Selection fontSelection;
    };

    HDC dc() const { return image_->dc.get(); }
    RECT shifted(const Rect& r) const {
        return {r.left + originX_, r.top + originY_, r.right + originX_, r.bottom + originY_};
    }
    // Selects the caption font of the face, size and weight asked for. Both weights are kept,
    // as a header row switches to bold and back in every painting; only a new face, size or
    // resolution makes new fonts.
    void useFont();

    // Regular and bold of fontFace_ at fontPoints_, each made when first used. They outlive
    // every image that selects them.
    std::array<UniqueFont, 2> fonts_;
    std::string fontFace_;
    int fontPoints_ = 0;
    int fontDpi_ = 0;
    HFONT selected_ = nullptr; // the one selected into the image's DC

    std::string face_;
    int points_ = 0;
    int dpi_ = 96;
    bool bold_ = false;
    Rgb textColour_;

    std::unique_ptr<Image> image_;
    int width_ = 0;
    int height_ = 0;
    int originX_ = 0;
    int originY_ = 0;
};

} // namespace zv::win32
