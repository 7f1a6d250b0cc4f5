// A pop-up menu shown at the pointer.
#pragma once

#include "platform/geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace zv::platform {

struct PopupEntry {
    std::string caption; // "&" marks the access key; "-" is a separator line
};

// Shows the entries with the menu's top left corner at a point of the screen (pixels), or at the
// pointer, and waits; returns the index of the chosen entry, or -1 when the menu closed without
// a choice.
int popupMenu(void* owner, const std::vector<PopupEntry>& entries,
              std::optional<Point> at = std::nullopt);

} // namespace zv::platform
