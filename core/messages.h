// The program's message boxes: every one is titled with the program's name.
#pragma once

#include <string>

namespace zv {

inline constexpr const char* appTitle = "Zelvora";

// Tells the user something; returns when OK closes the box.
void tell(const std::string& text);
// Asks a Yes/No question; true for Yes.
bool askYesNo(const std::string& text);

} // namespace zv
