#include "platform/single_instance.h"

#include "second_start.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zv::platform {

namespace {

// The program's folder, upper-cased as the file system compares names, hashed into a tag for
// the lock's and the message's names. Wide characters, so folders outside the code page stay
// apart.
std::string folderTag() {
    std::vector<wchar_t> path(MAX_PATH);
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >=
           path.size())
        path.resize(path.size() * 2);
    std::wstring folder(path.data(), n);
    folder.erase(std::min(folder.size(), folder.find_last_of(L"\\/")));
    if (!folder.empty())
        CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    std::uint64_t hash = 14695981039346656037u;
    for (wchar_t c : folder) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211u;
    }
    char hex[17];
    for (int i = 15; i >= 0; --i, hash >>= 4)
        hex[i] = "0123456789ABCDEF"[hash & 0xF];
    hex[16] = '\0';
    return hex;
}

const std::string& tag() {
    static const std::string t = folderTag();
    return t;
}

// Asks the launcher of this folder to come forward. It may hold the lock and still be making
// its trigger, so it is looked for again for a short while.
void askLauncherForward() {
    const DWORD start = GetTickCount();
    do {
        for (HWND w = FindWindowExA(nullptr, nullptr, "ZelvoraTrigger", nullptr); w;
             w = FindWindowExA(nullptr, w, "ZelvoraTrigger", nullptr)) {
            // The user started this process: it may pass the right to come to the front on.
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            AllowSetForegroundWindow(process);
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutA(w, win32::secondStartMessage(), 0, 0,
                                    SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &answer) &&
                static_cast<LRESULT>(answer) == win32::secondStartAnswer)
                return;
        }
        Sleep(50);
    } while (GetTickCount() - start < 1500);
}

bool isOwnWindowClass(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    const std::string cls = name;
    return cls == "ZelvoraTrigger" || cls == "ZelvoraMenu";
}

struct ThreadWindows {
    bool someDisabled = false;
    std::vector<HWND> answerable; // visible, enabled, not a menu, strip or trigger
};

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    auto& windows = *reinterpret_cast<ThreadWindows*>(list);
    if (!IsWindowVisible(window))
        return TRUE;
    if (!IsWindowEnabled(window))
        windows.someDisabled = true;
    else if (!isOwnWindowClass(window))
        windows.answerable.push_back(window);
    return TRUE;
}

} // namespace

bool claimProgramFolder() {
    const std::string name = "Local\\Zelvora-" + tag();
    // Held until the process ends, when the system lets go of it.
    HANDLE lock = CreateMutexA(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (lock && error != ERROR_ALREADY_EXISTS)
        return true;
    // A lock that cannot be made for another reason stops no one: saves still check the file.
    if (!lock && error != ERROR_ACCESS_DENIED)
        return true;
    askLauncherForward();
    return false;
}

bool bringWaitingWindowForward() {
    ThreadWindows windows;
    EnumThreadWindows(GetCurrentThreadId(), &collectWindow, reinterpret_cast<LPARAM>(&windows));
    // A window waits for an answer when it has disabled others: a message box or a modal
    // dialog, the message box first when a modeless dialog shows too.
    if (!windows.someDisabled || windows.answerable.empty())
        return false;
    HWND front = windows.answerable.front();
    for (HWND w : windows.answerable) {
        char name[16] = {};
        GetClassNameA(w, name, sizeof name);
        if (std::string(name) == "#32770")
            front = w;
    }
    SetForegroundWindow(front);
    return true;
}

} // namespace zv::platform

namespace zv::win32 {

UINT secondStartMessage() {
    static const UINT message =
        RegisterWindowMessageA(("Zelvora second start " + platform::tag()).c_str());
    return message;
}

} // namespace zv::win32
