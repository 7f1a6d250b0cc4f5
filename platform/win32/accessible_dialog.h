// Screen readers and the program's dialogs: the system's own object for the dialog's client area
// reads the controls; the dialog's windows are of the program's own class, so that object would
// call the dialog a plain client area, and this one makes it say "dialog".
#pragma once

#include <windows.h>

namespace zv::win32 {

// The answer to WM_GETOBJECT for the dialog's client area; 0 when there is none to give, and
// the system's default object answers instead.
LRESULT answerDialogObject(HWND dialog, WPARAM wp);

} // namespace zv::win32
