// A pop-up menu shown at the pointer.
#pragma once

#include <string>
#include <vector>

namespace zv::platform {

struct PopupEntry {
    std::string caption; // "&" marks the access key; "-" is a separator line
};

// Shows the entries with the menu's left edge at the pointer and waits; returns the index of
// the chosen entry, or -1 when the menu closed without a choice.
int popupMenu(void* owner, const std::vector<PopupEntry>& entries);

} // namespace zv::platform
