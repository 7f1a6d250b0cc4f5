// Listing folders and reading shortcuts, for the batch add's search.
#pragma once

#include <string>
#include <vector>

namespace zv::platform {

struct FolderEntry {
    std::string name;
    bool folder = false;
    // The short (8.3) name where the file system keeps one besides the long name.
    std::string shortName;
};

// The entries (names without the folder) matching a wildcard pattern such as "C:\dir\*.*", in
// the file system's listing order, each saying whether it is a folder as the listing found it:
// a search that walks a tree learns that without a second look at every entry. Hidden and
// system entries are never listed; an unreadable folder lists nothing.
std::vector<FolderEntry> listFolderEntries(const std::string& pattern);

// Whether listing the entry's folder with this file pattern ("*.exe") would list the entry, so
// that one listing of a folder can serve several patterns.
bool entryMatches(const FolderEntry& entry, const std::string& pattern);

// The target path of the shortcut file at path; "" when the target is not a file-system path
// or the shortcut cannot be read.
std::string shortcutTarget(const std::string& path);

} // namespace zv::platform
