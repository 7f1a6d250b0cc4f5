#include "platform/process.h"

#include <windows.h>

namespace zv::platform {

void endProcess() {
    ExitProcess(0);
}

} // namespace zv::platform
