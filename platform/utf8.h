// UTF-8, the form of every text inside the program, checked and written the same on every
// platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zv::platform {

// The length of the well-formed UTF-8 sequence starting at text[at], or 0 when none starts
// there: a stray continuation byte, a sequence cut short, an overlong form, a surrogate or a
// code point above U+10FFFF. Whatever a strict UTF-8 to UTF-16 conversion would refuse.
inline std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80; // the range the second byte must lie in
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // overlong below
        high = lead == 0xED ? 0x9F : 0xBF; // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;  // overlong below
        high = lead == 0xF4 ? 0x8F : 0xBF; // past U+10FFFF above
    } else {
        return 0;
    }
    if (text.size() - at < length)
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

// Appends one code point (not a surrogate, at most U+10FFFF) as UTF-8.
inline void appendUtf8(std::string& out, char32_t c) {
    auto put = [&](unsigned v) { out.push_back(static_cast<char>(v)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

} // namespace zv::platform
