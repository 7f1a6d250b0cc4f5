#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

extern char** environ;

namespace zv::e2e {

namespace {

using Clock = std::chrono::steady_clock;

long long elapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<Milliseconds>(Clock::now() - since).count();
}

// Pids a ChildProcess waits for itself; reapOrphans leaves them alone so their status is kept.
std::set<pid_t> ownedPids;

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

bool readStat(pid_t pid, ProcessInfo& info) {
    const std::string proc = "/proc/" + std::to_string(pid), stat = readFile(proc + "/stat");
    // "pid (comm) state ppid ...": comm may hold spaces and parentheses.
    auto open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 4 > stat.size())
        return false;
    info.pid = pid;
    info.command = stat.substr(open + 1, close - open - 1);
    std::istringstream(stat.substr(close + 2)) >> info.state >> info.parent;
    info.cmdline = readFile(proc + "/cmdline");
    std::replace(info.cmdline.begin(), info.cmdline.end(), '\0', ' ');
    return true;
}

std::vector<ProcessInfo> allProcesses() {
    std::vector<ProcessInfo> result;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        ProcessInfo info;
        if (!name.empty() && std::all_of(name.begin(), name.end(), ::isdigit) &&
            readStat(std::stoi(name), info))
            result.push_back(info);
    }
    return result;
}

bool alive(pid_t pid) {
    ProcessInfo info;
    return readStat(pid, info) && info.state != 'Z' && info.state != 'X';
}

// Appends what is available now; false at end of file.
bool drain(int fd, std::string& to) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return got < 0 && (errno == EAGAIN || errno == EINTR);
        to.append(buffer, static_cast<size_t>(got));
    }
}

} // namespace

::testing::AssertionResult waitUntil(const std::function<bool()>& condition, Milliseconds timeout,
                                     const std::string& description) {
    const auto start = Clock::now();
    while (!condition()) {
        if (Clock::now() >= start + timeout)
            return ::testing::AssertionFailure()
                   << "timed out after " << elapsedMs(start) << " ms waiting for " << description;
        std::this_thread::sleep_for(Milliseconds(50));
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult staysTrue(const std::function<bool()>& condition, Milliseconds duration,
                                     const std::string& description) {
    const auto start = Clock::now();
    if (!waitUntil([&] { return !condition(); }, duration, description))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "no longer true after " << elapsedMs(start) << " ms: " << description;
}

std::string CommandResult::describe() const {
    std::ostringstream text;
    text << (finished ? "exit status " + std::to_string(exitStatus) : "timed out");
    if (!output.empty())
        text << "\nstdout:\n" << output;
    if (!errors.empty())
        text << "\nstderr:\n" << errors;
    return text.str();
}

ChildProcess::ChildProcess(const SpawnOptions& options) {
    // Everything the child needs is prepared before fork: only async-signal-safe calls follow.
    std::vector<std::string> envText, argText = options.argv;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e, key = entry.substr(0, entry.find('='));
        if (!options.env.count(key) && std::find(options.unsetEnv.begin(), options.unsetEnv.end(),
                                                 key) == options.unsetEnv.end())
            envText.push_back(entry);
    }
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

    int out[2] = {-1, -1}, err[2] = {-1, -1};
    if (options.captureOutput && (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0))
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid_ == 0) {
        // If the harness dies without cleaning up, its direct children follow it; Ctrl-C in a
        // terminal reaches only the harness.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        ::setpgid(0, 0);
        ::dup2(::open("/dev/null", O_RDWR | O_CLOEXEC), 0);
        if (options.captureOutput) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
        }
        for (int fd : options.inheritFds)
            ::fcntl(fd, F_SETFD, 0);
        if (cwd.empty() || ::chdir(cwd.c_str()) == 0)
            ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ownedPids.insert(pid_);
    if (options.captureOutput) {
        ::close(out[1]);
        ::close(err[1]);
        stdoutFd_ = out[0];
        stderrFd_ = err[0];
        for (int fd : {stdoutFd_, stderrFd_})
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        release();
        pid_ = std::exchange(other.pid_, -1);
        status_ = std::exchange(other.status_, std::nullopt);
        stdoutFd_ = std::exchange(other.stdoutFd_, -1);
        stderrFd_ = std::exchange(other.stderrFd_, -1);
    }
    return *this;
}

void ChildProcess::release() {
    if (pid_ > 0) {
        end();
        ownedPids.erase(pid_);
    }
    closeFd(stdoutFd_);
    closeFd(stderrFd_);
    pid_ = -1;
}

bool ChildProcess::running() {
    if (pid_ <= 0 || status_)
        return false;
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_)
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    else if (done < 0 && errno == ECHILD)
        status_ = -1; // reaped elsewhere; the status is lost
    return !status_;
}

std::optional<int> ChildProcess::exitStatus() {
    running();
    return status_;
}

bool ChildProcess::waitForExit(Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (running()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(Milliseconds(10));
    }
    return true;
}

void ChildProcess::end(Milliseconds grace) {
    if (!running())
        return;
    ::kill(pid_, SIGTERM);
    if (!waitForExit(grace)) {
        ::kill(pid_, SIGKILL);
        waitForExit(Milliseconds(10000));
    }
}

CommandResult ChildProcess::collect(Milliseconds timeout) {
    CommandResult result;
    const auto deadline = Clock::now() + timeout;
    bool outOpen = true, errOpen = true;
    // Processes the child started may hold the pipes open after it ends: the child's end, with
    // what it wrote drained, is the end.
    for (bool more = true; more;) {
        pollfd fds[2] = {{stdoutFd_, POLLIN, 0}, {stderrFd_, POLLIN, 0}};
        ::poll(fds, 2, 10);
        more = running();
        outOpen = outOpen && drain(stdoutFd_, result.output);
        errOpen = errOpen && drain(stderrFd_, result.errors);
        if (more && Clock::now() >= deadline) {
            end(Milliseconds(500));
            result.exitStatus = status_.value_or(-1);
            return result;
        }
    }
    result.finished = true;
    result.exitStatus = status_.value_or(-1);
    return result;
}

CommandResult runCommand(SpawnOptions options, Milliseconds timeout) {
    options.captureOutput = true;
    return ChildProcess(options).collect(timeout);
}

void becomeSubreaper() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

std::vector<ProcessInfo> descendants() {
    const auto all = allProcesses();
    std::set<pid_t> tree = {::getpid()};
    std::vector<ProcessInfo> result;
    // Parents may have larger pids than their children after wrap-around: repeat until stable.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& info : all)
            if (!tree.count(info.pid) && tree.count(info.parent)) {
                tree.insert(info.pid);
                if (info.state != 'Z')
                    result.push_back(info);
                grew = true;
            }
    }
    return result;
}

void reapOrphans() {
    for (const auto& info : allProcesses())
        if (info.parent == ::getpid() && info.state == 'Z' && !ownedPids.count(info.pid))
            ::waitpid(info.pid, nullptr, WNOHANG);
}

void endProcesses(const std::vector<pid_t>& pids, Milliseconds grace) {
    auto anyAlive = [&] {
        reapOrphans();
        return std::any_of(pids.begin(), pids.end(), alive);
    };
    for (int signal : {SIGTERM, SIGKILL}) {
        for (pid_t pid : pids)
            if (alive(pid))
                ::kill(pid, signal);
        const auto deadline = Clock::now() + (signal == SIGTERM ? grace : Milliseconds(5000));
        while (anyAlive() && Clock::now() < deadline)
            std::this_thread::sleep_for(Milliseconds(20));
    }
}

void endAllDescendants() {
    for (int round = 0; round < 3; ++round) {
        std::vector<pid_t> pids;
        for (const auto& info : descendants())
            if (!ownedPids.count(info.pid))
                pids.push_back(info.pid);
        if (pids.empty())
            break;
        endProcesses(pids);
    }
    reapOrphans();
}

} // namespace zv::e2e
