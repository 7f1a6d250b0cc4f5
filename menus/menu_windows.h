// The menu window objects, one per level. An object outlives its native window and is reused
// when its level opens again, so a handler still on the stack never meets a freed object.
#pragma once

#include "menus/frm_menu.h"

namespace zv {

// The object for a level (0 to 10), made on first use.
FrmMenu& menuWindowObject(int level);

// Closes every native menu window (the objects stay).
void closeMenuWindows();

} // namespace zv
