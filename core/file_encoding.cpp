#include "core/file_encoding.h"

#include "platform/code_page.h"
#include "platform/utf8.h"

#include <algorithm>

namespace zv {

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Where the text stops being UTF-8, or npos when all of it is.
std::size_t firstNonUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = platform::utf8SequenceLength(text, at);
        if (length == 0)
            return at;
        at += length;
    }
    return std::string_view::npos;
}

// The line of a byte, counting line ends as the field reader does: CR LF, a lone CR or a lone
// LF each end one.
int lineOf(std::string_view text, std::size_t at) {
    int line = 1;
    for (std::size_t i = 0; i < at; ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++line;
    return line;
}

// A file without the mark that the reader takes for UTF-8.
bool readsAsUtf8(std::string_view bytes) {
    return !isAscii(bytes) && firstNonUtf8(bytes) == std::string_view::npos;
}

} // namespace

DecodedFile decodeDataFile(std::string_view bytes) {
    if (bytes.substr(0, utf8Mark.size()) == utf8Mark) {
        const std::string_view body = bytes.substr(utf8Mark.size());
        const std::size_t bad = firstNonUtf8(body);
        if (bad != std::string_view::npos)
            return {{}, FileEncoding::Utf8, lineOf(body, bad)};
        return {std::string(body), FileEncoding::Utf8, 0};
    }
    // ASCII reads the same in UTF-8 and in every ANSI code page.
    if (isAscii(bytes))
        return {std::string(bytes), FileEncoding::AnsiCodePage, 0};
    if (readsAsUtf8(bytes))
        return {std::string(bytes), FileEncoding::Utf8, 0};
    return {platform::fromCodePage(bytes), FileEncoding::AnsiCodePage, 0};
}

EncodedFile encodeDataFile(std::string text, FileEncoding readAs) {
    if (readAs == FileEncoding::AnsiCodePage) {
        if (isAscii(text))
            return {std::move(text), FileEncoding::AnsiCodePage};
        // Code page bytes that happen to form UTF-8 would read back as other text.
        if (auto ansi = platform::toCodePageExactly(text); ansi && !readsAsUtf8(*ansi))
            return {std::move(*ansi), FileEncoding::AnsiCodePage};
    }
    text.insert(0, utf8Mark);
    return {std::move(text), FileEncoding::Utf8};
}

} // namespace zv
