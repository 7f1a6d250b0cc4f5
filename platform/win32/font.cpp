#include "font.h"

#include "utf16.h"

namespace zv::win32 {

UniqueFont makeFont(const std::string& face, int points, bool bold, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points, dpi, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    // A face name longer than the field names no font: the system's default stands in.
    const std::wstring wideFace = toUtf16(face);
    if (wideFace.size() < LF_FACESIZE)
        wideFace.copy(lf.lfFaceName, wideFace.size());
    return UniqueFont(CreateFontIndirectW(&lf));
}

} // namespace zv::win32
