#include "wine_session.h"

#include "wait.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace zv::e2e {

namespace fs = std::filesystem;

namespace {

// Marks a prefix whose creation and desktop settings finished; without it the prefix is redone.
constexpr const char* readyMarker = ".zv-e2e-ready";

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Processes Wine starts for itself; they serve every test and are ended only with the session.
bool isWineService(const ProcessInfo& p) {
    static const char* const services[] = {"services.exe", "winedevice.exe", "plugplay.exe",
                                           "svchost.exe",  "rpcss.exe",      "conhost.exe",
                                           "wineboot.exe", "winemenubuilder"};
    for (const char* name : services)
        if (p.command == name)
            return true;
    return p.command == "explorer.exe" && p.cmdline.find("/desktop") != std::string::npos;
}

} // namespace

Session::Session(SessionOptions options) : options_(std::move(options)) {
    if (options_.workDir.empty())
        throw std::invalid_argument("Session needs a work folder");
    options_.workDir = fs::absolute(options_.workDir);
    fs::create_directories(options_.workDir);
    prefix_ = options_.prefix.empty() ? options_.workDir / "prefix" : fs::absolute(options_.prefix);
    if (!fs::exists(options_.probeExe))
        throw std::runtime_error("probe.exe not found at " + options_.probeExe.string() +
                                 " (build the Windows tree first)");
    becomeSubreaper();
    try {
        screen_ = std::make_unique<XScreen>(options_.width, options_.height);
        log("Xvfb on " + screen_->display());
        lockPrefix();
        endLeftovers();
        if (!prefixReady())
            createPrefix();
        mapScratchDrive();
        startServer();
        startDesktop();
    } catch (...) {
        shutdown();
        throw;
    }
}

Session::~Session() {
    shutdown();
}

// Wine's mount manager reads the drive letters when it starts and then keeps them, so the
// scratch drive is mapped before any Wine process of the session runs.
void Session::mapScratchDrive() {
    scratchDrive_ = runsDir_ / "drive-y";
    fs::create_directories(scratchDrive_);
    const fs::path link = prefix_ / "dosdevices" / "y:";
    std::error_code ec;
    if (fs::read_symlink(link, ec) != scratchDrive_) {
        fs::remove(link, ec);
        fs::create_directory_symlink(scratchDrive_, link);
    }
}

void Session::shutdown() {
    if (desktopHolder_.started()) {
        desktopHolder_.closeInput();
        if (!desktopHolder_.waitForExit(Milliseconds(3000)))
            desktopHolder_.end();
        desktopHolder_ = ChildProcess();
    }
    stopServer();
    // Whatever else is left below us; Xvfb (owned by the screen) goes last.
    endAllDescendants(Milliseconds(2000));
    screen_.reset();
    reapOrphans();
    if (lockFd_ >= 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

void Session::log(const std::string& line) const {
    if (options_.verbose)
        std::cerr << "[e2e] " << line << std::endl;
}

std::map<std::string, std::string> Session::wineEnvironment() const {
    return {
        {"WINEPREFIX", prefix_.string()},
        {"DISPLAY", screen_->display()},
        {"WINEDEBUG", "-all"},
        // Wine would offer to download its .NET and HTML engines into a new prefix in a dialog
        // that waits for an answer; the program needs neither.
        {"WINEDLLOVERRIDES", "mscoree,mshtml="},
        // The same ANSI code page on every machine.
        {"LC_ALL", "C.UTF-8"},
    };
}

SpawnOptions Session::wineCommand(const std::vector<std::string>& args, const fs::path& cwd) const {
    SpawnOptions options;
    options.argv = {"wine"};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    options.env = wineEnvironment();
    // A caller's own Wine settings must not redirect the session's processes.
    options.unsetEnv = {"WINESERVER", "WINELOADER", "WINEARCH"};
    options.cwd = cwd.empty() ? options_.workDir : cwd;
    return options;
}

ChildProcess Session::startWine(const std::vector<std::string>& args, const fs::path& cwd) const {
    return ChildProcess(wineCommand(args, cwd));
}

CommandResult Session::runWine(const std::vector<std::string>& args, Milliseconds timeout) const {
    return runCommand(wineCommand(args, {}), timeout);
}

void Session::setDisplayDpi(int dpi) const {
    const CommandResult r =
        runWine({"reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                 "/d", std::to_string(dpi), "/f"});
    if (!r.finished || r.exitStatus != 0)
        throw std::runtime_error("setting LogPixels: " + r.describe());
}

std::string Session::probe(const std::vector<std::string>& args) const {
    std::vector<std::string> command = {options_.probeExe.string()};
    command.insert(command.end(), args.begin(), args.end());
    CommandResult result = runWine(command, Milliseconds(30000));
    // A window that goes while the probe walks the desktop can, now and then, make the probe
    // process end with a failure under Wine; a report is a snapshot, so it is taken again.
    for (int retry = 0; retry < 2 && result.finished && result.exitStatus != 0; ++retry) {
        log("probe failed (" + result.describe() + "), asking again");
        result = runWine(command, Milliseconds(30000));
    }
    if (!result.finished || result.exitStatus != 0) {
        std::string joined;
        for (const auto& a : args)
            joined += " " + a;
        throw ProbeError("probe" + joined + " failed: " + result.describe());
    }
    return result.output;
}

WindowReport Session::windows(const std::string& exe) const {
    return parseWindowReport(probe(exe.empty() ? std::vector<std::string>{"windows"}
                                               : std::vector<std::string>{"windows", exe}));
}

std::vector<ProcessEntry> Session::processes() const {
    return parseProcessReport(probe({"processes"}));
}

std::vector<ResourceCounts> Session::resources(const std::string& exe) const {
    return parseResourceReport(probe({"resources", exe}));
}

std::vector<IdleState> Session::idle(const std::string& exe, Milliseconds wait) const {
    return parseIdleReport(probe({"idle", exe, std::to_string(wait.count())}));
}

void Session::queryEndSession(Hwnd window) const {
    probe({"query-end-session", std::to_string(window)});
}

std::set<pid_t> Session::processSnapshot() const {
    std::set<pid_t> pids;
    for (const auto& p : descendants())
        pids.insert(p.pid);
    return pids;
}

std::vector<std::string> Session::endProcessesSince(const std::set<pid_t>& before) const {
    std::vector<pid_t> pids;
    std::vector<std::string> ended;
    for (const auto& p : descendants()) {
        if (before.count(p.pid) || isWineService(p) || p.pid == server_.pid() ||
            p.pid == screen_->serverPid() || p.pid == desktopHolder_.pid())
            continue;
        pids.push_back(p.pid);
        ended.push_back(std::to_string(p.pid) + " " + p.command);
    }
    if (!pids.empty())
        endProcesses(pids);
    return ended;
}

// One run per prefix at a time: a second concurrent run takes the next prefix ("prefix-2", ...).
void Session::lockPrefix() {
    const fs::path base = prefix_;
    for (int n = 1; n <= 16; ++n) {
        fs::path candidate = n == 1 ? base : fs::path(base.string() + "-" + std::to_string(n));
        fs::create_directories(candidate.parent_path());
        const std::string lockPath = candidate.string() + ".lock";
        int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            throw std::runtime_error("cannot open " + lockPath);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lockFd_ = fd;
            prefix_ = candidate;
            runsDir_ = options_.workDir / (n == 1 ? "runs" : "runs-" + std::to_string(n));
            return;
        }
        ::close(fd);
    }
    throw std::runtime_error("every wineprefix beside " + base.string() + " is in use");
}

// Wine processes of this prefix can only be left from an earlier run that was killed (we hold
// the prefix's lock): end them, by pid, before they confuse this run.
void Session::endLeftovers() const {
    auto left = processesWithEnv("WINEPREFIX", prefix_.string());
    if (left.empty())
        return;
    std::vector<pid_t> pids;
    std::string names;
    for (const auto& p : left) {
        pids.push_back(p.pid);
        names += " " + std::to_string(p.pid) + ":" + p.command;
    }
    log("ending processes left in " + prefix_.string() + " by an earlier run:" + names);
    endProcesses(pids);
}

bool Session::prefixReady() const {
    if (!fs::exists(prefix_ / readyMarker) || !fs::exists(prefix_ / "system.reg"))
        return false;
    const std::string user = readText(prefix_ / "user.reg");
    return user.find("[Software\\\\Wine\\\\Explorer\\\\Desktops]") != std::string::npos &&
           user.find("\"Default\"=\"" + std::to_string(options_.width) + "x" +
                     std::to_string(options_.height) + "\"") != std::string::npos;
}

void Session::createPrefix() {
    const auto started = std::chrono::steady_clock::now();
    log("creating wineprefix " + prefix_.string());
    // Only an unfinished prefix is replaced, never a folder that is something else.
    if (fs::exists(prefix_) && !fs::is_empty(prefix_) && !fs::exists(prefix_ / "system.reg") &&
        !fs::exists(prefix_ / "dosdevices"))
        throw std::runtime_error(prefix_.string() + " is not a wineprefix; not replacing it");
    fs::remove_all(prefix_);
    startServer();
    auto check = [](const CommandResult& r, const std::string& what) {
        if (!r.finished || r.exitStatus != 0)
            throw std::runtime_error(what + " failed: " + r.describe());
    };
    check(runWine({"wineboot", "--init"}, Milliseconds(180000)), "wineboot --init");
    // The default desktop becomes a virtual desktop, as "Emulate a virtual desktop" does: every
    // process of the prefix then shares it, the probe included.
    check(runWine({"reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", "Default",
                   "/f"}),
          "reg add Desktop");
    check(runWine({"reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d",
                   std::to_string(options_.width) + "x" + std::to_string(options_.height), "/f"}),
          "reg add Desktops");
    // Ending the server writes the registry to disk; only then is the prefix complete.
    stopServer();
    std::ofstream(prefix_ / readyMarker) << "created by the e2e harness\n";
    if (!prefixReady())
        throw std::runtime_error("the new wineprefix lacks the virtual desktop settings");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
    log("wineprefix ready after " + std::to_string(seconds.count()) + " s");
}

void Session::startServer() {
    fs::create_directories(prefix_);
    SpawnOptions options;
    // Foreground and persistent: our own child, ended by pid when the session ends.
    options.argv = {"wineserver", "-f", "-p"};
    options.env = wineEnvironment();
    options.cwd = options_.workDir;
    server_ = ChildProcess(options);

    // Wine clients find the server through a socket named after the prefix's device and inode,
    // under /tmp/.wine-UID or, with Debian's wine, under the folder the prefix's "wineserver"
    // file names.
    struct stat info {};
    if (::stat(prefix_.c_str(), &info) != 0)
        throw std::runtime_error("cannot stat " + prefix_.string());
    char serverDir[64];
    std::snprintf(serverDir, sizeof serverDir, "server-%llx-%llx",
                  static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    auto socketExists = [&] {
        std::vector<fs::path> roots = {fs::path("/tmp") / (".wine-" + std::to_string(::getuid()))};
        std::string named = readText(prefix_ / "wineserver");
        named.erase(std::remove_if(named.begin(), named.end(), ::isspace), named.end());
        if (!named.empty() && named.find('/') == std::string::npos)
            roots.push_back(fs::path("/tmp") / named);
        for (const auto& root : roots)
            if (fs::exists(root / serverDir / "socket"))
                return true;
        return false;
    };
    auto ready = waitUntil([&] { return socketExists() || !server_.running(); },
                           Milliseconds(15000), "the wineserver's socket");
    if (!server_.running())
        throw std::runtime_error("wineserver ended at once (status " +
                                 std::to_string(server_.exitStatus().value_or(-1)) +
                                 "); is another one running for " + prefix_.string() + "?");
    if (!ready)
        log("wineserver socket not found; going on, clients will connect when it listens");
}

void Session::stopServer() {
    if (!server_.started())
        return;
    // Wine's own processes first: they do not notice a server that is gone.
    std::vector<pid_t> clients;
    for (const auto& p : descendants())
        if (p.pid != server_.pid() && (!screen_ || p.pid != screen_->serverPid()))
            clients.push_back(p.pid);
    if (!clients.empty())
        endProcesses(clients);
    server_.end(Milliseconds(5000)); // SIGTERM: the server saves the registry and ends
    server_ = ChildProcess();
    reapOrphans();
}

// One desktop for the whole run: a process that stays on it keeps its X window and its process
// alive between program starts instead of one desktop per start.
void Session::startDesktop() {
    SpawnOptions options = wineCommand({options_.probeExe.string(), "hold"}, {});
    options.stdinPipe = true;
    desktopHolder_ = ChildProcess(options);
    auto shown = waitUntil([&] { return screen_->desktopWindow() != 0; }, Milliseconds(60000),
                           "the Wine desktop window on " + screen_->display());
    if (!shown)
        throw std::runtime_error(shown.message());
    log("Wine desktop shown at " + std::to_string(screen_->desktopOrigin().x) + "," +
        std::to_string(screen_->desktopOrigin().y));
}

} // namespace zv::e2e
