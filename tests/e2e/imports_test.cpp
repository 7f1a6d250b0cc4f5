// zelvora.exe must run on a bare Windows: every DLL it imports ships with the system, and the
// narrower DLL search of newer systems is looked up at run time, not imported.
#include "wine_test.h"

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

// The last word of every line of `objdump -p`: DLL names after "DLL Name:", imported functions.
std::vector<std::string> importWords(const std::filesystem::path& exe) {
    const CommandResult result = runCommand({objdumpTool().string(), "-p", exe.string()}, 60s);
    EXPECT_TRUE(result.finished && result.exitStatus == 0) << result.describe();
    std::vector<std::string> words;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string word, last;
        while (in >> word)
            last = word;
        words.push_back(line.find("DLL Name:") != std::string::npos ? "dll:" + last : last);
    }
    return words;
}

TEST(Imports, ProgramAndProbeImportOnlySystemDlls) {
    static const std::set<std::string> system = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "msimg32.dll",  "shell32.dll",
        "comdlg32.dll", "comctl32.dll", "ole32.dll",    "oleaut32.dll", "advapi32.dll",
        "shlwapi.dll",  "msvcrt.dll",   "ntdll.dll",    "uxtheme.dll",  "version.dll",
        "winmm.dll",    "imm32.dll",    "winspool.drv", "ws2_32.dll",   "psapi.dll",
        "oleacc.dll"};
    for (const auto& exe : {programExe(), probeExe()}) {
        int dlls = 0;
        for (std::string word : importWords(exe))
            if (word.starts_with("dll:")) {
                ++dlls;
                for (char& c : word)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                EXPECT_TRUE(system.count(word.substr(4))) << exe.filename() << " imports " << word;
            }
        EXPECT_GT(dlls, 0) << "objdump listed no imports of " << exe;
    }
}

// SetDllDirectoryW comes with every Windows since XP SP1 and is imported;
// SetDefaultDllDirectories (Windows 8, or 7 with KB2533623) is looked up by name. Names and
// paths reach the system whole only through the wide calls: no call that takes or gives text in
// the ANSI code page is imported or looked up, but for the static C runtime's own few (no
// program text passes through them).
TEST(Imports, TheNarrowerDllSearchIsLookedUpAndNoAnsiTextCallIsUsed) {
    const auto words = importWords(programExe());
    const auto imported = [&](const std::string& f) {
        return std::find(words.begin(), words.end(), f) != words.end();
    };
    ASSERT_TRUE(imported("GetProcAddress")) << "the import list was not understood";
    EXPECT_TRUE(imported("SetDllDirectoryW"));
    EXPECT_FALSE(imported("SetDefaultDllDirectories"));
    // Calls looked up by name are NUL-terminated names among the program's bytes.
    const std::string bytes = readFile(programExe());
    EXPECT_NE(bytes.find(std::string("SetDefaultDllDirectories") + '\0'), std::string::npos)
        << "the name GetProcAddress looks up is not in the program";

    static const std::set<std::string> runtimeOwn = {"CreateEventA", "CreateSemaphoreA",
                                                     "GetStartupInfoA", "OutputDebugStringA"};
    static const std::regex ansiName("[A-Z][A-Za-z0-9]+[a-z]A");
    const auto ansiCall = [](const std::string& word) {
        return word.ends_with('A') && std::regex_match(word, ansiName) && !runtimeOwn.count(word);
    };
    for (const std::string& word : words)
        EXPECT_FALSE(ansiCall(word)) << "imports " << word;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\0'); end != std::string::npos;
         start = end + 1, end = bytes.find('\0', start))
        EXPECT_FALSE(ansiCall(bytes.substr(start, end - start)))
            << "looks up " << bytes.substr(start, end - start);
}

} // namespace
} // namespace zv::e2e
