#include "platform/popup_menu.h"

#include "handles.h"
#include "utf16.h"

namespace zv::platform {

namespace {

struct DestroyMenuFn {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = win32::Owned<HMENU, DestroyMenuFn>;

} // namespace

int popupMenu(void* owner, const std::vector<PopupEntry>& entries, std::optional<Point> at) {
    HWND window = static_cast<HWND>(owner);
    if (!window || !IsWindow(window))
        return -1; // the menu needs a window of the program to report to
    UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return -1;
    // Command identifiers are the entry's index plus one: TrackPopupMenu returns 0 for none.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& caption = entries[i].caption;
        if (caption == "-")
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu.get(), MF_STRING, i + 1, win32::toUtf16(caption).c_str());
    }
    POINT place{};
    if (at)
        place = {at->x, at->y};
    else
        GetCursorPos(&place);
    // Without the owner in the foreground the menu would not close when the user clicks
    // elsewhere; the posted message lets it close properly the next time too.
    SetForegroundWindow(window);
    const BOOL chosen =
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
                       place.x, place.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    return chosen > 0 && static_cast<std::size_t>(chosen) <= entries.size() ? chosen - 1 : -1;
}

} // namespace zv::platform
