// The caption and control fonts the program makes from a face name and a point size.
#pragma once

#include "gdi.h"

#include <string>

namespace zv::win32 {

// The face at points for a screen of dpi, regular or bold; null when the system makes no font.
UniqueFont makeFont(const std::string& face, int points, bool bold, int dpi);

} // namespace zv::win32
