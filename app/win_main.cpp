// The program's entry: run start-up, then live on window messages until the quit path ends
// the process.
#include "app/startup.h"
#include "platform/process.h"
#include "platform/win32/dialog_messages.h"
#include "platform/win32/idle.h"

#include <windows.h>

namespace {

// Libraries the program or the system load by name later on come from the system folder only,
// never from the program's folder or the current folder, where anyone could leave a DLL. The
// call is looked up by name so the program still starts where it is missing (Windows 7 without
// update KB2533623); emptying the DLL directory takes the current folder out of the search
// there too.
void restrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        // Through void (*)(), the one function type a cast may pass through without a warning.
        const auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (set)
            set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryW(L"");
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    restrictDllSearch();
    // COM is started by the calls that need it (platform/win32/com.h), not here.
    zv::startUp();
    MSG msg;
    for (;;) {
        // Idle work goes one short step at a time, and only while no message waits.
        while (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && zv::win32::idleStep()) {
        }
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
            break;
        // Open dialogs (the modeless one above all) get Tab, Enter, Esc and access keys.
        if (zv::win32::dialogMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Ended by WM_QUIT: the same way out as Quit, so the folder's lock goes first and an icon
    // read that never returns does not keep the process.
    zv::platform::endProcess();
}
