#include "platform/shell.h"

#include "com.h"
#include "system_library.h"
#include "utf16.h"

#include <windows.h>

#include <shellapi.h>

namespace zv::platform {

namespace {

using ShutdownDialogFn = int(WINAPI*)(HWND owner);
using RunDialogFn = int(WINAPI*)(HWND owner, HICON icon, LPCWSTR directory, LPCWSTR title,
                                 LPCWSTR description, UINT flags);

// The longest text handed to the shell. Wine 8's shell overruns a stack buffer of its own for
// any text of 997 characters or more, which brings the program down. No file path is that long
// (MAX_PATH), only a rare URL could be; so a longer target is refused here, and said so like any
// other failure. The bound keeps a margin below Wine's.
constexpr std::size_t longestShellText = 960;

// The shell's failure codes (32 and below) in the user's words.
std::string failureText(INT_PTR code) {
    switch (code) {
    case 0:
    case SE_ERR_OOM:
        return "There is not enough memory to start it.";
    case ERROR_FILE_NOT_FOUND:
        return "The file was not found.";
    case ERROR_PATH_NOT_FOUND:
        return "The path was not found.";
    case ERROR_BAD_FORMAT:
        return "The file is not a program Windows can run.";
    case SE_ERR_ACCESSDENIED:
        return "Access was denied.";
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
        return "No program is associated with this kind of file.";
    case SE_ERR_SHARE:
        return "The file is in use by another program.";
    case SE_ERR_DLLNOTFOUND:
        return "A library the program needs was not found.";
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
        return "The program that opens it did not answer.";
    default:
        return "The system could not start it (error " + std::to_string(code) + ").";
    }
}

} // namespace

std::string shellExecute(void* owner, const std::string& file) {
    const std::wstring wideFile = win32::toUtf16(file);
    if (wideFile.size() > longestShellText)
        return "The path is too long for the system.";
    // The shell may hand the file to extensions that use COM, which wants the thread in an
    // apartment first.
    win32::useCom();
    static const auto execute =
        win32::systemFunction<decltype(&ShellExecuteExW)>("shell32.dll", "ShellExecuteExW");
    if (!execute)
        return "The system's shell could not be loaded.";
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The failure is told in the program's own box; the shell's would come on top of it.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = static_cast<HWND>(owner);
    info.lpFile = wideFile.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (execute(&info))
        return {};
    const DWORD error = GetLastError();
    // On failure the shell leaves its code (32 or below) where a started program's would be.
    const auto code = reinterpret_cast<INT_PTR>(info.hInstApp);
    return failureText(code <= 32 ? code : static_cast<INT_PTR>(error));
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
