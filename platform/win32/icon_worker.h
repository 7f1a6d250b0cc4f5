// The thread that reads icons from slow drives, seen from the main loop.
#pragma once

namespace zv::win32 {

// Hands the icons the worker has read to their handler; the main loop calls it while idle.
void deliverArrivedIcons();

} // namespace zv::win32
