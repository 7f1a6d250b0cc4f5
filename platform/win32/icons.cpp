#include "platform/icons.h"

#include <windows.h>

#include <shellapi.h>

#include <climits>

namespace zv::platform {

namespace {

// Asks for both sizes of the first icon at once and keeps the one wanted.
HICON extract(const std::string& path, bool large) {
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    const UINT extracted = ExtractIconExA(path.c_str(), 0, &bigIcon, &smallIcon, 1);
    // Nothing extracted (0, or UINT_MAX for a missing file): the outputs are not to be trusted,
    // Wine leaves junk in them.
    if (extracted == 0 || extracted == UINT_MAX)
        return nullptr;
    HICON keep = large ? bigIcon : smallIcon;
    HICON drop = large ? smallIcon : bigIcon;
    if (drop)
        DestroyIcon(drop);
    return keep;
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
