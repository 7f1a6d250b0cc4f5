// The base of every end-to-end test: the run's shared Wine session, a fresh program folder per
// test, its programs ended in TearDown, and a screenshot when it fails.
#pragma once

#include "wine_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace zv::e2e {

namespace fs = std::filesystem;

// Where the tier finds its inputs and puts its files, fixed when it is configured.
inline fs::path programExe() {
    return fs::path(ZV_E2E_WINDOWS_BUILD) / "zelvora.exe";
}
inline fs::path probeExe() {
    return fs::path(ZV_E2E_WINDOWS_BUILD) / "tests/e2e/probe/probe.exe";
}
inline fs::path workDir() { // prefix, program folders, failures
    return ZV_E2E_WORK_DIR;
}
inline fs::path objdumpTool() {
    return ZV_E2E_OBJDUMP;
}

// "Z:\dir\file" for a Unix path, as Wine's Z: drive maps the Unix root.
std::string windowsPath(const fs::path& unixPath);

// A folder holding a copy of the program and whatever files a test writes beside it.
class ProgramFolder {
  public:
    static constexpr const char* exeName = "zelvora.exe";

    // Empties (or creates) `folder` and copies `programExe` into it.
    ProgramFolder(const fs::path& folder, const fs::path& programExe);

    const fs::path& path() const { return path_; }
    fs::path exePath() const { return path_ / exeName; }
    std::string windowsPath() const { return e2e::windowsPath(path_); }
    // Files by name relative to the folder; bytes are exact.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const { return fs::exists(path_ / name); }
    void remove(const std::string& name) const { fs::remove(path_ / name); }
    // Every file and folder below, by relative name (folders end with '/', with no bytes).
    std::map<std::string, std::string> contents() const;

  private:
    fs::path path_;
};

// One started copy of the program: `wine <folder>/zelvora.exe`, ended by pid.
using ProgramInstance = ChildProcess;

// The run's session, started on first use and ended after the last test.
Session& sharedSession();

class WineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    Session& session() { return sharedSession(); }
    XScreen& screen() { return sharedSession().screen(); }
    ProgramFolder& folder() { return *folder_; }
    // Starts zelvora.exe from the test's folder or another; TearDown ends it.
    ProgramInstance& launch(const ProgramFolder* in = nullptr) {
        const ProgramFolder& from = in ? *in : *folder_;
        return *instances_.emplace_back(std::make_unique<ProgramInstance>(
            session().startWine({from.exePath().string()}, from.path(), programEnv_)));
    }
    // Programs this test starts from now on run in this locale, e.g. "ja_JP.UTF-8" for code page
    // 932 (Wine takes it from each process's LC_ALL; the session's is 1252).
    void runProgramsInLocale(const std::string& locale) { programEnv_["LC_ALL"] = locale; }
    // Starts zelvora.exe and waits up to 30 s until `shown` holds or it ends. A start that Wine
    // ends with status 1 before the program ran (which always ends with 0) is made again, once.
    ProgramInstance& launchUntil(const std::function<bool()>& shown, const std::string& what,
                                 const ProgramFolder* in = nullptr);
    // probe.exe's view of the desktop, and of zelvora.exe's windows only.
    WindowReport windows() { return session().windows(); }
    std::vector<Window> programWindows() {
        return session().windows(ProgramFolder::exeName).windows;
    }
    // "Suite.Test", usable as a file name.
    static std::string testName();

  private:
    std::optional<ProgramFolder> folder_;
    std::map<std::string, std::string> programEnv_;
    std::vector<std::unique_ptr<ProgramInstance>> instances_;
    std::set<pid_t> processesBefore_;
};

} // namespace zv::e2e
