#include "platform/shell.h"

#include "com.h"
#include "system_library.h"

#include <windows.h>

#include <shellapi.h>

namespace zv::platform {

namespace {

using ShutdownDialogFn = int(WINAPI*)(HWND owner);
using RunDialogFn = int(WINAPI*)(HWND owner, HICON icon, LPCWSTR directory, LPCWSTR title,
                                 LPCWSTR description, UINT flags);

// The longest text handed to ShellExecuteA. Wine 8's ShellExecuteA overruns a stack buffer of
// its own for any text of 997 characters or more, which brings the program down. No file path
// the ANSI calls reach is that long (MAX_PATH), only a rare URL could be; so a longer target is
// not handed over and fails quietly, as the shell's own failures do. The bound keeps a margin
// below Wine's.
constexpr std::size_t longestShellText = 960;

} // namespace

void shellExecute(void* owner, const std::string& file) {
    if (file.size() > longestShellText)
        return;
    // The shell may hand the file to extensions that use COM, which wants the thread in an
    // apartment first.
    win32::useCom();
    static const auto execute =
        win32::systemFunction<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    if (!execute)
        return;
    // The program does not look at the result: the shell reports its own failures.
    execute(static_cast<HWND>(owner), nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void shutdownDialog(void* owner) {
    win32::useCom(); // the shell's dialogs, like its execution, may use COM
    // Exported by number only.
    static const auto dialog = win32::systemFunction<ShutdownDialogFn>("shell32.dll", 60);
    if (dialog)
        dialog(static_cast<HWND>(owner));
}

void runDialog(void* owner) {
    win32::useCom();
    // The title and description are read as UTF-16 on NT-family systems: empty ANSI strings
    // would show garbage in the title.
    static const auto dialog = win32::systemFunction<RunDialogFn>("shell32.dll", 61);
    if (dialog)
        dialog(static_cast<HWND>(owner), nullptr, nullptr, L"", L"", 0);
}

} // namespace zv::platform
