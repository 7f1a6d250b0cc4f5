#include "platform/icons.h"

#include "system_library.h"

#include <windows.h>

#include <shellapi.h>

#include <climits>

namespace zv::platform {

namespace {

// Asks for the one size wanted: each size is a read of the file of its own.
HICON extract(const std::string& path, bool large) {
    static const auto extractIconEx =
        win32::systemFunction<decltype(&ExtractIconExA)>("shell32.dll", "ExtractIconExA");
    if (!extractIconEx)
        return nullptr;
    HICON icon = nullptr;
    const UINT extracted =
        extractIconEx(path.c_str(), 0, large ? &icon : nullptr, large ? nullptr : &icon, 1);
    // Nothing extracted (0, or UINT_MAX for a missing file): the output is not to be trusted,
    // Wine leaves junk in it.
    if (extracted == 0 || extracted == UINT_MAX)
        return nullptr;
    return icon;
}

} // namespace

IconHandle extractSmallIcon(const std::string& path) {
    return extract(path, false);
}

IconHandle extractLargeIcon(const std::string& path) {
    return extract(path, true);
}

void destroyIcon(IconHandle icon) {
    if (icon)
        DestroyIcon(static_cast<HICON>(const_cast<void*>(icon)));
}

} // namespace zv::platform
