#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

extern char** environ;

namespace zv::e2e {

namespace {

using Clock = std::chrono::steady_clock;

// Pids a ChildProcess waits for itself; reaping orphans leaves them alone to keep their status.
std::set<pid_t> ownedPids;

std::optional<ProcessInfo> readStat(pid_t pid) {
    const std::string proc = "/proc/" + std::to_string(pid), stat = readFile(proc + "/stat");
    // "pid (comm) state ppid ...": comm may hold spaces and parentheses.
    const auto open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 4 > stat.size())
        return std::nullopt;
    ProcessInfo info{pid, 0, '?', stat.substr(open + 1, close - open - 1),
                     readFile(proc + "/cmdline")};
    std::istringstream(stat.substr(close + 2)) >> info.state >> info.parent;
    std::replace(info.cmdline.begin(), info.cmdline.end(), '\0', ' ');
    return info;
}

std::vector<ProcessInfo> allProcesses() {
    std::vector<ProcessInfo> result;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos)
            if (auto info = readStat(std::stoi(name)))
                result.push_back(*info);
    }
    return result;
}

bool alive(pid_t pid) {
    const auto info = readStat(pid);
    return info && info->state != 'Z' && info->state != 'X';
}

void reapOrphans() {
    for (const auto& info : allProcesses())
        if (info.parent == ::getpid() && info.state == 'Z' && !ownedPids.count(info.pid))
            ::waitpid(info.pid, nullptr, WNOHANG);
}

} // namespace

::testing::AssertionResult waitUntil(const std::function<bool()>& condition, Milliseconds timeout,
                                     const std::string& description, Milliseconds interval) {
    for (const auto start = Clock::now(); !condition(); std::this_thread::sleep_for(interval))
        if (Clock::now() >= start + timeout)
            return ::testing::AssertionFailure()
                   << "timed out after " << timeout.count() << " ms waiting for " << description;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult staysTrue(const std::function<bool()>& condition, Milliseconds duration,
                                     const std::string& description) {
    if (!waitUntil([&] { return !condition(); }, duration, description))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no longer true: " << description;
}

std::string readFile(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

ChildProcess::ChildProcess(const SpawnOptions& options, int out, int err) {
    // Everything the child needs is prepared before fork: only async-signal-safe calls follow.
    std::vector<std::string> envText, argText = options.argv;
    for (char** e = environ; *e; ++e)
        if (!options.env.count(std::string(*e).substr(0, std::string(*e).find('='))))
            envText.push_back(*e);
    for (const auto& [key, value] : options.env)
        envText.push_back(key + "=" + value);
    std::vector<char*> envp, argv;
    for (auto& entry : envText)
        envp.push_back(entry.data());
    for (auto& arg : argText)
        argv.push_back(arg.data());
    envp.push_back(nullptr);
    argv.push_back(nullptr);
    const std::string cwd = options.cwd.string();
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        // The child follows a harness that dies without cleaning up; Ctrl-C reaches the harness.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        ::setpgid(0, 0);
        const int none = ::open("/dev/null", O_RDWR);
        ::dup2(none, 0);
        ::dup2(out >= 0 ? out : none, 1);
        ::dup2(err >= 0 ? err : none, 2);
        if (cwd.empty() || ::chdir(cwd.c_str()) == 0)
            ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ownedPids.insert(pid_);
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    end();
    pid_ = std::exchange(other.pid_, -1);
    status_ = std::exchange(other.status_, std::nullopt);
    return *this;
}

bool ChildProcess::running() {
    int status = 0;
    const pid_t done = pid_ > 0 && !status_ ? ::waitpid(pid_, &status, WNOHANG) : -2;
    if (done == pid_)
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    else if (done == -1)
        status_ = -1; // reaped elsewhere; the status is lost
    return done == 0;
}

void ChildProcess::end(Milliseconds grace) {
    if (running()) {
        ::kill(pid_, SIGTERM);
        if (!waitForExit(grace) && ::kill(pid_, SIGKILL) == 0)
            waitForExit(Milliseconds(10000));
    }
    ownedPids.erase(pid_);
}

std::string CommandResult::describe() const {
    return (finished ? "exit status " + std::to_string(exitStatus) : "timed out") +
           (output.empty() ? "" : "\nstdout:\n" + output) +
           (errors.empty() ? "" : "\nstderr:\n" + errors);
}

// The output goes to files, which processes the child started may keep open after it ends.
CommandResult runCommand(const SpawnOptions& options, Milliseconds timeout) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ChildProcess child(options, ::fileno(out), ::fileno(err));
    CommandResult result;
    result.finished = child.waitForExit(timeout);
    child.end(Milliseconds(500));
    result.exitStatus = child.exitStatus().value_or(-1);
    for (auto [file, text] : {std::pair{out, &result.output}, std::pair{err, &result.errors}}) {
        *text = readFile("/proc/self/fd/" + std::to_string(::fileno(file)));
        std::fclose(file);
    }
    return result;
}

void becomeSubreaper() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

std::vector<ProcessInfo> descendants() {
    reapOrphans();
    const auto all = allProcesses();
    std::set<pid_t> tree = {::getpid()};
    std::vector<ProcessInfo> result;
    // Parents may have larger pids than their children after wrap-around: repeat until stable.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& info : all)
            if (!tree.count(info.pid) && tree.count(info.parent) && info.state != 'Z') {
                tree.insert(info.pid);
                result.push_back(info);
                grew = true;
            }
    }
    return result;
}

void endProcesses(const std::vector<pid_t>& pids, Milliseconds grace) {
    for (int signal : {SIGTERM, SIGKILL}) {
        for (pid_t pid : pids)
            if (alive(pid))
                ::kill(pid, signal);
        waitUntil(
            [&] {
                reapOrphans();
                return std::none_of(pids.begin(), pids.end(), alive);
            },
            signal == SIGTERM ? grace : Milliseconds(5000), "");
    }
    reapOrphans();
}

} // namespace zv::e2e
