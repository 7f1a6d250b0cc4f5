// The idle task of the program's main loop.
#pragma once

namespace zv::win32 {

// Runs one step of the task given to platform::runWhenIdle; false when there is none left.
bool idleStep();

} // namespace zv::win32
