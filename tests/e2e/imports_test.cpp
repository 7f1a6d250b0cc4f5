// zelvora.exe must run on a bare Windows: every DLL it imports ships with the system.
#include "e2e.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const std::set<std::string>& systemDlls() {
    static const std::set<std::string> dlls = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "msimg32.dll",  "shell32.dll",
        "comdlg32.dll", "comctl32.dll", "ole32.dll",    "oleaut32.dll", "advapi32.dll",
        "shlwapi.dll",  "msvcrt.dll",   "ntdll.dll",    "uxtheme.dll",  "version.dll",
        "winmm.dll",    "imm32.dll",    "winspool.drv", "ws2_32.dll",   "psapi.dll"};
    return dlls;
}

std::vector<std::string> importedDlls(const std::filesystem::path& exe) {
    SpawnOptions options;
    options.argv = {objdumpTool().string(), "-p", exe.string()};
    CommandResult result = runCommand(options, 60s);
    if (!result.finished || result.exitStatus != 0)
        throw std::runtime_error("objdump -p " + exe.string() + ": " + result.describe());
    std::vector<std::string> dlls;
    std::istringstream lines(result.output);
    const std::string label = "DLL Name:";
    for (std::string line; std::getline(lines, line);) {
        auto at = line.find(label);
        if (at == std::string::npos)
            continue;
        std::string name = line.substr(at + label.size());
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t\r") + 1);
        dlls.push_back(name);
    }
    return dlls;
}

void expectOnlySystemDlls(const std::filesystem::path& exe) {
    ASSERT_TRUE(std::filesystem::exists(exe)) << exe << " is missing";
    const auto dlls = importedDlls(exe);
    ASSERT_FALSE(dlls.empty()) << "objdump listed no imports of " << exe;
    bool kernel32 = false;
    for (const auto& dll : dlls) {
        EXPECT_TRUE(systemDlls().count(lowered(dll)))
            << exe.filename() << " imports " << dll << ", which Windows does not ship";
        kernel32 = kernel32 || lowered(dll) == "kernel32.dll";
    }
    EXPECT_TRUE(kernel32) << "every Windows program imports kernel32.dll";
}

TEST(Imports, ProgramImportsOnlySystemDlls) {
    expectOnlySystemDlls(programExe());
}

TEST(Imports, ProbeImportsOnlySystemDlls) {
    expectOnlySystemDlls(probeExe());
}

} // namespace
} // namespace zv::e2e
