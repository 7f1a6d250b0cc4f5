#include "system_library.h"

#include "utf16.h"

namespace zv::win32 {

HMODULE systemLibrary(const char* name) {
    const std::wstring wide = toUtf16(name);
    HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A system without the safe search flag (Windows 7 without update KB2533623) refuses it;
    // there the program has already narrowed the search at start.
    return module ? module : LoadLibraryW(wide.c_str());
}

} // namespace zv::win32
