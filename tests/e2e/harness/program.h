// The program under test: a fresh program folder per test, and running instances of it.
#pragma once

#include "process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zv::e2e {

class Session;

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
    std::string windowsPath() const; // Z:\...\folder

    // Files by name relative to the folder ("menu.qlf", "icons/a.ico"); bytes are exact.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;
    void remove(const std::string& name) const;
    // Every file and folder below, by relative name (folders end with '/', with no bytes).
    std::map<std::string, std::string> contents() const;

  private:
    std::filesystem::path path_;
};

// One started copy of the program (`wine <folder>/zelvora.exe ARGS`).
class ProgramInstance {
  public:
    ProgramInstance(const Session& session, const ProgramFolder& folder,
                    const std::vector<std::string>& args = {});

    pid_t pid() const { return process_.pid(); } // the Unix pid of the Wine process
    bool running() { return process_.running(); }
    std::optional<int> exitStatus() { return process_.exitStatus(); }
    // Succeeds once the process has ended, fails after `timeout`.
    ::testing::AssertionResult waitForExit(Milliseconds timeout);
    // Asks it to end (SIGTERM), then kills it; reaps it either way.
    void end() { process_.end(); }

  private:
    ChildProcess process_;
};

} // namespace zv::e2e
