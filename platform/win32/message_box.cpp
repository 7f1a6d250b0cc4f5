#include "platform/message_box.h"

#include "utf16.h"

#include <windows.h>

namespace zv::platform {

Answer messageBox(const std::string& text, const std::string& title, Buttons buttons) {
    // Owned by the program's active window, so that when the box closes the activation goes back
    // to that window and not to another program, which would close every menu.
    HWND owner = GetActiveWindow();
    UINT style = MB_SETFOREGROUND | (buttons == Buttons::YesNo ? MB_YESNO : MB_OK);
    if (!owner)
        style |= MB_TASKMODAL;
    int answer =
        MessageBoxW(owner, win32::toUtf16(text).c_str(), win32::toUtf16(title).c_str(), style);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answer == IDYES ? Answer::Yes : Answer::No;
}

} // namespace zv::platform
