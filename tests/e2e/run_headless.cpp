// zelvora_run_headless: starts zelvora.exe from a program folder on a private Xvfb display (the
// same session the end-to-end tests use), waits until its windows settle, optionally clicks at
// Windows screen points (settling after each), saves a screenshot of the whole screen and ends
// everything it started.
#include "e2e.h"

#include <cstdlib>
#include <iostream>
#include <optional>

namespace {

using namespace zv::e2e;
using namespace std::chrono_literals;

struct Click {
    Point at;
    MouseButton button = MouseButton::Left;
};

struct Arguments {
    std::filesystem::path programDir;
    std::filesystem::path screenshot;
    std::filesystem::path workDir;
    std::filesystem::path prefix;
    std::filesystem::path probe = probeExe();
    std::vector<Click> clicks;
    std::chrono::seconds timeout{60};
    int dpi = 96;
};

int usage(const std::string& problem) {
    std::cerr
        << "zelvora_run_headless: " << problem << "\n"
        << "usage: zelvora_run_headless --program-dir DIR --screenshot FILE.png\n"
        << "         [--work-dir DIR] [--prefix DIR] [--probe probe.exe]\n"
        << "         [--click X,Y]... [--right-click X,Y]... [--timeout SECONDS] [--dpi DPI]\n"
        << "Clicks are Windows screen coordinates, done in order after start-up settles.\n";
    return 2;
}

std::optional<Point> parsePoint(const std::string& text) {
    auto comma = text.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    try {
        return Point{std::stoi(text.substr(0, comma)), std::stoi(text.substr(comma + 1))};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

struct Sample {
    std::vector<Window> windows;
    Image screen;
    bool idle = false;
};

// Settled: the program waits for input and neither its windows nor the screen changed over
// three consecutive looks.
::testing::AssertionResult settle(Session& session, ChildProcess& program,
                                  std::chrono::milliseconds timeout) {
    std::optional<Sample> last;
    int unchanged = 0;
    return waitUntil(
        [&] {
            if (!program.running())
                return true;
            Sample now;
            auto idle = session.idle(ProgramFolder::exeName, 100ms);
            now.idle = !idle.empty() && idle.front().result == IdleResult::Idle;
            now.windows = session.windows(ProgramFolder::exeName).windows;
            now.screen = session.screen().captureScreen();
            const bool same =
                last && now.idle && now.windows == last->windows && now.screen == last->screen;
            unchanged = same ? unchanged + 1 : 0;
            last = std::move(now);
            return unchanged >= 3;
        },
        timeout, "zelvora.exe's windows to settle");
}

int run(const Arguments& args) {
    SessionOptions options;
    options.workDir = args.workDir;
    options.prefix = args.prefix;
    options.probeExe = args.probe;
    Session session(options);
    session.setDisplayDpi(args.dpi);

    // The folder is used as it is: it is the program folder the caller prepared.
    const auto exe = args.programDir / ProgramFolder::exeName;
    if (!std::filesystem::exists(exe))
        throw std::runtime_error(exe.string() + " not found");
    ChildProcess program = session.startWine({exe.string()}, args.programDir);
    session.log("started zelvora.exe, pid " + std::to_string(program.pid()));

    auto settled = [&](const std::string& when) {
        auto result = settle(session, program, args.timeout);
        if (!result)
            session.log(std::string(result.message()) + " " + when +
                        "; taking the screenshot anyway");
    };

    settled("after start-up");
    for (const auto& click : args.clicks) {
        if (!program.running())
            break;
        session.log("clicking at " + std::to_string(click.at.x) + "," + std::to_string(click.at.y));
        session.screen().click(click.at.x, click.at.y, click.button);
        settled("after the click");
    }

    writePng(session.screen().captureScreen(), args.screenshot);
    session.log("screenshot saved to " + args.screenshot.string());
    const auto shown = session.windows(ProgramFolder::exeName).visibleOf(ProgramFolder::exeName);
    std::cout << "visible windows of zelvora.exe:\n" << describe(shown) << std::endl;

    if (!program.running()) {
        std::cerr << "zelvora.exe ended before the screenshot, exit status "
                  << program.exitStatus().value_or(-1) << "\n";
        return 1;
    }
    program.end();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return usage("missing value after " + option);
        const std::string value = argv[++i];
        if (option == "--program-dir") {
            args.programDir = std::filesystem::absolute(value);
        } else if (option == "--screenshot") {
            args.screenshot = std::filesystem::absolute(value);
        } else if (option == "--work-dir") {
            args.workDir = std::filesystem::absolute(value);
        } else if (option == "--prefix") {
            args.prefix = std::filesystem::absolute(value);
        } else if (option == "--probe") {
            args.probe = std::filesystem::absolute(value);
        } else if (option == "--click" || option == "--right-click") {
            auto point = parsePoint(value);
            if (!point)
                return usage("bad point " + value + " (expected X,Y)");
            args.clicks.push_back(
                {*point, option == "--click" ? MouseButton::Left : MouseButton::Right});
        } else if (option == "--dpi") {
            args.dpi = std::atoi(value.c_str());
            if (args.dpi < 96 || args.dpi > 480)
                return usage("--dpi takes 96 to 480");
        } else if (option == "--timeout") {
            args.timeout = std::chrono::seconds(std::atoi(value.c_str()));
            if (args.timeout.count() <= 0)
                return usage("bad timeout " + value);
        } else {
            return usage("unknown option " + option);
        }
    }
    if (args.programDir.empty() || args.screenshot.empty())
        return usage("--program-dir and --screenshot are required");
    if (args.workDir.empty())
        args.workDir = args.screenshot.parent_path() / "run-work";
    try {
        return run(args);
    } catch (const std::exception& error) {
        std::cerr << "zelvora_run_headless: " << error.what() << "\n";
        return 1;
    }
}
