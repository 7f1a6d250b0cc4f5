// Child processes of the harness (started with fork/exec, watched with waitpid, ended by pid),
// and waiting on conditions with time-outs: the only way the tests let time pass.
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

// Checks `condition` every 50 ms until it holds (success) or `timeout` passes (failure naming
// `description`).
::testing::AssertionResult waitUntil(const std::function<bool()>& condition, Milliseconds timeout,
                                     const std::string& description);
// Checks `condition` again and again for `duration`; fails the first time it does not hold.
::testing::AssertionResult staysTrue(const std::function<bool()>& condition, Milliseconds duration,
                                     const std::string& description);

struct SpawnOptions {
    std::vector<std::string> argv;          // argv[0] is looked up in PATH
    std::map<std::string, std::string> env; // set on top of the harness's environment
    std::vector<std::string> unsetEnv;      // removed from it
    std::filesystem::path cwd;              // empty: the harness's
    bool captureOutput = false;             // stdout and stderr into pipes, read by collect
    std::vector<int> inheritFds;            // extra descriptors the child keeps
};

struct CommandResult {
    bool finished = false; // false: timed out and was killed
    int exitStatus = -1;   // exit code, or 128 + signal
    std::string output, errors;
    std::string describe() const;
};

// One child. Moving transfers the duty to end it.
class ChildProcess {
  public:
    ChildProcess() = default;
    explicit ChildProcess(const SpawnOptions& options);
    ChildProcess(ChildProcess&& other) noexcept { *this = std::move(other); }
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess() { release(); } // ends the process if it still runs

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    bool running(); // reaps without blocking
    std::optional<int> exitStatus();
    bool waitForExit(Milliseconds timeout);
    // SIGTERM, then SIGKILL after grace; always reaps.
    void end(Milliseconds grace = Milliseconds(2000));
    // Reads what the child writes until it ends (or the timeout, which kills it).
    CommandResult collect(Milliseconds timeout);

  private:
    void release();

    pid_t pid_ = -1;
    std::optional<int> status_;
    int stdoutFd_ = -1, stderrFd_ = -1;
};

CommandResult runCommand(SpawnOptions options, Milliseconds timeout);
std::string readFile(const std::filesystem::path& path); // "" when it cannot be read

// A process below the harness, which is a child subreaper: orphans of Wine's own process
// starts land here too, so everything a run starts stays reachable by pid.
struct ProcessInfo {
    pid_t pid = 0, parent = 0;
    char state = '?';
    std::string command, cmdline;
};

void becomeSubreaper(); // once, before the first child starts
std::vector<ProcessInfo> descendants();
// Reaps adopted children that have ended, except those a ChildProcess owns.
void reapOrphans();
// SIGTERM, then SIGKILL after grace; reaps those that are our children.
void endProcesses(const std::vector<pid_t>& pids, Milliseconds grace = Milliseconds(2000));
void endAllDescendants();

} // namespace zv::e2e
