// Between the program's texts (the ANSI code page, as its files hold them) and the system's
// wide names, which can hold letters the code page lacks.
#pragma once

#include <optional>
#include <string>

namespace zv::win32 {

// The ANSI text as UTF-16; "" when it cannot be converted.
std::wstring wideText(const std::string& text);

// The wide text in the ANSI code page, or nothing when the code page cannot carry every letter
// of it (no '?' and no look-alike stands in for one).
std::optional<std::string> ansiExactly(const std::wstring& text);

} // namespace zv::win32
