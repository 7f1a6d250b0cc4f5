// How the data files' bytes become the program's UTF-8 text and back. Files were always written
// in the system's ANSI code page; editors today save UTF-8, often with its mark in front.
#pragma once

#include <string>
#include <string_view>

namespace zv {

enum class FileEncoding {
    AnsiCodePage,
    Utf8, // written with the byte-order mark
};

inline constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

struct DecodedFile {
    std::string text; // UTF-8, without the mark
    FileEncoding encoding = FileEncoding::AnsiCodePage;
    // The line holding the first byte that is not UTF-8 in a file marked as UTF-8; 0 when the
    // text is sound.
    int damagedLine = 0;
};

// What a reader reports on the damaged line.
inline constexpr const char* notUtf8Problem =
    "the text is not UTF-8, though the file begins with the UTF-8 byte-order mark";

// A file with the mark is UTF-8; so is one without it that is valid UTF-8 and holds at least
// one character beyond ASCII (an ANSI text whose bytes happen to form such sequences is, in
// names, vanishingly rare). Any other file is in the ANSI code page and always reads.
DecodedFile decodeDataFile(std::string_view bytes);

struct EncodedFile {
    std::string bytes;
    FileEncoding encoding = FileEncoding::AnsiCodePage;
};

// A file read in the ANSI code page stays in it, byte for byte, while every character fits the
// code page exactly (and its bytes would not be taken for UTF-8); otherwise, and once a file
// was UTF-8, it is UTF-8 with the mark, so a file never flips back and forth between saves.
EncodedFile encodeDataFile(std::string text, FileEncoding readAs);

} // namespace zv
