#include "utf16.h"

#include <windows.h>

namespace zv::win32 {

namespace {

// The program's texts are UTF-8: the data files' readers decode every file to it.
std::wstring convertToUtf16(std::string_view utf8, DWORD flags) {
    const int length = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, wide.data(), n);
    return wide;
}

std::optional<std::string> convertToUtf8(std::wstring_view utf16, DWORD flags) {
    const int length = static_cast<int>(utf16.size());
    const int n =
        WideCharToMultiByte(CP_UTF8, flags, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::nullopt;
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, flags, utf16.data(), length, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

} // namespace

std::wstring toUtf16(std::string_view utf8) {
    if (utf8.empty())
        return {};
    std::wstring exact = convertToUtf16(utf8, MB_ERR_INVALID_CHARS);
    return exact.empty() ? convertToUtf16(utf8, 0) : exact;
}

std::optional<std::string> toUtf8(std::wstring_view utf16) {
    if (utf16.empty())
        return std::string();
    return convertToUtf8(utf16, WC_ERR_INVALID_CHARS);
}

std::string toUtf8ForDisplay(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    return convertToUtf8(utf16, 0).value_or(std::string());
}

} // namespace zv::win32
