// Ending the program.
#pragma once

namespace zv::platform {

// Ends the process at once; windows still open go with it.
[[noreturn]] void endProcess();

} // namespace zv::platform
