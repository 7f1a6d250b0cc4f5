#include "program_icon.h"

namespace zv::win32 {

ProgramIcon giveProgramIcon(HWND hwnd) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    ProgramIcon icon;
    icon.bigIcon = UniqueIcon(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    icon.smallIcon = UniqueIcon(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    if (icon.bigIcon)
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.bigIcon.get()));
    if (icon.smallIcon)
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.smallIcon.get()));
    return icon;
}

} // namespace zv::win32
