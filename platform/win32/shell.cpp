#include "platform/shell.h"

#include "com.h"

#include <windows.h>

#include <shellapi.h>

namespace zv::platform {

namespace {

// shell32 from the system folder only; the program links it anyway, so the loaded copy is the
// fallback where the safe search flag is unknown (older systems without the update). The
// module stays loaded for the life of the process.
HMODULE shell32() {
    static const HMODULE module = [] {
        HMODULE m = LoadLibraryExA("shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return m ? m : GetModuleHandleA("shell32.dll");
    }();
    return module;
}

// Exported by number only, so looked up at run time.
template <typename F> F shellExport(int ordinal) {
    HMODULE m = shell32();
    if (!m)
        return nullptr;
    FARPROC proc = GetProcAddress(m, MAKEINTRESOURCEA(ordinal));
    // Through void (*)(), the one function type a cast may pass through without a warning.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
}

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
    // The program does not look at the result: the shell reports its own failures.
    ShellExecuteA(static_cast<HWND>(owner), nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void shutdownDialog(void* owner) {
    win32::useCom(); // the shell's dialogs, like its execution, may use COM
    if (auto dialog = shellExport<ShutdownDialogFn>(60))
        dialog(static_cast<HWND>(owner));
}

void runDialog(void* owner) {
    win32::useCom();
    // The title and description are read as UTF-16 on NT-family systems: empty ANSI strings
    // would show garbage in the title.
    if (auto dialog = shellExport<RunDialogFn>(61))
        dialog(static_cast<HWND>(owner), nullptr, nullptr, L"", L"", 0);
}

} // namespace zv::platform
