#include "platform/common_dialogs.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace zv::platform {

namespace {

// The file-name buffer of the open dialog: the initial name in, the chosen path out.
constexpr std::size_t fileBufferSize = 1024;

bool runOpenDialog(HWND owner, char* buffer) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = static_cast<DWORD>(fileBufferSize);
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&ofn) != FALSE;
}

struct CoTaskMemFreeFn {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
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
    if (buffer[0] && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        buffer[0] = '\0';
        if (runOpenDialog(window, buffer))
            return std::string(buffer);
    }
    return std::nullopt;
}

std::string browseForFolder(void* owner, const std::string& title) {
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(owner);
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const std::unique_ptr<ITEMIDLIST, CoTaskMemFreeFn> chosen(SHBrowseForFolderA(&info));
    if (!chosen)
        return "";
    char path[512];
    std::fill(std::begin(path), std::end(path), ' ');
    if (!SHGetPathFromIDListA(chosen.get(), path))
        return "";
    return std::string(path, std::find(std::begin(path), std::end(path), '\0'));
}

} // namespace zv::platform
