#include "headless.h"
#include "internal.h"

namespace zv::headless {

Desktop& desktop() {
    static Desktop d;
    return d;
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
