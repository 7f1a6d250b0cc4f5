// Start-up: loads everything in order and shows the trigger.
#pragma once

namespace zv {

// Loads everything in start-up order and returns; the program then lives on window events.
// A data file that cannot be read is reported and ends the process before any window shows.
void startUp();

} // namespace zv
