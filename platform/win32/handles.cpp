#include "handles.h"

#include "utf16.h"

namespace zv::win32 {

std::string errorText(DWORD code) {
    wchar_t buffer[512] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, buffer, std::size(buffer), nullptr);
    std::string text = toUtf8ForDisplay(std::wstring_view(buffer, n));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty())
        text = "error " + std::to_string(code);
    return text;
}

} // namespace zv::win32
