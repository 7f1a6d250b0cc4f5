// One Wine session for a whole test run: its own Xvfb, a reused wineprefix whose default desktop
// is a 1024x768 virtual desktop, its own persistent wineserver, and probe.exe to look at the
// desktop. Everything it starts it ends by pid when it goes.
#pragma once

#include "probe_report.h"
#include "process.h"
#include "x_screen.h"

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace zv::e2e {

class Session {
  public:
    // The prefix is `prefix`, or workDir/prefix when that is empty; a second concurrent run
    // takes prefix-2, and so on.
    Session(std::filesystem::path workDir, std::filesystem::path prefix,
            std::filesystem::path probeExe);
    ~Session();

    XScreen& screen() { return *screen_; }
    const std::string& display() const { return screen_->display(); }
    // Where this run keeps program folders: tied to the prefix's lock, so concurrent runs in
    // one build folder do not share them.
    const std::filesystem::path& runsDir() const { return runsDir_; }
    // A folder the session's programs see as drive Y: (the folder browser offers it).
    const std::filesystem::path& scratchDrive() const { return scratchDrive_; }

    // Starts `wine ARGS...` in the session and returns at once.
    ChildProcess startWine(const std::vector<std::string>& args,
                           const std::filesystem::path& cwd = {}) const;
    // Runs `wine ARGS...` to its end, capturing its output.
    CommandResult runWine(const std::vector<std::string>& args,
                          Milliseconds timeout = Milliseconds(60000)) const;
    // The display scale programs started from now on see (Wine's LogPixels).
    void setDisplayDpi(int dpi) const;

    // probe.exe: every top-level window (or only EXE's) with its controls.
    WindowReport windows(const std::string& exe = {}) const;
    std::vector<ResourceCounts> resources(const std::string& exe) const;
    // Whether each process running EXE waits for input, waiting up to `wait` for it.
    std::vector<IdleResult> idle(const std::string& exe, Milliseconds wait) const;
    // Sends a window the question Windows asks at log-off, not waiting for its reply.
    void queryEndSession(Hwnd window) const;

    // Processes below the harness now (Wine's own services included).
    std::set<pid_t> processSnapshot() const;
    // Ends processes started since `before` that are not Wine's own services; returns what it
    // ended ("pid command" each).
    std::vector<std::string> endProcessesSince(const std::set<pid_t>& before) const;

    void log(const std::string& line) const;

  private:
    SpawnOptions wineCommand(const std::vector<std::string>& args,
                             const std::filesystem::path& cwd) const;
    std::string probe(const std::vector<std::string>& args) const;
    void lockPrefix();
    bool prefixReady() const;
    void createPrefix();
    void startServer();
    void stopServer();
    void shutdown();

    std::filesystem::path workDir_, prefix_, probeExe_, runsDir_, scratchDrive_;
    int lockFd_ = -1;
    std::unique_ptr<XScreen> screen_;
    ChildProcess server_, desktopHolder_;
};

} // namespace zv::e2e
