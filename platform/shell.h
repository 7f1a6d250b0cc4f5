// The shell: opening files with their default action and the system's own dialogs.
#pragma once

#include <string>

namespace zv::platform {

// The shell's default action on file (owner, no operation, no parameters, no directory,
// SW_SHOWNORMAL). Returns "" when the shell took the file, otherwise why it did not, in plain
// words for the user; a text too long for the shell is not handed over and fails so.
std::string shellExecute(void* owner, const std::string& file);
// The system's shut-down dialog (shell32 export 60), owned by owner.
void shutdownDialog(void* owner);
// The system's Run dialog (shell32 export 61) with its own icon, no directory, an empty title
// and description and no flags.
void runDialog(void* owner);

} // namespace zv::platform
