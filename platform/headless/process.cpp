#include "platform/process.h"

#include "headless.h"

namespace zv::platform {

void endProcess() {
    headless::state().processEnded = true;
    throw headless::ProcessEnded{};
}

} // namespace zv::platform
