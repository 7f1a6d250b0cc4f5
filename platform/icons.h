// Icons read from files: the first icon of a program, library or icon file.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zv::platform {

// An opaque icon; null when the file had no icon.
using IconHandle = const void*;

// The file's first icon at size x size pixels (the file's image of that size where it has one),
// or null. Release it with destroyIcon.
IconHandle extractIcon(const std::string& path, int size);

// The large (32 x 32) image of the file's first icon, or null. Release it with destroyIcon.
IconHandle extractLargeIcon(const std::string& path);

void destroyIcon(IconHandle icon);

// Whether reading the file may wait on a drive that does not answer at once: a network share
// (a UNC path or a mapped drive) or a removable one. Other files are read where they are asked.
bool iconReadMayWait(const std::string& path);

// Reads the icon of path at size pixels on the one worker thread, so that a drive that does not
// answer freezes nothing. The icon comes back on the user-interface thread, in a later event,
// through the handler given to whenIconsArrive.
void readIconAway(const std::string& path, int size);

struct ArrivedIcon {
    std::string path;
    IconHandle icon = nullptr; // null when the file had no icon
    int size = 0;              // what readIconAway asked for
};

// The one handler of icons read away, called on the user-interface thread while the program
// waits for the user; a new handler replaces the one before.
void whenIconsArrive(std::function<void(const std::vector<ArrivedIcon>&)> handler);

} // namespace zv::platform
