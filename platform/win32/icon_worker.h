// The thread that reads icons from slow drives, seen from the main loop.
#pragma once

namespace zv::win32 {

// Hands the icons the worker has read to their handler; the main loop calls it while idle.
void deliverArrivedIcons();

// Lets the worker start no further read; false when one is under way (it may never return, on
// a share that has gone, and may hold locks the process's orderly ending would wait for).
bool stopReadingIcons();

} // namespace zv::win32
