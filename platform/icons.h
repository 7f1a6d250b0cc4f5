// Icons read from files: the first icon of a program, library or icon file.
#pragma once

#include <string>

namespace zv::platform {

// An opaque icon; null when the file had no icon.
using IconHandle = const void*;

// The file's first icon at size x size pixels (the file's image of that size where it has one),
// or null. Release it with destroyIcon.
IconHandle extractIcon(const std::string& path, int size);

// The large (32 x 32) image of the file's first icon, or null. Release it with destroyIcon.
IconHandle extractLargeIcon(const std::string& path);

void destroyIcon(IconHandle icon);

} // namespace zv::platform
