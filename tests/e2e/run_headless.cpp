// zelvora_run_headless (for scripts/run): starts zelvora.exe in the end-to-end tests' session,
// does the clicks asked for, each once it settles, and saves a screenshot of the whole screen.
#include "wine_test.h"

#include <iostream>

using namespace zv::e2e;
using namespace std::chrono_literals;

int main(int argc, char** argv) {
    std::map<std::string, std::string> options = {{"--dpi", "96"}, {"--prefix", ""}};
    std::vector<std::pair<Point, MouseButton>> clicks;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        Point p;
        if (option == "--click" || option == "--right-click") {
            if (std::sscanf(argv[i + 1], "%d,%d", &p.x, &p.y) != 2)
                options["?"] = argv[i + 1];
            clicks.push_back({p, option == "--click" ? MouseButton::Left : MouseButton::Right});
        } else {
            options[option] = argv[i + 1];
        }
    }
    if (argc % 2 == 0 || options.size() != 4 || !options.count("--program-dir") ||
        !options.count("--screenshot")) {
        std::cerr << "usage: zelvora_run_headless --program-dir DIR --screenshot FILE.png\n"
                     "         [--prefix DIR] [--dpi DPI] [--click X,Y]... [--right-click X,Y]...\n"
                     "Clicks are Windows screen coordinates, done in order.\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = options["--program-dir"],
                                    shot = options["--screenshot"];
        Session session(std::filesystem::absolute(shot).parent_path() / "run-work",
                        options["--prefix"], probeExe());
        session.setDisplayDpi(std::stoi(options["--dpi"]));
        ChildProcess program =
            session.startWine({(folder / ProgramFolder::exeName).string()}, folder);
        // Settled: the program waits for input and the screen did not change over three looks.
        auto settle = [&] {
            Image last;
            int unchanged = 0;
            waitUntil(
                [&] {
                    const auto idle = session.idle(ProgramFolder::exeName, 100ms);
                    Image now = session.screen().captureScreen();
                    unchanged = !idle.empty() && idle[0] == IdleResult::Idle && now == last
                                    ? unchanged + 1
                                    : 0;
                    last = std::move(now);
                    return unchanged >= 3 || !program.running();
                },
                60s, "zelvora.exe to settle");
        };
        settle();
        for (const auto& [at, button] : clicks) {
            session.screen().click(at.x, at.y, button);
            settle();
        }
        writePng(session.screen().captureScreen(), shot);
        std::cout << "screenshot saved to " << shot << "; visible windows of zelvora.exe:\n"
                  << describe(
                         session.windows(ProgramFolder::exeName).visibleOf(ProgramFolder::exeName))
                  << std::endl;
        return program.running() ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "zelvora_run_headless: " << error.what() << "\n";
        return 1;
    }
}
