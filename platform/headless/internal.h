// Pieces of the headless desktop that its files share with each other and not with tests.
#pragma once

namespace zv::headless::detail {

// Start-afresh hooks run by resetDesktop().
void resetWindows();
void resetIcons();

// Records a use of the platform that real Windows would quietly fail or crash on.
void fault(const char* what);

} // namespace zv::headless::detail
