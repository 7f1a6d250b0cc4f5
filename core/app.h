// The entry procedure and the one way out of the program.
#pragma once

namespace zv {

// The program's title, used for every message box.
inline constexpr const char* appTitle = "Zelvora";

// Loads everything in start-up order and returns; the program then lives on window events.
// A data file that cannot be read is reported and ends the process.
void Main();

} // namespace zv
