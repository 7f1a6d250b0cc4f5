#include "platform/single_instance.h"

#include "handles.h"
#include "second_start.h"
#include "utf16.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::platform {

namespace {

// The folder that holds the program, with its trailing separator (so a drive's root stays its
// root rather than the drive's current folder).
std::wstring programFolderPath() {
    std::vector<wchar_t> path(MAX_PATH);
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >=
           path.size())
        path.resize(path.size() * 2);
    std::wstring folder(path.data(), n);
    const auto slash = folder.find_last_of(L"\\/");
    folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
    return folder;
}

// The folder itself, whatever name reached it (a short name, a mapped drive, a substituted
// drive, a junction): its volume's serial number and its index on that volume.
std::optional<std::wstring> folderIdentity(const std::wstring& folder) {
    win32::UniqueHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                           nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &info))
        return std::nullopt;
    // Some network file systems give every file the index 0: it tells no folder apart.
    if (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)
        return std::nullopt;
    std::wstring key = L"id ";
    for (const DWORD part : {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow})
        for (int shift = 28; shift >= 0; shift -= 4)
            key += L"0123456789ABCDEF"[(part >> shift) & 0xF];
    return key;
}

// Failing that, the folder's full name upper-cased under the invariant locale, as file names
// compare, never by the user's language (a Turkish dotted i must not make a second folder).
std::wstring folderName(const std::wstring& folder) {
    std::wstring full = folder;
    if (const DWORD n = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr)) {
        std::vector<wchar_t> buffer(n);
        const DWORD got = GetFullPathNameW(folder.c_str(), n, buffer.data(), nullptr);
        if (got > 0 && got < n)
            full.assign(buffer.data(), got);
    }
    const int length = static_cast<int>(full.size());
    if (length > 0) {
        std::wstring upper(full.size(), L'\0');
        if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.data(), length, upper.data(),
                          length, nullptr, nullptr, 0) == length)
            full = std::move(upper);
    }
    return L"path " + full;
}

// The folder's key, hashed into a tag for the lock's and the message's names.
std::string folderTag() {
    const std::wstring folder = programFolderPath();
    const std::optional<std::wstring> identity = folderIdentity(folder);
    const std::wstring key = identity ? *identity : folderName(folder);
    std::uint64_t hash = 14695981039346656037u;
    for (wchar_t c : key) {
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

// Asks the launcher of this folder to come forward; false when none answered. It may hold the
// lock and still be making its trigger, so it is looked for again for a short while.
bool askLauncherForward() {
    const DWORD start = GetTickCount();
    do {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"ZelvoraTrigger", nullptr); w;
             w = FindWindowExW(nullptr, w, L"ZelvoraTrigger", nullptr)) {
            // The user started this process: it may pass the right to come to the front on.
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            AllowSetForegroundWindow(process);
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutW(w, win32::secondStartMessage(), 0, 0,
                                    SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &answer) &&
                static_cast<LRESULT>(answer) == win32::secondStartAnswer)
                return true;
        }
        Sleep(50);
    } while (GetTickCount() - start < 1500);
    return false;
}

// The folder's lock while this process is its launcher.
HANDLE folderLock = nullptr;

bool isOwnWindowClass(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, std::size(name));
    const std::wstring_view cls = name;
    return cls == L"ZelvoraTrigger" || cls == L"ZelvoraMenu";
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

FolderClaim claimProgramFolder() {
    const std::wstring name = L"Local\\Zelvora-" + std::wstring(tag().begin(), tag().end());
    HANDLE lock = CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (lock && error != ERROR_ALREADY_EXISTS) {
        folderLock = lock;
        return FolderClaim::Claimed;
    }
    // A lock that cannot be made for another reason stops no one: saves still check the file.
    if (!lock && error != ERROR_ACCESS_DENIED)
        return FolderClaim::Claimed;
    // Let go at once: the lock lives as long as any handle to it, and this process may wait on
    // the user for a while after the launcher has ended.
    if (lock)
        CloseHandle(lock);
    return askLauncherForward() ? FolderClaim::HandedOver : FolderClaim::NoAnswer;
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
        wchar_t name[16] = {};
        GetClassNameW(w, name, std::size(name));
        if (std::wstring_view(name) == L"#32770")
            front = w;
    }
    SetForegroundWindow(front);
    return true;
}

} // namespace zv::platform

namespace zv::win32 {

void releaseProgramFolder() {
    if (platform::folderLock)
        CloseHandle(std::exchange(platform::folderLock, nullptr));
}

UINT secondStartMessage() {
    static const UINT message =
        RegisterWindowMessageW(toUtf16("Zelvora second start " + platform::tag()).c_str());
    return message;
}

} // namespace zv::win32
