// One launcher per program folder: a second start from the same folder hands over to the
// launcher already running there. Copies in other folders are launchers of their own.
#pragma once

namespace zv::platform {

// Takes the program folder's lock for the rest of the process's life. False when a process
// started from the same folder holds it: that one has been asked to come forward (its trigger
// window gets WindowEvents::secondStart) and this one must end, touching nothing.
bool claimProgramFolder();

// Brings forward the program's window that waits for an answer (a message box or a modal
// dialog); false when none waits.
bool bringWaitingWindowForward();

} // namespace zv::platform
