#include "paths.h"

namespace zv::e2e {

std::filesystem::path windowsBuild() {
    return ZV_E2E_WINDOWS_BUILD;
}
std::filesystem::path programExe() {
    return windowsBuild() / "zelvora.exe";
}
std::filesystem::path probeExe() {
    return windowsBuild() / "tests" / "e2e" / "probe" / "probe.exe";
}
std::filesystem::path workDir() {
    return ZV_E2E_WORK_DIR;
}
std::filesystem::path objdumpTool() {
    return ZV_E2E_OBJDUMP;
}

} // namespace zv::e2e
