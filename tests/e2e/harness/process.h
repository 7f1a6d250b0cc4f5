// Child processes of the harness, ended by pid, and waits on conditions with time-outs: the only
// way the tests let time pass.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zv::e2e {

using Milliseconds = std::chrono::milliseconds;

// Checks `condition` every `interval` until it holds, or fails naming `description`.
::testing::AssertionResult waitUntil(const std::function<bool()>& condition, Milliseconds timeout,
                                     const std::string& description,
                                     Milliseconds interval = Milliseconds(50));
// Checks `condition` again and again for `duration`; fails the first time it does not hold.
::testing::AssertionResult staysTrue(const std::function<bool()>& condition, Milliseconds duration,
                                     const std::string& description);

std::string readFile(const std::filesystem::path& path); // "" when it cannot be read

struct SpawnOptions {
    std::vector<std::string> argv;          // argv[0] is looked up in PATH
    std::map<std::string, std::string> env; // set on top of the harness's environment
    std::filesystem::path cwd;              // empty: the harness's
};

// One child, ended (SIGTERM, then SIGKILL) when it goes. Moving hands the duty on.
class ChildProcess {
  public:
    ChildProcess() = default;
    // Standard output and error go to `out` and `err` when given, else to /dev/null.
    explicit ChildProcess(const SpawnOptions& options, int out = -1, int err = -1);
    ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess() { end(); }

    pid_t pid() const { return pid_; }
    bool running(); // reaps without blocking
    std::optional<int> exitStatus() { return running() ? std::nullopt : status_; }
    bool waitForExit(Milliseconds timeout) {
        return waitUntil([&] { return !running(); }, timeout, "", Milliseconds(2));
    }
    void end(Milliseconds grace = Milliseconds(2000));

  private:
    pid_t pid_ = -1;
    std::optional<int> status_; // exit code, or 128 + signal
};

struct CommandResult {
    bool finished = false; // false: timed out and was killed
    int exitStatus = -1;
    std::string output, errors;
    std::string describe() const;
};
// Runs a command to its end, capturing its output.
CommandResult runCommand(const SpawnOptions& options, Milliseconds timeout);
inline CommandResult runCommand(std::vector<std::string> argv, Milliseconds timeout) {
    return runCommand(SpawnOptions{std::move(argv), {}, {}}, timeout);
}

// A process below the harness, which is a child subreaper: orphans of Wine's own process
// starts land here too, so everything a run starts stays reachable by pid.
struct ProcessInfo {
    pid_t pid = 0, parent = 0;
    char state = '?';
    std::string command, cmdline;
};
void becomeSubreaper(); // once, before the first child starts
std::vector<ProcessInfo> descendants();
// SIGTERM, then SIGKILL after grace; reaps those that are our children.
void endProcesses(const std::vector<pid_t>& pids, Milliseconds grace = Milliseconds(2000));

} // namespace zv::e2e
