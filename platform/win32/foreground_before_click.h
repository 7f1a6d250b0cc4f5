// A click on an inactive window of the program is about to activate it: the window that has the
// foreground now is the one the user worked in.
#pragma once

#include <windows.h>

namespace zv::win32 {

void noteClickActivation(HWND clicked);

} // namespace zv::win32
