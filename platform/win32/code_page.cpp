#include "platform/code_page.h"

#include "utf16.h"

#include <windows.h>

namespace zv::platform {

namespace {

std::wstring wideFromCodePage(std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    // No MB_ERR_INVALID_CHARS: the system's reading of every byte is what files always meant.
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), n);
    return wide;
}

} // namespace

std::string fromCodePage(std::string_view bytes) {
    if (bytes.empty())
        return {};
    // The code page never gives a lone surrogate, so the UTF-8 form always exists.
    return win32::toUtf8(wideFromCodePage(bytes)).value_or(std::string());
}

std::optional<std::string> toCodePageExactly(std::string_view utf8) {
    if (utf8.empty())
        return std::string();
    const std::wstring wide = win32::toUtf16(utf8);
    const int length = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0,
                                      nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(), n,
                            nullptr, &usedDefault) != n ||
        usedDefault)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> codePageCharacter(unsigned char byte) {
    if (IsDBCSLeadByte(byte))
        return std::nullopt;
    const char c = static_cast<char>(byte);
    const std::wstring wide = wideFromCodePage(std::string_view(&c, 1));
    if (wide.empty())
        return std::nullopt;
    return win32::toUtf8(wide);
}

} // namespace zv::platform
