// Icons read from files: the first icon of a program, library or icon file.
#pragma once

#include <string>

namespace zv::platform {

// An opaque icon; null when the file had no icon.
using IconHandle = const void*;

// The small (16 x 16) image of the file's first icon, or null. The caller keeps it for as long
// as it likes; the icon registry keeps its icons until the process ends.
IconHandle extractSmallIcon(const std::string& path);

// The large (32 x 32) image of the file's first icon, or null. Release it with destroyIcon.
IconHandle extractLargeIcon(const std::string& path);

void destroyIcon(IconHandle icon);

} // namespace zv::platform
