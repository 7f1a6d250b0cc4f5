// One launcher per program folder: a second start from the same folder hands over to the
// launcher already running there. Copies in other folders are launchers of their own.
#pragma once

namespace zv::platform {

enum class FolderClaim {
    Claimed,    // this process is the folder's launcher
    HandedOver, // the folder's launcher was asked to come forward; this one must end
    NoAnswer,   // the folder's launcher holds the folder but did not answer; this one must end
};

// Takes the program folder's lock until the process ends. When a process started from the
// same folder holds it, that one is asked to come forward (its trigger window gets
// WindowEvents::secondStart) and this one must end, touching nothing.
FolderClaim claimProgramFolder();

// Brings forward the program's window that waits for an answer (a message box or a modal
// dialog); false when none waits.
bool bringWaitingWindowForward();

} // namespace zv::platform
