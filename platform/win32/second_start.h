// The message a second start of the program sends to the trigger of the launcher running from
// the same folder. Its name holds the folder, so launchers of other folders do not know it.
#pragma once

#include <windows.h>

namespace zv::win32 {

UINT secondStartMessage();
// Lets go of the program folder's lock, so that a start made while this process is still
// ending becomes the folder's launcher.
void releaseProgramFolder();
// What the trigger answers, so the new process knows it reached the right launcher.
inline constexpr LRESULT secondStartAnswer = 0x5A56;

} // namespace zv::win32
