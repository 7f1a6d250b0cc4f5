// The focus watcher: every menu closes as soon as the program loses the activation to another
// program. It takes over the trigger window's window procedure, watches the activation message
// and passes every other message on unchanged.
#pragma once

#include <cstdint>

namespace zv {

// Attach to / detach from the trigger window (its native handle). Detaching twice is harmless.
void hookTrigger(void* window);
void unhookTrigger(void* window);
bool triggerHooked();

// The low 16 bits of a message parameter, read as a signed number.
std::int16_t loWord(std::uint32_t value);

// The reaction to the activation message the trigger window received: wParam's low word 0 means
// a window of another program is being activated.
void activateAppReceived(std::uint32_t wParam);

} // namespace zv
