#include "platform/foreground.h"

#include "headless.h"

#include <algorithm>

namespace zv::platform {

void* userWindow() {
    if (headless::WindowRecord* own = headless::focusedWindow())
        return own;
    return headless::desktop().otherForeground;
}

void returnForeground(void* window) {
    if (headless::WindowRecord* own = headless::findWindow(window)) {
        if (own->visible)
            headless::userActivates(own);
        return;
    }
    const auto& others = headless::desktop().otherWindows;
    if (window && std::find(others.begin(), others.end(), window) != others.end())
        headless::userActivatesOther(window);
}

} // namespace zv::platform
