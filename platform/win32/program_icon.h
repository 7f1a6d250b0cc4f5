// The program's own icon (resource 1) on a window's caption and in the task switcher.
#pragma once

#include "gdi.h"

namespace zv::win32 {

struct ProgramIcon {
    UniqueIcon bigIcon;
    UniqueIcon smallIcon;
};

// Loads the icon in the system's two sizes and gives both to hwnd; the caller keeps them until
// the window is gone. Without the resource the window simply has none.
ProgramIcon giveProgramIcon(HWND hwnd);

} // namespace zv::win32
