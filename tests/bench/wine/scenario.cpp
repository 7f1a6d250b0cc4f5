#include "wine/scenario.h"

#include "bench_data.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace zv::bench {

namespace {

using namespace std::chrono_literals;

// Where the trigger starts on the 1024 x 768 desktop, and where the baseline puts its window.
constexpr Rect triggerRect{1, 680, 49, 728};
constexpr int triggerX = 25, triggerY = 704;
constexpr Rect baselineWindow{77, 660, 279, 728};
constexpr Color baselineFace{36, 99, 176};
constexpr Color baselineWindowColour{245, 244, 243};

constexpr const char* zelvoraExe = "zelvora.exe";
constexpr const char* baselineExe = "zv_baseline.exe";

// Downs from the root's first row to its first submenu row.
int downsToSubmenu(Setup setup) {
    switch (setup) {
    case Setup::Default:
    case Setup::Default144:
        return 6; // Programs (a header), five programs, then System tools
    case Setup::Full:
        return fullRootFirstSubmenuRow;
    default:
        return 0;
    }
}

// The catalogue icon files a program opens, seen through inotify on the icon folder.
class IconFileWatch {
  public:
    explicit IconFileWatch(const fs::path& folder) {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0 || inotify_add_watch(fd_, folder.c_str(), IN_OPEN) < 0)
            throw std::runtime_error("cannot watch " + folder.string() + " with inotify");
    }
    ~IconFileWatch() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    IconFileWatch(const IconFileWatch&) = delete;
    IconFileWatch& operator=(const IconFileWatch&) = delete;

    // Distinct files opened so far.
    int opened() {
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                break;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0)
                    names_.insert(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return static_cast<int>(names_.size());
    }

  private:
    int fd_ = -1;
    std::set<std::string> names_;
};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// The icon files of the default catalogue, in catalogue order.
std::vector<fs::path> defaultIcons(const fs::path& defaultFolder) {
    std::vector<fs::path> icons;
    std::istringstream lines(readText(defaultFolder / "kde.qls"));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto comma = line.find(',');
        if (comma == std::string::npos || line.substr(0, comma) == "#")
            continue;
        std::string file = line.substr(comma + 1);
        for (char& c : file)
            if (c == '\\')
                c = '/';
        icons.push_back(defaultFolder / file);
    }
    if (icons.empty())
        throw std::runtime_error("no icons in " + (defaultFolder / "kde.qls").string());
    return icons;
}

// The Linux process's anonymous resident memory (what Wine reports as private bytes).
std::optional<double> rssAnon(pid_t pid) {
    std::istringstream lines(readText("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("RssAnon:", 0) == 0)
            return std::stod(line.substr(8)) * 1024;
    return std::nullopt;
}

bool isIdle(const std::vector<e2e::IdleResult>& states) {
    return !states.empty() && states.front() == e2e::IdleResult::Idle;
}

} // namespace

const char* setupName(Setup setup) {
    switch (setup) {
    case Setup::Baseline:
        return "baseline";
    case Setup::Default:
        return "default";
    case Setup::Icons300:
        return "icons300";
    case Setup::Full:
        return "full";
    case Setup::Baseline144:
        return "baseline144";
    case Setup::Default144:
        return "default144";
    }
    return "?";
}

int setupDpi(Setup setup) {
    return setup == Setup::Baseline144 || setup == Setup::Default144 ? 144 : 96;
}

Shot Bench::emptyIn(const Rect& area) const {
    const Rect r{std::max(area.left, 0), std::max(area.top, 0),
                 std::min(area.right, emptyScreen_.width),
                 std::min(area.bottom, emptyScreen_.height)};
    Shot part;
    if (r.right <= r.left || r.bottom <= r.top)
        return part;
    part.width = r.right - r.left;
    part.height = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            part.pixels.push_back(
                emptyScreen_.pixels[static_cast<std::size_t>(y * emptyScreen_.width + x)]);
    return part;
}

std::optional<double> Bench::clickUntilEmpty(const Rect& area) {
    const Shot empty = emptyIn(area);
    const auto clicked = Clock::now();
    clickTrigger();
    return watch_->waitFor(
        area, [&](const Shot& s) { return s == empty; }, clicked, 10s);
}

Bench::Bench(e2e::Session& session, BenchFiles files)
    : session_(session), files_(std::move(files)) {
    for (const auto& file : {files_.zelvoraExe, files_.baselineExe, files_.memoryProbeExe})
        if (!fs::exists(file))
            throw std::runtime_error(file.string() + " not found (build the Windows tree with " +
                                     "-DZV_BENCH=ON)");
    auto& screen = session_.screen();
    watch_ = std::make_unique<PixelWatch>(session_.display(), screen.desktopOrigin(),
                                          screen.width(), screen.height());
    // The desktop with nothing of ours on it: every run ends by waiting for it again. The X
    // screen is black until the desktop has painted its background.
    const Rect all{0, 0, screen.width(), screen.height()};
    const bool painted = watch_
                             ->waitFor(
                                 all,
                                 [&](const Shot& s) {
                                     return !watch_->all(s, Color{0, 0, 0});
                                 },
                                 Clock::now(), 30s)
                             .has_value();
    auto empty = painted ? watch_->settle(all, 500ms, 20s) : std::nullopt;
    if (!empty)
        throw std::runtime_error("the empty desktop does not settle");
    emptyScreen_ = *empty;
}

Bench::~Bench() = default;

fs::path Bench::prepare(Setup setup) {
    if (auto found = folders_.find(setup); found != folders_.end())
        return found->second;
    const fs::path folder = session_.runsDir() / (std::string("bench-") + setupName(setup));
    fs::remove_all(folder);
    fs::create_directories(folder);
    if (setup == Setup::Baseline || setup == Setup::Baseline144) {
        fs::copy_file(files_.baselineExe, folder / baselineExe);
    } else {
        fs::copy_file(files_.zelvoraExe, folder / zelvoraExe);
        if (setup == Setup::Default || setup == Setup::Default144) {
            fs::copy(files_.defaultFolder, folder, fs::copy_options::recursive);
        } else {
            // Catalogue icon n is default icon n modulo their number: real icon files, so
            // extracting one costs what it costs in the default folder.
            const auto icons = defaultIcons(files_.defaultFolder);
            fs::create_directories(folder / "icons");
            for (int i = 0; i < 300; ++i)
                fs::copy_file(icons[static_cast<std::size_t>(i) % icons.size()],
                              folder / catalogueIconFile(i));
            writeText(folder / "kde.qls", iconCatalogue(300));
            writeText(folder / "menu.qlf", setup == Setup::Full
                                               ? fullMenuFile()
                                               : readText(files_.defaultFolder / "menu.qlf"));
        }
    }
    folders_[setup] = folder;
    return folder;
}

std::vector<e2e::Window> Bench::menus() {
    std::vector<e2e::Window> found;
    for (const auto& w : session_.windows(zelvoraExe).windows)
        if (w.visible && w.className == "ZelvoraMenu")
            found.push_back(w);
    return found;
}

void Bench::clickTrigger() {
    session_.screen().press();
    session_.screen().release();
}

void Bench::waitForEmptyScreen(RunResult& result) {
    auto& screen = session_.screen();
    const Rect all{0, 0, screen.width(), screen.height()};
    auto empty = watch_->waitFor(
        all, [&](const Shot& shot) { return shot == emptyScreen_; }, Clock::now(), 15s);
    if (empty)
        return;
    // Where it differs, to tell a window left behind from a stray change.
    const Shot now = watch_->grab(all);
    Rect changed{now.width, now.height, 0, 0};
    for (int y = 0; y < now.height; ++y)
        for (int x = 0; x < now.width; ++x) {
            const auto i = static_cast<std::size_t>(y * now.width + x);
            if (now.pixels[i] != emptyScreen_.pixels[i]) {
                changed = {std::min(changed.left, x), std::min(changed.top, y),
                           std::max(changed.right, x + 1), std::max(changed.bottom, y + 1)};
            }
        }
    result.problems.push_back("the desktop did not come back empty after the run: it differs in " +
                              std::to_string(changed.left) + "," + std::to_string(changed.top) +
                              "-" + std::to_string(changed.right) + "," +
                              std::to_string(changed.bottom));
}

void Bench::readMemory(const std::string& exe, pid_t unixPid, RunResult& result) {
    // The probe walks the process list, which can fail while Wine's own processes come and go:
    // one more try before the run goes without a reading.
    e2e::CommandResult output;
    for (int attempt = 0; attempt < 2 && !result.privateBytes; ++attempt) {
        output = session_.runWine({files_.memoryProbeExe.string(), exe}, 30s);
        std::istringstream lines(output.output);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("M\t", 0) != 0)
                continue;
            std::vector<std::string> fields;
            std::istringstream parts(line);
            for (std::string field; std::getline(parts, field, '\t');)
                fields.push_back(field);
            // Private bytes are the commit charge, which Windows also reports as the page-file
            // usage; Wine fills only the latter for another process.
            if (fields.size() >= 5) {
                const double privateUsage = std::stod(fields[3]);
                const double pagefileUsage = std::stod(fields[4]);
                if (privateUsage > 0 || pagefileUsage > 0)
                    result.privateBytes = privateUsage > 0 ? privateUsage : pagefileUsage;
            }
        }
    }
    if (!result.privateBytes)
        result.problems.push_back("no private bytes for " + exe + ": " + output.describe());
    // The Wine process takes the exe's name (cut to 15 characters) once it runs it; otherwise
    // the pid is not the program's and its memory says nothing.
    std::string name = readText("/proc/" + std::to_string(unixPid) + "/comm");
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
        name.pop_back();
    if (name == exe.substr(0, 15))
        result.rssAnonBytes = rssAnon(unixPid);
}

RunResult Bench::run(Setup setup, bool warmUp) {
    // A moment for what the previous run ended to finish ending in the Wine session.
    std::this_thread::sleep_for(300ms);
    // The scale is the session's: set for this run's program and back for the others.
    const int dpi = setupDpi(setup);
    if (dpi != 96)
        session_.setDisplayDpi(dpi);
    RunResult result = setup == Setup::Baseline || setup == Setup::Baseline144
                           ? runBaseline(setup)
                           : runZelvora(setup, warmUp);
    if (dpi != 96)
        session_.setDisplayDpi(96);
    return result;
}

RunResult Bench::runBaseline(Setup setup) {
    RunResult result;
    const fs::path folder = prepare(setup);
    auto& screen = session_.screen();

    const auto launched = Clock::now();
    e2e::ChildProcess program = session_.startWine({(folder / baselineExe).string()}, folder);
    result.coldStartMs = watch_->waitFor(
        triggerRect, [&](const Shot& s) { return watch_->all(s, baselineFace); }, launched, 30s);
    if (!result.coldStartMs)
        result.problems.push_back("the baseline's window did not show");
    if (!isIdle(session_.idle(baselineExe, 10s)))
        result.problems.push_back("the baseline did not become idle");

    screen.move(triggerX, triggerY);
    std::this_thread::sleep_for(150ms);
    const auto clicked = Clock::now();
    clickTrigger();
    result.clickMs = watch_->waitFor(
        baselineWindow, [&](const Shot& s) { return watch_->all(s, baselineWindowColour); },
        clicked, 10s);
    if (!result.clickMs)
        result.problems.push_back("the baseline's second window did not show");
    else
        result.menusOpened = 1;

    isIdle(session_.idle(baselineExe, 5s));
    readMemory(baselineExe, program.pid(), result);
    // The second click removes the window: until its place shows the desktop again.
    if (result.clickMs) {
        result.closeMs = clickUntilEmpty(baselineWindow);
        if (!result.closeMs)
            result.problems.push_back("the baseline's second window did not go");
    }
    program.end();
    waitForEmptyScreen(result);
    return result;
}

RunResult Bench::runZelvora(Setup setup, bool warmUp) {
    RunResult result;
    const fs::path folder = prepare(setup);
    Pictures& pictures = pictures_[setup];
    auto& screen = session_.screen();
    std::optional<IconFileWatch> iconFiles;
    if (setup == Setup::Icons300 || setup == Setup::Full)
        iconFiles.emplace(folder / "icons");

    const auto launched = Clock::now();
    e2e::ChildProcess program = session_.startWine({(folder / zelvoraExe).string()}, folder);
    auto ended = [&](const std::string& problem) {
        result.problems.push_back(problem);
        program.end();
        waitForEmptyScreen(result);
        return result;
    };

    // Start-up: until the trigger's face is on the screen.
    if (warmUp) {
        const bool shown = e2e::waitUntil(
            [&] {
                for (const auto& w : session_.windows(zelvoraExe).windows)
                    if (w.visible && w.className == "ZelvoraTrigger")
                        return true;
                return false;
            },
            60s, "the trigger");
        auto face = shown ? watch_->settle(triggerRect, 500ms, 10s) : std::nullopt;
        if (!face)
            return ended("the trigger did not show or settle");
        pictures.trigger = *face;
    } else {
        result.coldStartMs = watch_->waitFor(
            triggerRect, [&](const Shot& s) { return s == pictures.trigger; }, launched, 30s);
        if (!result.coldStartMs)
            return ended("the trigger's face did not show");
    }
    if (!isIdle(session_.idle(zelvoraExe, 10s)))
        result.problems.push_back("zelvora.exe did not become idle after start-up");
    if (iconFiles)
        result.iconFilesAtStart = iconFiles->opened();

    // A click on the trigger: until the root menu is drawn.
    screen.move(triggerX, triggerY);
    std::this_thread::sleep_for(150ms);
    const auto clicked = Clock::now();
    clickTrigger();
    if (warmUp) {
        std::vector<e2e::Window> shown;
        e2e::waitUntil(
            [&] {
                shown = menus();
                return shown.size() == 1;
            },
            20s, "the root menu");
        if (shown.size() != 1)
            return ended("the root menu did not show");
        pictures.root = shown.front().rect;
        auto drawn = watch_->settle(pictures.root, 300ms, 10s);
        if (!drawn)
            return ended("the root menu did not settle");
        pictures.rootShown = *drawn;
    } else {
        result.clickMs = watch_->waitFor(
            pictures.root, [&](const Shot& s) { return s == pictures.rootShown; }, clicked, 20s);
        if (!result.clickMs)
            return ended("the root menu did not show as in the warm-up");
    }
    result.menusOpened = 1;
    if (iconFiles)
        result.iconFilesAfterMenu = iconFiles->opened();

    const int downs = downsToSubmenu(setup);
    if (downs > 0) {
        // Down, row by row, to the first submenu row: each time until the pixels change.
        if (warmUp)
            pictures.afterDown.clear();
        for (int k = 0; k < downs; ++k) {
            const Shot before = watch_->grab(pictures.root);
            const auto pressed = Clock::now();
            screen.key("Down");
            auto changed = watch_->waitFor(
                pictures.root, [&](const Shot& s) { return s != before; }, pressed, 10s);
            if (!changed)
                return ended("Down did not change the root menu");
            if (warmUp) {
                auto drawn = watch_->settle(pictures.root, 100ms, 5s);
                if (!drawn)
                    return ended("the root menu did not settle after Down");
                pictures.afterDown.push_back(*drawn);
            } else {
                result.downMs.push_back(*changed);
                const Shot& want = pictures.afterDown[static_cast<std::size_t>(k)];
                if (!watch_->waitFor(
                        pictures.root, [&](const Shot& s) { return s == want; }, Clock::now(), 2s))
                    result.problems.push_back("after Down " + std::to_string(k + 1) +
                                              " the root differs from the warm-up's");
            }
        }

        // Right on the submenu row, before its hover timer opens it: until the submenu is drawn.
        if (!warmUp && watch_->grab(pictures.sub) == pictures.subShown)
            return ended("the submenu opened before Right (the hover timer was quicker)");
        const auto pressed = Clock::now();
        screen.key("Right");
        if (warmUp) {
            std::vector<e2e::Window> shown;
            e2e::waitUntil(
                [&] {
                    shown = menus();
                    return shown.size() == 2;
                },
                20s, "the submenu");
            if (shown.size() != 2)
                return ended("Right did not open the submenu");
            pictures.sub = shown.front().rect; // the newest level is on top
            auto drawn = watch_->settle(pictures.sub, 300ms, 10s);
            if (!drawn)
                return ended("the submenu did not settle");
            pictures.subShown = *drawn;
        } else {
            result.rightMs = watch_->waitFor(
                pictures.sub, [&](const Shot& s) { return s == pictures.subShown; }, pressed, 20s);
            if (!result.rightMs)
                return ended("the submenu did not show as in the warm-up");
        }
        result.menusOpened = 2;
    }

    if (setup == Setup::Default || setup == Setup::Full) {
        // Closed with a click, until the menus are gone from the screen, then opened again: the
        // second opening finds its icons extracted.
        screen.move(triggerX, triggerY);
        const Rect both{std::min(pictures.root.left, pictures.sub.left),
                        std::min(pictures.root.top, pictures.sub.top),
                        std::max(pictures.root.right, pictures.sub.right),
                        std::max(pictures.root.bottom, pictures.sub.bottom)};
        if (!isIdle(session_.idle(zelvoraExe, 10s)))
            result.problems.push_back("zelvora.exe did not become idle before the closing click");
        result.closeMs = clickUntilEmpty(both);
        if (!result.closeMs)
            return ended("a click on the trigger did not take the menus off the screen");
        if (!e2e::waitUntil([&] { return menus().empty(); }, 20s, "every menu to close"))
            return ended("a click on the trigger did not close the menus");
        std::this_thread::sleep_for(150ms);
        const auto again = Clock::now();
        clickTrigger();
        if (warmUp) {
            e2e::waitUntil([&] { return menus().size() == 1; }, 20s, "the root menu again");
            auto drawn = watch_->settle(pictures.root, 300ms, 10s);
            if (!drawn)
                return ended("the root menu did not settle when opened again");
            pictures.reopened = *drawn;
        } else {
            result.reopenMs = watch_->waitFor(
                pictures.root, [&](const Shot& s) { return s == pictures.reopened; }, again, 20s);
            if (!result.reopenMs)
                return ended("the root menu did not show again as in the warm-up");
        }

        // Right again on the submenu row, still highlighted: its icons are extracted by now.
        if (!isIdle(session_.idle(zelvoraExe, 10s)))
            result.problems.push_back("zelvora.exe did not become idle before Right again");
        if (watch_->grab(pictures.sub) == pictures.subShown)
            return ended("the submenu was open before Right again");
        const auto pressedAgain = Clock::now();
        screen.key("Right");
        result.rightAgainMs = watch_->waitFor(
            pictures.sub, [&](const Shot& s) { return s == pictures.subShown; }, pressedAgain, 20s);
        if (!result.rightAgainMs)
            return ended("Right again did not show the submenu as before");
    }
    if (setup == Setup::Full)
        openEveryMenu(result);

    if (!isIdle(session_.idle(zelvoraExe, 10s)))
        result.problems.push_back("zelvora.exe did not become idle before the memory reading");
    readMemory(zelvoraExe, program.pid(), result);
    program.end();
    waitForEmptyScreen(result);
    return result;
}

// With submenu 1 open and focused: its nested menu, then submenus 2 to 4 from the root, each
// root opening made afresh with two clicks on the trigger. Every menu of the store has then been
// built and drawn, every icon of its rows extracted.
void Bench::openEveryMenu(RunResult& result) {
    auto& screen = session_.screen();
    auto expectMenus = [&](std::size_t count, const std::string& what) {
        if (e2e::waitUntil([&] { return menus().size() == count; }, 20s, what))
            return true;
        result.problems.push_back("while opening every menu: no " + what);
        return false;
    };
    for (int k = 0; k < fullNestedRow; ++k)
        screen.key("Down");
    screen.key("Right");
    if (!expectMenus(3, "nested menu"))
        return;
    result.menusOpened += 1;
    for (int m = 2; m <= fullSubmenus; ++m) {
        screen.move(triggerX, triggerY);
        clickTrigger();
        if (!expectMenus(0, "closing"))
            return;
        clickTrigger();
        if (!expectMenus(1, "root menu"))
            return;
        screen.key("Down");
        screen.key("Right");
        if (!expectMenus(2, "submenu " + std::to_string(m)))
            return;
        result.menusOpened += 1;
    }
}

} // namespace zv::bench
