// Keyboard handling of the program's open dialogs, for its message loops.
#pragma once

#include <windows.h>

namespace zv::win32 {

// Hands a message meant for an open dialog or one of its controls to that dialog's keyboard
// handling (Tab, arrows between options, Enter, Esc, access keys). True when the dialog took
// and dispatched it: the loop must then neither translate nor dispatch it again.
bool dialogMessage(MSG& msg);

} // namespace zv::win32
