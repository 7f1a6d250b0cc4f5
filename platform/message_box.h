// Modal message boxes titled by the caller, with OK or Yes/No and no icon.
#pragma once

#include <string>

namespace zv::platform {

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

Answer messageBox(const std::string& text, const std::string& title, Buttons buttons);

} // namespace zv::platform
