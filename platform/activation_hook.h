// Watching a window for the program gaining or losing the activation to another program. The
// hook takes over the window's procedure, hands the activation message's wParam to the handler
// and passes every other message on unchanged.
#pragma once

#include <cstdint>

namespace zv::platform {

using ActivationHandler = void (*)(std::uint32_t wParam);

void hookActivation(void* window, ActivationHandler handler);
// Harmless when nothing is hooked.
void unhookActivation(void* window);
bool activationHooked();

} // namespace zv::platform
