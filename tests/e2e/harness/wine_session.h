// One Wine session for a whole test run: its own Xvfb, a reused wineprefix with a 1024x768
// virtual desktop, its own wineserver, and probe.exe. It ends everything it starts by pid.
#pragma once

#include "probe_report.h"
#include "process.h"
#include "x_screen.h"

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace zv::e2e {

namespace fs = std::filesystem;

class Session {
  public:
    // The prefix is `prefix` or workDir/prefix; a second concurrent run takes prefix-2, and so on.
    Session(fs::path workDir, fs::path prefix, fs::path probeExe);
    ~Session() { shutdown(); }

    XScreen& screen() { return *screen_; }
    const std::string& display() const { return screen_->display(); } // the benchmark's own X link
    // Program folders, tied to the prefix's lock so that concurrent runs do not share them.
    const fs::path& runsDir() const { return runsDir_; }
    // A folder the session's programs see as drive Y: (the folder browser offers it).
    const fs::path& scratchDrive() const { return scratchDrive_; }

    // `wine ARGS...`, started or run to its end; `env` goes on top (LC_ALL picks the code page).
    ChildProcess startWine(const std::vector<std::string>& args, const fs::path& cwd = {},
                           const std::map<std::string, std::string>& env = {}) const {
        return ChildProcess(wineCommand(args, cwd, env));
    }
    CommandResult runWine(const std::vector<std::string>& args,
                          Milliseconds timeout = Milliseconds(60000)) const {
        return runCommand(wineCommand(args, {}), timeout);
    }
    // The display scale programs started from now on see (Wine's LogPixels).
    void setDisplayDpi(int dpi) const;

    // probe.exe: every top-level window (or only EXE's) with its controls.
    WindowReport windows(const std::string& exe = {}) const {
        return parseWindowReport(probe({"windows", exe}));
    }
    std::vector<ResourceCounts> resources(const std::string& exe) const {
        return parseResourceReport(probe({"resources", exe}));
    }
    // What a window's accessible object answers a screen reader in another process.
    AccessibleReport accessible(Hwnd window) const {
        return parseAccessibleReport(probe({"accessible", std::to_string(window)}));
    }
    // Records screen readers' events of EXE into `file` until `file`.stop exists or time is up.
    ChildProcess recordEvents(const std::string& exe, const std::string& file, int seconds) const {
        return startWine({probeExe_.string(), "events", exe, file, std::to_string(seconds)});
    }
    // Whether each process running EXE waits for input, waiting up to `wait` for it.
    std::vector<IdleResult> idle(const std::string& exe, Milliseconds wait) const {
        return parseIdleReport(probe({"idle", exe, std::to_string(wait.count())}));
    }
    // A shell shortcut at `link` (a Windows path) to `target`, made by the shell itself.
    void makeShortcut(const std::string& link, const std::string& target) const {
        probe({"link", link, target});
    }
    // Pastes through the clipboard, as Ctrl+V would: XTest types only what the keymap holds.
    void paste(Hwnd control, const std::string& utf8) const {
        probe({"paste", std::to_string(control), utf8});
    }
    // The text as DrawTextW draws it at 96 DPI: a mask of its ink ('#'), one line per pixel row.
    std::string drawnText(const std::string& face, int points, const std::string& text) const {
        return probe({"text", face, std::to_string(points), text});
    }
    // Sends a window the question Windows asks at log-off, not waiting for its reply.
    void queryEndSession(Hwnd window) const {
        probe({"query-end-session", std::to_string(window)});
    }

    // Ends processes started since `before`, but Wine's services; returns "pid command" of each.
    std::vector<std::string> endProcessesSince(const std::set<pid_t>& before) const;

    void log(const std::string& line) const { std::cerr << "[e2e] " << line << std::endl; }

  private:
    SpawnOptions wineCommand(const std::vector<std::string>& args, const fs::path& cwd,
                             const std::map<std::string, std::string>& env = {}) const;
    std::string probe(const std::vector<std::string>& args) const;
    std::string runWineRepeatable(const std::vector<std::string>& args,
                                  const std::string& what) const;
    std::vector<std::string>
    endProcessesBut(const std::function<bool(const ProcessInfo&)>& kept) const;
    void lockPrefix();
    bool prefixReady() const;
    void createPrefix();
    void startServer();
    void stopServer();
    void shutdown();

    fs::path workDir_, prefix_, probeExe_, runsDir_, scratchDrive_;
    int lockFd_ = -1;
    std::unique_ptr<XScreen> screen_;
    ChildProcess server_, desktopHolder_;
};

} // namespace zv::e2e
