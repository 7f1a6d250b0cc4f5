#include "ansi_text.h"

#include <windows.h>

namespace zv::win32 {

std::wstring wideText(const std::string& text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), n) != n)
        return {};
    return wide;
}

std::optional<std::string> ansiExactly(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    BOOL replaced = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0,
                                      nullptr, &replaced);
    if (n <= 0 || replaced)
        return std::nullopt;
    std::string ansi(static_cast<std::size_t>(n), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.data(), n,
                            nullptr, &replaced) != n ||
        replaced)
        return std::nullopt;
    return ansi;
}

} // namespace zv::win32
