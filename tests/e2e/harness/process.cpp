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

// Pids a ChildProcess waits for itself; reapOrphans leaves them alone so their status is kept.
std::set<pid_t>& ownedPids() {
    static std::set<pid_t> pids;
    return pids;
}

int decodeStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool readStat(pid_t pid, ProcessInfo& info) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    // "pid (comm) state ppid ...": comm may hold spaces and parentheses, so split at the last ')'.
    auto open = stat.find('(');
    auto close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 4 > stat.size())
        return false;
    info.pid = pid;
    info.command = stat.substr(open + 1, close - open - 1);
    std::istringstream rest(stat.substr(close + 2));
    rest >> info.state >> info.parent;
    std::string cmdline = readFile("/proc/" + std::to_string(pid) + "/cmdline");
    while (!cmdline.empty() && cmdline.back() == '\0')
        cmdline.pop_back();
    std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
    info.cmdline = cmdline;
    return true;
}

std::vector<ProcessInfo> allProcesses() {
    std::vector<ProcessInfo> result;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit))
            continue;
        ProcessInfo info;
        if (readStat(static_cast<pid_t>(std::stoi(name)), info))
            result.push_back(info);
    }
    return result;
}

bool alive(pid_t pid) {
    ProcessInfo info;
    return readStat(pid, info) && info.state != 'Z' && info.state != 'X';
}

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Appends what is available now; false at end of file.
bool drain(int fd, std::string& to) {
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            to.append(buffer, static_cast<size_t>(got));
            continue;
        }
        if (got == 0)
            return false;
        return errno == EAGAIN || errno == EINTR;
    }
}

} // namespace

std::string CommandResult::describe() const {
    std::ostringstream text;
    if (finished)
        text << "exit status " << exitStatus;
    else
        text << "timed out";
    if (!output.empty())
        text << "\nstdout:\n" << output;
    if (!errors.empty())
        text << "\nstderr:\n" << errors;
    return text.str();
}

ChildProcess::ChildProcess(const SpawnOptions& options) {
    if (options.argv.empty())
        throw std::invalid_argument("ChildProcess: empty argv");
    name_ = options.argv[0];

    // Everything the child needs is prepared before fork: only async-signal-safe calls follow.
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string key = entry.substr(0, entry.find('='));
        if (options.env.count(key) ||
            std::count(options.unsetEnv.begin(), options.unsetEnv.end(), key))
            continue;
        envText.push_back(entry);
    }
    for (const auto& [key, value] : options.env)
        envText.push_back(key + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : envText)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> argText = options.argv;
    std::vector<char*> argv;
    for (auto& arg : argText)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string cwd = options.cwd.string();

    int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
    if ((options.stdinPipe && ::pipe2(inPipe, O_CLOEXEC) != 0) ||
        (options.captureOutput &&
         (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)))
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    const pid_t parent = ::getpid();

    pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        // If the harness dies without cleaning up, its direct children follow it.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        // Ctrl-C in a terminal reaches only the harness; its children follow by the signal above.
        ::setpgid(0, 0);
        int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        ::dup2(options.stdinPipe ? inPipe[0] : devNull, 0);
        if (options.captureOutput) {
            ::dup2(outPipe[1], 1);
            ::dup2(errPipe[1], 2);
        }
        for (int fd : options.inheritFds)
            ::fcntl(fd, F_SETFD, 0);
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
            ::_exit(127);
        ::execvpe(argv[0], argv.data(), envp.data());
        const char message[] = "exec failed\n";
        [[maybe_unused]] auto ignored = ::write(2, message, sizeof message - 1);
        ::_exit(127);
    }
    pid_ = pid;
    ownedPids().insert(pid);
    if (options.stdinPipe) {
        ::close(inPipe[0]);
        stdinFd_ = inPipe[1];
    }
    if (options.captureOutput) {
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        stdoutFd_ = outPipe[0];
        stderrFd_ = errPipe[0];
        setNonBlocking(stdoutFd_);
        setNonBlocking(stderrFd_);
    }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept {
    *this = std::move(other);
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        release();
        pid_ = std::exchange(other.pid_, -1);
        name_ = std::move(other.name_);
        status_ = std::exchange(other.status_, std::nullopt);
        stdinFd_ = std::exchange(other.stdinFd_, -1);
        stdoutFd_ = std::exchange(other.stdoutFd_, -1);
        stderrFd_ = std::exchange(other.stderrFd_, -1);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    release();
}

void ChildProcess::release() {
    if (pid_ > 0 && running())
        end();
    if (pid_ > 0)
        ownedPids().erase(pid_);
    closeFd(stdinFd_);
    closeFd(stdoutFd_);
    closeFd(stderrFd_);
    pid_ = -1;
}

bool ChildProcess::running() {
    if (pid_ <= 0 || status_)
        return false;
    int status = 0;
    pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        status_ = decodeStatus(status);
        return false;
    }
    if (done < 0 && errno == ECHILD) {
        status_ = -1; // reaped elsewhere; the status is lost
        return false;
    }
    return true;
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
    if (waitForExit(grace))
        return;
    ::kill(pid_, SIGKILL);
    waitForExit(Milliseconds(10000));
}

void ChildProcess::closeInput() {
    closeFd(stdinFd_);
}

CommandResult ChildProcess::collect(Milliseconds timeout) {
    CommandResult result;
    const auto deadline = Clock::now() + timeout;
    bool outOpen = stdoutFd_ >= 0, errOpen = stderrFd_ >= 0;
    for (;;) {
        pollfd fds[2] = {{stdoutFd_, POLLIN, 0}, {stderrFd_, POLLIN, 0}};
        ::poll(fds, 2, 10);
        if (outOpen)
            outOpen = drain(stdoutFd_, result.output);
        if (errOpen)
            errOpen = drain(stderrFd_, result.errors);
        // Processes the child started may hold the pipes open after it ends: the child's end,
        // with what it wrote drained, is the end.
        if (!running()) {
            if (outOpen)
                drain(stdoutFd_, result.output);
            if (errOpen)
                drain(stderrFd_, result.errors);
            break;
        }
        if (Clock::now() >= deadline) {
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
    ChildProcess child(options);
    return child.collect(timeout);
}

void becomeSubreaper() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

std::vector<ProcessInfo> descendants() {
    auto all = allProcesses();
    std::set<pid_t> tree = {::getpid()};
    std::vector<ProcessInfo> result;
    // Parents may have larger pids than their children after wrap-around: repeat until stable.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& info : all) {
            if (!tree.count(info.pid) && tree.count(info.parent)) {
                tree.insert(info.pid);
                result.push_back(info);
                grew = true;
            }
        }
    }
    result.erase(std::remove_if(result.begin(), result.end(),
                                [](const ProcessInfo& p) { return p.state == 'Z'; }),
                 result.end());
    return result;
}

std::vector<ProcessInfo> processesWithEnv(const std::string& name, const std::string& value) {
    const std::string wanted = name + "=" + value;
    std::vector<ProcessInfo> result;
    for (const auto& info : allProcesses()) {
        if (info.pid == ::getpid() || info.state == 'Z')
            continue;
        std::string env = readFile("/proc/" + std::to_string(info.pid) + "/environ");
        std::istringstream entries(env);
        for (std::string entry; std::getline(entries, entry, '\0');) {
            if (entry == wanted) {
                result.push_back(info);
                break;
            }
        }
    }
    return result;
}

void reapOrphans() {
    for (const auto& info : allProcesses()) {
        if (info.parent == ::getpid() && info.state == 'Z' && !ownedPids().count(info.pid))
            ::waitpid(info.pid, nullptr, WNOHANG);
    }
}

void endProcesses(const std::vector<pid_t>& pids, Milliseconds grace) {
    for (pid_t pid : pids)
        ::kill(pid, SIGTERM);
    auto anyAlive = [&] {
        reapOrphans();
        return std::any_of(pids.begin(), pids.end(), alive);
    };
    const auto deadline = Clock::now() + grace;
    while (anyAlive() && Clock::now() < deadline)
        std::this_thread::sleep_for(Milliseconds(20));
    for (pid_t pid : pids)
        if (alive(pid))
            ::kill(pid, SIGKILL);
    const auto lastDeadline = Clock::now() + Milliseconds(5000);
    while (anyAlive() && Clock::now() < lastDeadline)
        std::this_thread::sleep_for(Milliseconds(20));
}

void endAllDescendants(Milliseconds grace) {
    for (int round = 0; round < 3; ++round) {
        std::vector<pid_t> pids;
        for (const auto& info : descendants())
            if (!ownedPids().count(info.pid))
                pids.push_back(info.pid);
        if (pids.empty())
            break;
        endProcesses(pids, grace);
    }
    reapOrphans();
}

} // namespace zv::e2e
