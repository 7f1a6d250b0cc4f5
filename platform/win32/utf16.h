// The program's texts are UTF-8; the system's are UTF-16. Every Win32 call that takes or gives
// text converts here, and nowhere else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv::win32 {

// UTF-8 as UTF-16. Bytes that are not UTF-8 (never expected: the readers decode every file)
// become U+FFFD rather than vanishing, so a damaged text still shows where it is damaged.
std::wstring toUtf16(std::string_view utf8);

// UTF-16 as UTF-8, or nothing when it is not valid UTF-16 (an unpaired surrogate, which file
// names may hold): such a text has no UTF-8 form and must not be passed on damaged.
std::optional<std::string> toUtf8(std::wstring_view utf16);

// The same, with U+FFFD for what cannot be converted: for texts only shown to the user
// (system messages), never for names that are handed back to the system.
std::string toUtf8ForDisplay(std::wstring_view utf16);

} // namespace zv::win32
