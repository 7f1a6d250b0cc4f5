// Reads the target path out of a Windows shortcut (.lnk) file's bytes, so the headless build
// can answer shortcutTarget without the system's shell-link object.
#pragma once

#include <string>
#include <string_view>

namespace zv::headless {

// The shortcut's target path as UTF-8: UTF-16 strings whole, 8-bit strings read in the ANSI
// code page. Taken from the link information when it holds a local or network path,
// otherwise from the item list (drive, then folder and file names). "" when the target is
// not a file-system path (a virtual object such as the Control Panel), and when the bytes are
// not a shortcut or are damaged or cut short where the path would be read (a lone surrogate
// counts as damage).
std::string lnkTargetPath(std::string_view bytes);

} // namespace zv::headless
