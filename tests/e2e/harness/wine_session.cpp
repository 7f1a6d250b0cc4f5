#include "wine_session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>

namespace zv::e2e {

namespace fs = std::filesystem;

namespace {

// Marks a prefix whose creation and desktop settings finished; without it the prefix is redone.
constexpr const char* readyMarker = ".zv-e2e-ready";
constexpr const char* desktopSize = "1024x768";

// Processes Wine starts for itself; they serve every test and are ended only with the session.
bool isWineService(const ProcessInfo& p) {
    for (const char* name : {"services.exe", "winedevice.exe", "plugplay.exe", "svchost.exe",
                             "rpcss.exe", "conhost.exe", "wineboot.exe", "winemenubuilder"})
        if (p.command == name)
            return true;
    return p.command == "explorer.exe" && p.cmdline.find("/desktop") != std::string::npos;
}

void check(const CommandResult& r, const std::string& what) {
    if (!r.finished || r.exitStatus != 0)
        throw std::runtime_error(what + " failed: " + r.describe());
}

} // namespace

Session::Session(fs::path workDir, fs::path prefix, fs::path probeExe)
    : workDir_(fs::absolute(workDir)),
      prefix_(prefix.empty() ? workDir_ / "prefix" : fs::absolute(prefix)),
      probeExe_(std::move(probeExe)) {
    fs::create_directories(workDir_);
    if (!fs::exists(probeExe_))
        throw std::runtime_error(probeExe_.string() + " not found (build the Windows tree first)");
    becomeSubreaper();
    // A caller's own Wine settings must not redirect the session's processes.
    for (const char* name : {"WINESERVER", "WINELOADER", "WINEARCH"})
        ::unsetenv(name);
    try {
        screen_ = std::make_unique<XScreen>(1024, 768);
        log("Xvfb on " + screen_->display());
        lockPrefix();
        if (!prefixReady())
            createPrefix();
        // Wine's mount manager reads the drive letters once, as it starts: map Y: before that.
        scratchDrive_ = runsDir_ / "drive-y";
        fs::create_directories(scratchDrive_);
        const fs::path link = prefix_ / "dosdevices" / "y:";
        std::error_code ec;
        fs::remove(link, ec);
        fs::create_directory_symlink(scratchDrive_, link);
        startServer();
        // One desktop (and X window) for the whole run, kept by a process that stays on it.
        desktopHolder_ = startWine({probeExe_.string(), "hold"});
        auto shown = waitUntil([&] { return screen_->desktopWindow() != 0; }, Milliseconds(60000),
                               "the Wine desktop window on " + screen_->display());
        if (!shown)
            throw std::runtime_error(shown.message());
    } catch (...) {
        shutdown();
        throw;
    }
}

void Session::shutdown() {
    desktopHolder_ = ChildProcess();
    stopServer();
    // Whatever else is left below us; Xvfb (owned by the screen) goes last.
    endProcessesBut([](const ProcessInfo&) { return false; });
    screen_.reset();
    if (lockFd_ >= 0)
        ::close(std::exchange(lockFd_, -1));
}

SpawnOptions Session::wineCommand(const std::vector<std::string>& args, const fs::path& cwd,
                                  const std::map<std::string, std::string>& env) const {
    SpawnOptions options{{"wine"}, env, cwd.empty() ? workDir_ : cwd};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    // No dialog offering Wine's .NET and HTML engines; LC_ALL: one ANSI code page everywhere
    // unless `env` names another (insert keeps what is there).
    options.env.insert({{"WINEPREFIX", prefix_.string()},
                        {"DISPLAY", screen_->display()},
                        {"WINEDEBUG", "-all"},
                        {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                        {"LC_ALL", "C.UTF-8"}});
    return options;
}

// Wine now and then (more often on a loaded machine) ends a process with status 1 before it did
// anything; a command that may be repeated without harm is run again, twice at most.
std::string Session::runWineRepeatable(const std::vector<std::string>& args,
                                       const std::string& what) const {
    CommandResult result = runWine(args, Milliseconds(30000));
    for (int retry = 0; retry < 2 && result.finished && result.exitStatus != 0; ++retry) {
        log(what + " failed (" + result.describe() + "), running it again");
        result = runWine(args, Milliseconds(30000));
    }
    check(result, what);
    return result.output;
}

std::string Session::probe(const std::vector<std::string>& args) const {
    std::vector<std::string> command = {probeExe_.string()};
    command.insert(command.end(), args.begin(), args.end());
    return runWineRepeatable(command, "probe " + args.front());
}

void Session::setDisplayDpi(int dpi) const {
    runWineRepeatable({"reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                       "REG_DWORD", "/d", std::to_string(dpi), "/f"},
                      "setting LogPixels");
}

std::vector<std::string> Session::endProcessesSince(const std::set<pid_t>& before) const {
    return endProcessesBut([&](const ProcessInfo& p) {
        return before.count(p.pid) || isWineService(p) || p.pid == server_.pid() ||
               p.pid == desktopHolder_.pid();
    });
}

// Ends the processes below the harness but Xvfb and the `kept`; returns "pid command" of each.
std::vector<std::string>
Session::endProcessesBut(const std::function<bool(const ProcessInfo&)>& kept) const {
    std::vector<pid_t> pids;
    std::vector<std::string> ended;
    for (const auto& p : descendants())
        if (!kept(p) && (!screen_ || p.pid != screen_->serverPid())) {
            pids.push_back(p.pid);
            ended.push_back(std::to_string(p.pid) + " " + p.command);
        }
    endProcesses(pids);
    return ended;
}

void Session::lockPrefix() {
    const fs::path base = prefix_;
    for (int n = 1; n <= 16; ++n) {
        const std::string suffix = n == 1 ? "" : "-" + std::to_string(n);
        const fs::path candidate = base.string() + suffix;
        fs::create_directories(candidate.parent_path());
        const std::string lockPath = candidate.string() + ".lock";
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            throw std::runtime_error("cannot open " + lockPath);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lockFd_ = fd;
            prefix_ = candidate;
            runsDir_ = workDir_ / ("runs" + suffix);
            return;
        }
        ::close(fd);
    }
    throw std::runtime_error("every wineprefix beside " + base.string() + " is in use");
}

bool Session::prefixReady() const {
    const std::string user = readFile(prefix_ / "user.reg");
    return fs::exists(prefix_ / readyMarker) && fs::exists(prefix_ / "system.reg") &&
           user.find("[Software\\\\Wine\\\\Explorer\\\\Desktops]") != std::string::npos &&
           user.find("\"Default\"=\"" + std::string(desktopSize) + "\"") != std::string::npos;
}

void Session::createPrefix() {
    log("creating wineprefix " + prefix_.string());
    // Only an unfinished prefix is replaced, never a folder that is something else.
    if (fs::exists(prefix_) && !fs::is_empty(prefix_) && !fs::exists(prefix_ / "system.reg") &&
        !fs::exists(prefix_ / "dosdevices"))
        throw std::runtime_error(prefix_.string() + " is not a wineprefix; not replacing it");
    fs::remove_all(prefix_);
    startServer();
    check(runWine({"wineboot", "--init"}, Milliseconds(180000)), "wineboot --init");
    // A virtual default desktop, which every process of the prefix shares, the probe included.
    for (const auto& [key, name, value] :
         {std::array<std::string, 3>{"HKCU\\Software\\Wine\\Explorer", "Desktop", "Default"},
          {"HKCU\\Software\\Wine\\Explorer\\Desktops", "Default", desktopSize}})
        check(runWine({"reg", "add", key, "/v", name, "/d", value, "/f"}), "reg add " + key);
    // Ending the server writes the registry to disk; only then is the prefix complete.
    stopServer();
    std::ofstream(prefix_ / readyMarker) << "created by the e2e harness\n";
    if (!prefixReady())
        throw std::runtime_error("the new wineprefix lacks the virtual desktop settings");
    log("wineprefix ready");
}

void Session::startServer() {
    fs::create_directories(prefix_);
    // Foreground and persistent: our own child, ended by pid when the session ends.
    SpawnOptions options = wineCommand({}, {});
    options.argv = {"wineserver", "-f", "-p"};
    server_ = ChildProcess(options);
    // A client before the server listens starts its own server; the socket is in the server's cwd.
    const fs::path cwd = "/proc/" + std::to_string(server_.pid()) + "/cwd";
    auto ready = waitUntil(
        [&] {
            std::error_code ec;
            return !server_.running() || fs::exists(fs::read_symlink(cwd, ec) / "socket");
        },
        Milliseconds(15000), "the wineserver's socket");
    if (!server_.running())
        throw std::runtime_error("wineserver ended at once; is another one running for " +
                                 prefix_.string() + "?");
    if (!ready)
        log("wineserver socket not found; going on, clients will connect when it listens");
}

void Session::stopServer() {
    if (server_.pid() <= 0)
        return;
    // Wine's own processes first: they do not notice a server that is gone.
    endProcessesBut([&](const ProcessInfo& p) { return p.pid == server_.pid(); });
    server_.end(Milliseconds(5000)); // SIGTERM: the server saves the registry and ends
    server_ = ChildProcess();
}

} // namespace zv::e2e
