// One measured run of a program under Wine: its start, a click on its trigger, keys in its menus
// and its memory, timed by watching the screen's pixels. Each program folder is prepared once and
// used by every run; a warm-up run of each records the pictures the measured runs wait for.
#pragma once

#include "wine/pixel_watch.h"

#include "wine_session.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zv::bench {

namespace fs = std::filesystem;

struct BenchFiles {
    fs::path zelvoraExe;
    fs::path baselineExe;
    fs::path memoryProbeExe;
    fs::path defaultFolder; // resources/default
};

enum class Setup {
    Baseline,    // the bare Win32 program
    Default,     // zelvora.exe with the default program folder
    Icons300,    // the default menu with a catalogue of 300 icons
    Full,        // the full store: 101 entries, 51 rows in the root, 300 catalogue icons
    Baseline144, // the bare program with the display at 144 DPI
    Default144,  // the default program folder with the display at 144 DPI
};

// The display scale a setup runs at.
int setupDpi(Setup setup);

const char* setupName(Setup setup);

struct RunResult {
    std::optional<double> coldStartMs;
    std::optional<double> clickMs;      // the trigger's click to the root menu (baseline: window)
    std::vector<double> downMs;         // each Down in the root to the changed pixels
    std::optional<double> rightMs;      // Right on a submenu row to the submenu
    std::optional<double> reopenMs;     // a second opening of the root
    std::optional<double> rightAgainMs; // and Right again, the submenu's icons extracted
    std::optional<double> closeMs;      // a click on the trigger to every menu gone (baseline:
                                        // to its window gone)
    std::optional<double> privateBytes;
    std::optional<double> rssAnonBytes; // the Wine process as Linux counts it, for comparison
    int iconFilesAtStart = -1;          // catalogue icon files opened before the first click
    int iconFilesAfterMenu = -1;        // and once the root menu showed
    int menusOpened = 0;
    std::vector<std::string> problems;
};

class Bench {
  public:
    Bench(e2e::Session& session, BenchFiles files);
    ~Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // A warm-up run records the pictures; its numbers are not kept.
    RunResult run(Setup setup, bool warmUp);

  private:
    struct Pictures {
        Shot trigger;
        Rect root;
        Shot rootShown;
        std::vector<Shot> afterDown;
        Rect sub;
        Shot subShown;
        Shot reopened;
    };

    // The empty desktop's pixels in an area.
    Shot emptyIn(const Rect& area) const;
    // Clicks the trigger and times until the area looks as on the empty desktop.
    std::optional<double> clickUntilEmpty(const Rect& area);

    fs::path prepare(Setup setup);
    RunResult runBaseline(Setup setup);
    RunResult runZelvora(Setup setup, bool warmUp);
    void openEveryMenu(RunResult& result);
    void readMemory(const std::string& exe, pid_t unixPid, RunResult& result);
    void waitForEmptyScreen(RunResult& result);
    void clickTrigger();
    std::vector<e2e::Window> menus();

    e2e::Session& session_;
    BenchFiles files_;
    std::unique_ptr<PixelWatch> watch_;
    Shot emptyScreen_;
    std::map<Setup, fs::path> folders_;
    std::map<Setup, Pictures> pictures_;
};

} // namespace zv::bench
