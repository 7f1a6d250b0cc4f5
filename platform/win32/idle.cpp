#include "idle.h"

#include "icon_worker.h"

#include "platform/window.h"

#include <utility>

namespace zv::win32 {

namespace {

std::function<bool()>& idleTask() {
    static std::function<bool()> task;
    return task;
}

} // namespace

bool idleStep() {
    deliverArrivedIcons();
    auto& task = idleTask();
    if (task && !task())
        task = nullptr;
    return static_cast<bool>(task);
}

} // namespace zv::win32

namespace zv::platform {

void runWhenIdle(std::function<bool()> task) {
    win32::idleTask() = std::move(task);
}

} // namespace zv::platform
