// State the whole program shares for the whole run.
#pragma once

#include "core/menu_entry.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zv {

class MenuWindow;

inline constexpr int menuLevelCount = 11; // levels 0 (the root) to 10

extern bool unsavedChanges;
// The deepest open level; -1 when every menu window is closed.
extern std::int16_t topLevel;
// The highest submenu id handed out so far.
extern std::int16_t lastMenuId;
// The Cut/Copy/Paste clipboard; empty until the first Cut or Copy.
extern std::optional<MenuEntry> clipItem;
// While set, the next mouse move any menu window receives is swallowed.
extern bool skipMouseMove;
// A quick add dialog is open.
extern bool batchAddOpen;

} // namespace zv
