// The one way out of the program, used by the trigger's quit question, the Quit entry and the
// edit menu's Quit.
#pragma once

namespace zv {

// Ends the program, asking to save first when the menu changed. Returns (leaving everything
// running) only when the user chose to save and the save failed, so nothing is lost.
void quitApp();

} // namespace zv
