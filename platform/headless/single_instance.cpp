#include "platform/single_instance.h"

#include "headless.h"

#include <cctype>

namespace zv::platform {

bool claimProgramFolder() {
    std::string key = headless::state().programFolder;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (headless::state().claimedFolders.insert(key).second)
        return true;
    for (headless::WindowRecord* w : headless::windows())
        if (w->style == WindowStyle::Trigger && w->events)
            w->events->secondStart();
    return false;
}

bool bringWaitingWindowForward() {
    for (const headless::DialogRecord* d : headless::openDialogs())
        if (d->modal) {
            ++headless::state().waitingWindowsBroughtForward;
            return true;
        }
    return false;
}

} // namespace zv::platform
