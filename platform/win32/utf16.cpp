#include "utf16.h"

#include <windows.h>

namespace zv::win32 {

namespace {

// The code page of the program's texts. CP_ACP while the data files are still read in the ANSI
// code page; the reader's switch to UTF-8 switches this with it.
constexpr UINT programCodePage = CP_ACP;
constexpr DWORD strictToUtf16 = programCodePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
constexpr DWORD strictToUtf8 =
    programCodePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;

std::wstring convertToUtf16(std::string_view utf8, DWORD flags) {
    const int length = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(programCodePage, flags, utf8.data(), length, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(programCodePage, flags, utf8.data(), length, wide.data(), n);
    return wide;
}

// With a strict conversion to an 8-bit code page, a letter the code page lacks fails it, as
// the invalid UTF-16 fails the one to UTF-8: no '?' and no look-alike stands in for a letter.
std::optional<std::string> convertToUtf8(std::wstring_view utf16, bool strict) {
    const int length = static_cast<int>(utf16.size());
    const DWORD flags = strict ? strictToUtf8 : 0;
    BOOL replaced = FALSE;
    BOOL* const askReplaced = strict && programCodePage != CP_UTF8 ? &replaced : nullptr;
    const int n = WideCharToMultiByte(programCodePage, flags, utf16.data(), length, nullptr, 0,
                                      nullptr, askReplaced);
    if (n <= 0 || replaced)
        return std::nullopt;
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(programCodePage, flags, utf16.data(), length, utf8.data(), n, nullptr,
                        nullptr);
    return utf8;
}

} // namespace

std::wstring toUtf16(std::string_view utf8) {
    if (utf8.empty())
        return {};
    std::wstring exact = convertToUtf16(utf8, strictToUtf16);
    return exact.empty() ? convertToUtf16(utf8, 0) : exact;
}

std::optional<std::string> toUtf8(std::wstring_view utf16) {
    if (utf16.empty())
        return std::string();
    return convertToUtf8(utf16, true);
}

std::string toUtf8ForDisplay(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    return convertToUtf8(utf16, false).value_or(std::string());
}

} // namespace zv::win32
