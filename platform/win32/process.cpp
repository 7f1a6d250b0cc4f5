#include "platform/process.h"

#include "icon_worker.h"
#include "second_start.h"

#include <windows.h>

namespace zv::platform {

void endProcess() {
    // First of all, so that a new start finds the folder free whatever the ending waits for.
    win32::releaseProgramFolder();
    // An icon read still under way may never return and may hold the loader's lock, which an
    // orderly exit takes first: then the process is ended without the libraries' farewells,
    // which the program does not rely on (every file it writes is closed by then).
    if (!win32::stopReadingIcons())
        TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);
}

} // namespace zv::platform
