// The headless activation hook: hooking records the handler; tests deliver the activation
// message with headless::sendActivateApp.
#include "platform/activation_hook.h"

#include "headless.h"

namespace zv {

namespace {

platform::ActivationHandler activationHandler = nullptr;

} // namespace

namespace platform {

void hookActivation(void*, ActivationHandler handler) {
    activationHandler = handler;
}

void unhookActivation(void*) {
    activationHandler = nullptr;
}

bool activationHooked() {
    return activationHandler != nullptr;
}

} // namespace platform

namespace headless {

bool sendActivateApp(std::uint32_t wParam) {
    if (!activationHandler)
        return false;
    activationHandler(wParam);
    return true;
}

} // namespace headless

} // namespace zv
