#include "headless.h"

namespace zv::headless {

State& state() {
    static State s;
    return s;
}

void reset(const std::string& programFolder) {
    state() = State{};
    state().programFolder = programFolder;
    resetDesktop();
}

std::string hostPath(const std::string& programPath) {
    std::string path = programPath;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace zv::headless
