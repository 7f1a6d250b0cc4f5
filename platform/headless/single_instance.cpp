#include "platform/single_instance.h"

#include "headless.h"

#include <cctype>

namespace zv::platform {

FolderClaim claimProgramFolder() {
    std::string key = headless::state().programFolder;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (headless::state().claimedFolders.insert(key).second)
        return FolderClaim::Claimed;
    // The holder answers through its trigger; one without a trigger cannot.
    FolderClaim claim = FolderClaim::NoAnswer;
    for (headless::WindowRecord* w : headless::windows())
        if (w->style == WindowStyle::Trigger && w->events) {
            w->events->secondStart();
            claim = FolderClaim::HandedOver;
        }
    return claim;
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
