#include "trigger/focus_watcher.h"

#include "platform/activation_hook.h"
#include "trigger/trigger_window.h"

namespace zv {

std::int16_t loWord(std::uint32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFFu));
}

void activateAppReceived(std::uint32_t wParam) {
    if (loWord(wParam) == 0)
        triggerWindow.closeAll();
}

void hookTrigger(void* window) {
    platform::hookActivation(window, &activateAppReceived);
}

void unhookTrigger(void* window) {
    platform::unhookActivation(window);
}

bool triggerHooked() {
    return platform::activationHooked();
}

} // namespace zv
