// The entry procedure, the save prompt and the one way out of the program.
#pragma once

namespace zv {

// The program's title, used for every message box.
inline constexpr const char* appTitle = "Zelvora";

// Loads everything in start-up order and returns; the program then lives on window events.
// A data file that cannot be read is reported and ends the process before any window shows.
void Main();

// Asks whether to save; Yes saves. Returns false only when the user wanted to save and the
// save failed.
bool askSave();

// Ends the program, asking to save first when the menu changed. Returns (leaving everything
// running) only when the user chose to save and the save failed, so nothing is lost.
void quitApp();

} // namespace zv
