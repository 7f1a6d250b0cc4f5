#include "headless.h"
#include "internal.h"

namespace zv::headless {

Desktop& desktop() {
    static Desktop d;
    return d;
}

int runIdle(int maxSteps) {
    auto& task = desktop().idleTask;
    int steps = 0;
    while (task && steps < maxSteps) {
        ++steps;
        if (!task())
            task = nullptr;
    }
    return steps;
}

void resetDesktop() {
    desktop() = Desktop{};
    detail::resetWindows();
    detail::resetIcons();
    resetDialogs();
}

namespace detail {

void fault(const char* what) {
    desktop().faults.emplace_back(what);
}

} // namespace detail

} // namespace zv::headless
