#include "platform/common_dialogs.h"

#include "com.h"
#include "system_library.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace zv::platform {

namespace {

// The file-name buffer of the open dialog: the initial name in, the chosen path out.
constexpr std::size_t fileBufferSize = 1024;

// The common dialog library is loaded when the open dialog is first wanted, not at start: with
// the printing and security libraries it brings along it costs start-up time and megabytes of
// memory, and most runs never choose a file. It stays loaded from then on.
struct CommonDialogLibrary {
    decltype(&GetOpenFileNameA) getOpenFileName = nullptr;
    decltype(&CommDlgExtendedError) extendedError = nullptr;
};

const CommonDialogLibrary& commonDialogs() {
    static const CommonDialogLibrary library = [] {
        CommonDialogLibrary loaded;
        loaded.getOpenFileName =
            win32::systemFunction<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
        loaded.extendedError = win32::systemFunction<decltype(&CommDlgExtendedError)>(
            "comdlg32.dll", "CommDlgExtendedError");
        return loaded;
    }();
    return library;
}

// A system library that cannot be loaded leaves the dialog unopened, as if the user had
// cancelled it: the same outcome as the dialog itself failing.
bool runOpenDialog(HWND owner, char* buffer) {
    if (!commonDialogs().getOpenFileName)
        return false;
    // The dialog shows the shell's folders, which want COM on the thread.
    win32::useCom();
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = static_cast<DWORD>(fileBufferSize);
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    return commonDialogs().getOpenFileName(&ofn) != FALSE;
}

DWORD openDialogError() {
    return commonDialogs().extendedError ? commonDialogs().extendedError() : 0;
}

struct CoTaskMemFreeFn {
    void operator()(void* memory) const { win32::freeTaskMemory(memory); }
};

} // namespace

std::optional<std::string> chooseFile(void* owner, const std::string& initialFile) {
    HWND window = static_cast<HWND>(owner);
    char buffer[fileBufferSize] = {};
    std::strncpy(buffer, initialFile.c_str(), fileBufferSize - 1);
    if (runOpenDialog(window, buffer))
        return std::string(buffer);
    // A starting name the dialog cannot take (a command line with arguments, say) fails it at
    // once, before the user sees anything; the user still gets to choose, from an empty name.
    if (buffer[0] && openDialogError() == FNERR_INVALIDFILENAME) {
        buffer[0] = '\0';
        if (runOpenDialog(window, buffer))
            return std::string(buffer);
    }
    return std::nullopt;
}

std::string browseForFolder(void* owner, const std::string& title) {
    static const auto browse =
        win32::systemFunction<decltype(&SHBrowseForFolderA)>("shell32.dll", "SHBrowseForFolderA");
    static const auto pathOf = win32::systemFunction<decltype(&SHGetPathFromIDListA)>(
        "shell32.dll", "SHGetPathFromIDListA");
    if (!browse || !pathOf)
        return "";
    // The browser needs COM on the thread; without it the browser fails and gives "".
    win32::useCom();
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(owner);
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const std::unique_ptr<ITEMIDLIST, CoTaskMemFreeFn> chosen(browse(&info));
    if (!chosen)
        return "";
    char path[512];
    std::fill(std::begin(path), std::end(path), ' ');
    if (!pathOf(chosen.get(), path))
        return "";
    return std::string(path, std::find(std::begin(path), std::end(path), '\0'));
}

} // namespace zv::platform
