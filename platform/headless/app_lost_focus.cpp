// The headless focus watcher: attaching records the window; tests deliver the activation
// message with headless::sendActivateApp.
#include "trigger/app_lost_focus.h"

#include "headless.h"

namespace zv {

namespace {

void* hookedWindow = nullptr;

} // namespace

void hookTrigger(void* window) {
    hookedWindow = window;
}

void unhookTrigger(void*) {
    hookedWindow = nullptr;
}

bool triggerHooked() {
    return hookedWindow != nullptr;
}

namespace headless {

bool sendActivateApp(std::uint32_t wParam) {
    if (!hookedWindow)
        return false;
    activateAppReceived(wParam);
    return true;
}

} // namespace headless

} // namespace zv
