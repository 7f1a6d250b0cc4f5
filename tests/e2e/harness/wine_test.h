// The base of every end-to-end test: the run's shared Wine session, a fresh program folder per
// test, the instances the test starts (ended in TearDown), and a screenshot when a test fails.
#pragma once

#include "wine_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zv::e2e {

// Where the tier finds its inputs and puts its files (fixed when it is configured).
std::filesystem::path programExe();  // zelvora.exe of the Windows build
std::filesystem::path probeExe();    // probe.exe there; holder.exe beside it
std::filesystem::path workDir();     // <native build>/e2e: prefix, program folders, failures
std::filesystem::path objdumpTool(); // x86_64-w64-mingw32-objdump

// "Z:\dir\file" for a Unix path, as Wine's Z: drive maps the Unix root.
std::string windowsPath(const std::filesystem::path& unixPath);

// A folder holding a copy of the program and whatever files a test writes beside it.
class ProgramFolder {
  public:
    static constexpr const char* exeName = "zelvora.exe";

    // Empties (or creates) `folder` and copies `programExe` into it as zelvora.exe.
    ProgramFolder(const std::filesystem::path& folder, const std::filesystem::path& programExe);

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path exePath() const { return path_ / exeName; }
    std::string windowsPath() const { return e2e::windowsPath(path_); }

    // Files by name relative to the folder; bytes are exact.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    void remove(const std::string& name) const { std::filesystem::remove(path_ / name); }
    // Every file and folder below, by relative name (folders end with '/', with no bytes).
    std::map<std::string, std::string> contents() const;

  private:
    std::filesystem::path path_;
};

// One started copy of the program (`wine <folder>/zelvora.exe`).
class ProgramInstance {
  public:
    ProgramInstance(const Session& session, const ProgramFolder& folder)
        : process_(session.startWine({folder.exePath().string()}, folder.path())) {}

    bool running() { return process_.running(); }
    std::optional<int> exitStatus() { return process_.exitStatus(); }
    ::testing::AssertionResult waitForExit(Milliseconds timeout);
    void end() { process_.end(); } // SIGTERM, then SIGKILL; reaped either way

  private:
    ChildProcess process_;
};

// The run's session, started on first use and ended by endSharedSession (from e2e_main).
Session& sharedSession();
void endSharedSession();

class WineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    Session& session() { return sharedSession(); }
    XScreen& screen() { return sharedSession().screen(); }
    ProgramFolder& folder() { return *folder_; }

    // Starts zelvora.exe from the test's folder; it is ended in TearDown if still running.
    ProgramInstance& launch();

    // probe.exe's view of the desktop, and of zelvora.exe's windows only.
    WindowReport windows() { return session().windows(); }
    std::vector<Window> programWindows() {
        return session().windows(ProgramFolder::exeName).windows;
    }

    // "Suite.Test", usable as a file name.
    static std::string testName();

  private:
    std::optional<ProgramFolder> folder_;
    std::vector<std::unique_ptr<ProgramInstance>> instances_;
    std::set<pid_t> processesBefore_;
};

} // namespace zv::e2e
