#include "system_library.h"

namespace zv::win32 {

HMODULE systemLibrary(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A system without the safe search flag (Windows 7 without update KB2533623) refuses it;
    // there the program has already narrowed the search at start.
    return module ? module : LoadLibraryA(name);
}

} // namespace zv::win32
