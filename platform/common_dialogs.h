// The system's own dialogs for picking a file or a folder.
#pragma once

#include <optional>
#include <string>

namespace zv::platform {

// The open-file dialog with no filter and no title of its own, starting from initialFile when
// it is not empty. The chosen file's full path, or nothing when the user cancels.
std::optional<std::string> chooseFile(void* owner, const std::string& initialFile);

// The shell's folder browser with the given title, rooted at the desktop, offering only
// file-system folders. The chosen folder's full path, or "" when the user cancels.
std::string browseForFolder(void* owner, const std::string& title);

} // namespace zv::platform
