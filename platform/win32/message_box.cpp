#include "platform/message_box.h"

#include <windows.h>

namespace zv::platform {

Answer messageBox(const std::string& text, const std::string& title, Buttons buttons) {
    // Task-modal: every window of the program waits for the answer, as the menus expect.
    UINT style = MB_TASKMODAL | MB_SETFOREGROUND | (buttons == Buttons::YesNo ? MB_YESNO : MB_OK);
    int answer = MessageBoxA(nullptr, text.c_str(), title.c_str(), style);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return answer == IDYES ? Answer::Yes : Answer::No;
}

} // namespace zv::platform
