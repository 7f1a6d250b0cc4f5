#include "platform/common_dialogs.h"

#include "com.h"
#include "system_library.h"
#include "utf16.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>

#include <memory>
#include <vector>

namespace zv::platform {

namespace {

// Room for the longest path the system takes (32767 UTF-16 units and the terminator), so no
// chosen path is ever cut.
constexpr std::size_t longestPath = 32768;

// The common dialog library is loaded when the open dialog is first wanted, not at start: with
// the printing and security libraries it brings along it costs start-up time and megabytes of
// memory, and most runs never choose a file. It stays loaded from then on.
struct CommonDialogLibrary {
    decltype(&GetOpenFileNameW) getOpenFileName = nullptr;
    decltype(&CommDlgExtendedError) extendedError = nullptr;
};

const CommonDialogLibrary& commonDialogs() {
    static const CommonDialogLibrary library = [] {
        CommonDialogLibrary loaded;
        loaded.getOpenFileName =
            win32::systemFunction<decltype(&GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
        loaded.extendedError = win32::systemFunction<decltype(&CommDlgExtendedError)>(
            "comdlg32.dll", "CommDlgExtendedError");
        return loaded;
    }();
    return library;
}

// A system library that cannot be loaded leaves the dialog unopened, as if the user had
// cancelled it: the same outcome as the dialog itself failing.
bool runOpenDialog(HWND owner, std::vector<wchar_t>& buffer) {
    if (!commonDialogs().getOpenFileName)
        return false;
    // The dialog shows the shell's folders, which want COM on the thread.
    win32::useCom();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    return commonDialogs().getOpenFileName(&ofn) != FALSE;
}

DWORD openDialogError() {
    return commonDialogs().extendedError ? commonDialogs().extendedError() : 0;
}

// The text up to the buffer's terminator.
std::optional<std::string> textOf(const std::vector<wchar_t>& buffer) {
    return win32::toUtf8(buffer.data());
}

struct CoTaskMemFreeFn {
    void operator()(void* memory) const { win32::freeTaskMemory(memory); }
};

} // namespace

std::optional<std::string> chooseFile(void* owner, const std::string& initialFile) {
    HWND window = static_cast<HWND>(owner);
    std::vector<wchar_t> buffer(longestPath, L'\0');
    // A starting name too long for any path starts the dialog from an empty one.
    const std::wstring initial = win32::toUtf16(initialFile);
    if (initial.size() < buffer.size())
        initial.copy(buffer.data(), initial.size());
    if (runOpenDialog(window, buffer))
        return textOf(buffer);
    // A starting name the dialog cannot take (a command line with arguments, say) fails it at
    // once, before the user sees anything; the user still gets to choose, from an empty name.
    if (buffer[0] && openDialogError() == FNERR_INVALIDFILENAME) {
        buffer[0] = L'\0';
        if (runOpenDialog(window, buffer))
            return textOf(buffer);
    }
    return std::nullopt;
}

std::string browseForFolder(void* owner, const std::string& title) {
    static const auto browse =
        win32::systemFunction<decltype(&SHBrowseForFolderW)>("shell32.dll", "SHBrowseForFolderW");
    // The call that takes a buffer's length, so a path longer than MAX_PATH comes back whole;
    // systems without it have the one that stops at MAX_PATH.
    using PathOfLongFn = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, PWSTR, DWORD, GPFIDL_FLAGS);
    static const auto pathOfLong =
        win32::systemFunction<PathOfLongFn>("shell32.dll", "SHGetPathFromIDListEx");
    static const auto pathOf = win32::systemFunction<decltype(&SHGetPathFromIDListW)>(
        "shell32.dll", "SHGetPathFromIDListW");
    if (!browse || (!pathOfLong && !pathOf))
        return "";
    // The browser needs COM on the thread; without it the browser fails and gives "".
    win32::useCom();
    const std::wstring wideTitle = win32::toUtf16(title);
    BROWSEINFOW info{};
    info.hwndOwner = static_cast<HWND>(owner);
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const std::unique_ptr<ITEMIDLIST, CoTaskMemFreeFn> chosen(browse(&info));
    if (!chosen)
        return "";
    std::vector<wchar_t> path(pathOfLong ? longestPath : MAX_PATH, L'\0');
    const BOOL got = pathOfLong
                         ? pathOfLong(chosen.get(), path.data(), static_cast<DWORD>(path.size()), 0)
                         : pathOf(chosen.get(), path.data());
    if (!got)
        return "";
    // A folder whose name the program's texts cannot carry would be searched under a name that
    // names nothing: it is taken as no choice.
    return textOf(path).value_or("");
}

} // namespace zv::platform
