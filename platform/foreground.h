// The window the user works in, whichever program it belongs to: menus closed without starting
// anything give it the foreground back.
#pragma once

namespace zv::platform {

// The foreground window; while a window of the program has it because the user just clicked
// that window, the one the click took it from. Null when none is known.
void* userWindow();
// Gives the foreground to a window userWindow() named, if it still exists.
void returnForeground(void* window);

} // namespace zv::platform
