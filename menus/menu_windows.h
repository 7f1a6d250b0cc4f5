// The menu window objects, one per level. An object outlives its native window and is reused
// when its level opens again, so a handler still on the stack never meets a freed object.
#pragma once

#include "menus/menu_window.h"

namespace zv {

// The menu window of a level (0 the root, up to 10), made on first use; closed until built.
MenuWindow& menuLevel(int level);

// Lets every menu window object go with its native window; only for a program that starts
// again in the same process (the unit tests).
void releaseMenuWindows();

} // namespace zv
