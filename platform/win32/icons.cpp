#include "platform/icons.h"

#include "system_library.h"
#include "utf16.h"

#include <windows.h>

#include <shellapi.h>

#include <climits>

namespace zv::platform {

namespace {

// Nothing extracted (0, or UINT_MAX for a missing file): the output is not to be trusted, Wine
// leaves junk in it.
bool extracted(UINT count) {
    return count != 0 && count != UINT_MAX;
}

// Asks for the one size wanted: each size is a read of the file of its own.
HICON extract(const std::string& path, bool large) {
    static const auto extractIconEx =
        win32::systemFunction<decltype(&ExtractIconExW)>("shell32.dll", "ExtractIconExW");
    if (!extractIconEx)
        return nullptr;
    HICON icon = nullptr;
    const UINT count = extractIconEx(win32::toUtf16(path).c_str(), 0, large ? &icon : nullptr,
                                     large ? nullptr : &icon, 1);
    return extracted(count) ? icon : nullptr;
}

} // namespace

// The file's own image of that size where it holds one, so an icon is never an enlarged
// smaller image; the call is looked up because it is not documented for every system.
IconHandle extractIcon(const std::string& path, int size) {
    using PrivateExtractIconsCall =
        UINT(WINAPI*)(LPCWSTR, int, int, int, HICON*, UINT*, UINT, UINT);
    static const auto privateExtractIcons =
        win32::systemFunction<PrivateExtractIconsCall>("user32.dll", "PrivateExtractIconsW");
    if (!privateExtractIcons)
        return extract(path, false);
    HICON icon = nullptr;
    UINT id = 0;
    const UINT count =
        privateExtractIcons(win32::toUtf16(path).c_str(), 0, size, size, &icon, &id, 1, 0);
    return extracted(count) ? icon : nullptr;
}

IconHandle extractLargeIcon(const std::string& path) {
    return extract(path, true);
}

bool iconReadMayWait(const std::string& path) {
    if (path.rfind("\\\\", 0) == 0)
        return true; // a UNC path: a share on another machine
    if (path.size() < 2 || path[1] != ':')
        return false;
    const std::wstring drive = win32::toUtf16(path.substr(0, 1));
    const std::wstring root = drive + L":\\";
    switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_REMOTE:
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
        return true;
    default:
        return false;
    }
}

void destroyIcon(IconHandle icon) {
    if (icon)
        DestroyIcon(static_cast<HICON>(const_cast<void*>(icon)));
}

} // namespace zv::platform
