// The system's ANSI code page: the one the data files were always written in, and the one key
// codes above 127 stand for. The program's own texts are UTF-8; these convert at that border.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv::platform {

// Text in the code page as UTF-8. Never fails: a byte the code page leaves undefined still
// stands for a character, as the system reads it, so every file that ever read still reads.
std::string fromCodePage(std::string_view bytes);

// UTF-8 text in the code page, or nothing when any character has no exact form in it (no "?"
// and no look-alike stands in for one).
std::optional<std::string> toCodePageExactly(std::string_view utf8);

// The character one byte stands for on its own, as UTF-8; nothing for the lead byte of a
// double-byte character, which stands for no character by itself.
std::optional<std::string> codePageCharacter(unsigned char byte);

} // namespace zv::platform
