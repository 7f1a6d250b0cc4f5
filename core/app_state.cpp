#include "core/app_state.h"

namespace zv {

bool unsavedChanges = false;
std::int16_t topLevel = -1;
std::int16_t lastMenuId = 0;
std::optional<MenuEntry> clipItem;
bool skipMouseMove = false;
bool batchAddOpen = false;

} // namespace zv
