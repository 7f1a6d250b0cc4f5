// Child processes of the harness: started with fork/exec, watched with waitpid, ended by pid.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zv::e2e {

using Milliseconds = std::chrono::milliseconds;

struct SpawnOptions {
    std::vector<std::string> argv;          // argv[0] is looked up in PATH
    std::map<std::string, std::string> env; // set on top of the harness's environment
    std::vector<std::string> unsetEnv;      // removed from it
    std::filesystem::path cwd;              // empty: the harness's
    bool captureOutput = false;             // stdout and stderr into pipes the caller reads
    bool stdinPipe = false;                 // else stdin is /dev/null
    std::vector<int> inheritFds;            // extra descriptors the child keeps
};

struct CommandResult {
    bool finished = false; // false: timed out and was killed
    int exitStatus = -1;   // exit code, or 128 + signal
    std::string output;    // stdout
    std::string errors;    // stderr
    std::string describe() const;
};

// One child. Not copyable; moving transfers the duty to end it.
class ChildProcess {
  public:
    ChildProcess() = default;
    explicit ChildProcess(const SpawnOptions& options);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess(); // ends the process if it still runs

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    const std::string& name() const { return name_; }

    // Reaps without blocking; false once the process has ended.
    bool running();
    // The exit code (or 128 + signal) once ended.
    std::optional<int> exitStatus();
    // Waits up to timeout for the end; true if it ended.
    bool waitForExit(Milliseconds timeout);
    // SIGTERM, then SIGKILL after grace; always reaps.
    void end(Milliseconds grace = Milliseconds(2000));

    // Reads what the child wrote until it ends (or timeout, which kills it).
    CommandResult collect(Milliseconds timeout);
    // Closes the child's standard input (when stdinPipe was asked for).
    void closeInput();

  private:
    void release();

    pid_t pid_ = -1;
    std::string name_;
    std::optional<int> status_;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    int stderrFd_ = -1;
};

// Runs a command to its end, capturing its output.
CommandResult runCommand(SpawnOptions options, Milliseconds timeout);

// A process in the harness's subtree (the harness is a child subreaper, so orphans of Wine's own
// process starts land here too).
struct ProcessInfo {
    pid_t pid = 0;
    pid_t parent = 0;
    char state = '?';
    std::string command; // comm
    std::string cmdline; // arguments joined with spaces
};

// Makes this process adopt its orphaned descendants, so that everything the run starts stays
// reachable by pid. Call once, before the first child starts.
void becomeSubreaper();

// All live processes below this one.
std::vector<ProcessInfo> descendants();
// Live processes whose environment holds NAME=VALUE.
std::vector<ProcessInfo> processesWithEnv(const std::string& name, const std::string& value);
// Reaps adopted children that have ended, except those a ChildProcess owns.
void reapOrphans();
// Ends processes by pid: SIGTERM, then SIGKILL after grace; reaps those that are our children.
void endProcesses(const std::vector<pid_t>& pids, Milliseconds grace = Milliseconds(2000));
// Ends every descendant: the last step of a run.
void endAllDescendants(Milliseconds grace = Milliseconds(2000));

} // namespace zv::e2e
