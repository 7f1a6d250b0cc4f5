// zv_wine_bench: zelvora.exe under Wine measured against a bare Win32 program in the same run.
// One warm-up run of each program folder, then rounds that alternate the baseline with each
// folder of zelvora.exe; every number is a median over the rounds with its lowest and highest
// value. Appends its rows to the benchmark table (--table) and writes every sample (--raw).
#include "report.h"
#include "wine/scenario.h"

#include "process.h"
#include "wine_session.h"
#include "wine_test.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

namespace {

using namespace zv::bench;
using namespace std::chrono_literals;

struct Options {
    int runs = 7;
    std::string table;
    std::string raw;
    fs::path workDir = ZV_BENCH_WORK_DIR;
};

int usage(const std::string& problem) {
    std::cerr << "zv_wine_bench: " << problem << "\n"
              << "usage: zv_wine_bench [--runs N] [--table FILE.md] [--raw FILE.tsv]"
                 " [--work-dir DIR]\n";
    return 2;
}

using Results = std::map<Setup, std::vector<RunResult>>;

std::vector<double> values(const std::vector<RunResult>& runs,
                           std::optional<double> RunResult::*field, double scale = 1) {
    std::vector<double> v;
    for (const auto& r : runs)
        if (r.*field)
            v.push_back(*(r.*field) * scale);
    return v;
}

std::vector<double> downs(const std::vector<RunResult>& runs) {
    std::vector<double> v;
    for (const auto& r : runs)
        v.insert(v.end(), r.downMs.begin(), r.downMs.end());
    return v;
}

// A measure against the baseline's: the ratio of the medians and whether it is within `limit`.
Row compared(const std::string& measure, const Summary& ours, const Summary& theirs,
             const std::string& unit, double limit) {
    Row row;
    row.measure = measure;
    row.zelvora = cell(ours, unit);
    row.baseline = cell(theirs, unit);
    const double ratio = ours.median / theirs.median;
    row.ratio = ratioText(ratio);
    row.target = "≤ " + number(limit) + "×";
    row.result = ours.valid() && theirs.valid() ? verdict(ratio <= limit) : "n/a";
    return row;
}

std::vector<std::string> importedDlls(const fs::path& exe) {
    zv::e2e::SpawnOptions options;
    options.argv = {zv::e2e::objdumpTool().string(), "-p", exe.string()};
    const auto result = zv::e2e::runCommand(options, 60s);
    std::vector<std::string> dlls;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find("DLL Name:");
        if (at == std::string::npos)
            continue;
        std::string name = line.substr(at + 9);
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t\r") + 1);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        dlls.push_back(name);
    }
    return dlls;
}

// DLLs every Windows installation has.
bool systemDll(const std::string& dll) {
    static const std::set<std::string> system = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "msimg32.dll",  "shell32.dll",
        "comdlg32.dll", "comctl32.dll", "ole32.dll",    "oleaut32.dll", "advapi32.dll",
        "shlwapi.dll",  "msvcrt.dll",   "ntdll.dll",    "uxtheme.dll",  "version.dll",
        "winmm.dll",    "imm32.dll",    "winspool.drv", "ws2_32.dll",   "psapi.dll"};
    return system.count(dll) > 0;
}

std::vector<Row> rows(const Results& results, const BenchFiles& files) {
    std::vector<Row> out;
    const auto& base = results.at(Setup::Baseline);
    const Summary baseCold = summarize(values(base, &RunResult::coldStartMs));
    const Summary baseClick = summarize(values(base, &RunResult::clickMs));

    auto has = [&](Setup s) { return results.count(s) && !results.at(s).empty(); };

    if (has(Setup::Default)) {
        const auto& def = results.at(Setup::Default);
        out.push_back(compared("Cold start to the trigger's pixels, default program folder",
                               summarize(values(def, &RunResult::coldStartMs)), baseCold, "ms",
                               1.2));
    }
    if (has(Setup::Icons300)) {
        const auto& icons = results.at(Setup::Icons300);
        out.push_back(compared("Cold start to the trigger's pixels, 300-icon catalogue",
                               summarize(values(icons, &RunResult::coldStartMs)), baseCold, "ms",
                               1.3));
        // Start-up itself reads no icon (the core benchmarks count that); the idle time after
        // it reads the icons the rows show, so the first menu should find them all read.
        int beforeClick = 0, byMenu = 0;
        for (const auto& r : icons) {
            beforeClick = std::max(beforeClick, r.iconFilesAtStart);
            byMenu = std::max(byMenu, r.iconFilesAfterMenu - r.iconFilesAtStart);
        }
        Row opened;
        opened.measure = "Catalogue icon files read before the first click, 300-icon catalogue "
                         "(then by the first menu)";
        opened.zelvora = std::to_string(beforeClick) + " of 300, most in any run (then " +
                         std::to_string(byMenu) + " more, most in any run)";
        opened.target = "only the rows' icons; none left for the menu";
        opened.result = verdict(beforeClick < 300 && byMenu == 0);
        out.push_back(opened);
    }
    if (has(Setup::Default)) {
        const auto& def = results.at(Setup::Default);
        out.push_back(compared("Click on the trigger to the root menu's pixels, default folder "
                               "(first opening; baseline: click to its window)",
                               summarize(values(def, &RunResult::clickMs)), baseClick, "ms", 1.3));
        out.push_back(compared("Root menu opened again, default folder (icons already taken)",
                               summarize(values(def, &RunResult::reopenMs)), baseClick, "ms", 1.3));
        out.push_back(compared("Right on a submenu row to the submenu's pixels, default folder",
                               summarize(values(def, &RunResult::rightMs)), baseClick, "ms", 1.3));
        out.push_back(compared("Right again after the root opened again, default folder "
                               "(the submenu's icons already taken)",
                               summarize(values(def, &RunResult::rightAgainMs)), baseClick, "ms",
                               1.3));
        out.push_back(compared("Down to the moved highlight's pixels, default folder",
                               summarize(downs(def)), baseClick, "ms", 1.3));
        out.push_back(compared("Second click on the trigger to the menus gone from the screen, "
                               "default folder (baseline: click to its window gone)",
                               summarize(values(def, &RunResult::closeMs)),
                               summarize(values(base, &RunResult::closeMs)), "ms", 1.3));
    }
    if (has(Setup::Full)) {
        const auto& full = results.at(Setup::Full);
        out.push_back(compared("Click on the trigger to the root menu, full store (51 rows, "
                               "first opening)",
                               summarize(values(full, &RunResult::clickMs)), baseClick, "ms", 1.3));
        out.push_back(compared("Root menu opened again, full store",
                               summarize(values(full, &RunResult::reopenMs)), baseClick, "ms",
                               1.3));
        out.push_back(compared("Right on a submenu row to the submenu, full store",
                               summarize(values(full, &RunResult::rightMs)), baseClick, "ms", 1.3));
        out.push_back(compared("Right again after the root opened again, full store",
                               summarize(values(full, &RunResult::rightAgainMs)), baseClick, "ms",
                               1.3));
        out.push_back(compared("Second click on the trigger to the menus gone, full store",
                               summarize(values(full, &RunResult::closeMs)),
                               summarize(values(base, &RunResult::closeMs)), "ms", 1.3));
        out.push_back(compared("Down to the moved highlight, full store (51 rows)",
                               summarize(downs(full)), baseClick, "ms", 1.3));

        constexpr double mib = 1.0 / (1024 * 1024);
        const Summary ours = summarize(values(full, &RunResult::privateBytes, mib));
        const Summary theirs = summarize(values(base, &RunResult::privateBytes, mib));
        Row memory;
        memory.measure = "Private bytes after opening every menu of the full store (baseline: "
                         "its window shown)";
        memory.zelvora = cell(ours, "MiB");
        memory.baseline = cell(theirs, "MiB");
        memory.ratio = ratioText(ours.median / theirs.median) + ", +" +
                       number(ours.median - theirs.median) + " MiB";
        memory.target = "≤ baseline + 4 MiB";
        memory.result =
            ours.valid() && theirs.valid() ? verdict(ours.median <= theirs.median + 4) : "n/a";
        out.push_back(memory);

        const Summary oursLinux = summarize(values(full, &RunResult::rssAnonBytes, mib));
        const Summary theirsLinux = summarize(values(base, &RunResult::rssAnonBytes, mib));
        Row linux;
        linux.measure = "The same, as Linux counts the Wine processes (RssAnon)";
        linux.zelvora = cell(oursLinux, "MiB");
        linux.baseline = cell(theirsLinux, "MiB");
        linux.ratio = ratioText(oursLinux.median / theirsLinux.median) + ", +" +
                      number(oursLinux.median - theirsLinux.median) + " MiB";
        out.push_back(linux);
    }

    if (has(Setup::Default144) && has(Setup::Baseline144)) {
        const auto& def = results.at(Setup::Default144);
        const Summary base144 =
            summarize(values(results.at(Setup::Baseline144), &RunResult::clickMs));
        out.push_back(compared("Click on the trigger to the root menu at 144 DPI, default folder "
                               "(baseline at 144 DPI too)",
                               summarize(values(def, &RunResult::clickMs)), base144, "ms", 1.3));
        out.push_back(compared("Right on a submenu row to the submenu at 144 DPI, default folder",
                               summarize(values(def, &RunResult::rightMs)), base144, "ms", 1.3));
    }

    const double kib = 1024;
    const double ourSize = static_cast<double>(fs::file_size(files.zelvoraExe)) / kib;
    const double theirSize = static_cast<double>(fs::file_size(files.baselineExe)) / kib;
    Row size;
    size.measure = "Size of zelvora.exe (baseline: zv_baseline.exe)";
    size.zelvora = number(ourSize) + " KiB";
    size.baseline = number(theirSize) + " KiB";
    size.ratio = ratioText(ourSize / theirSize);
    size.target = "< 1024 KiB";
    size.result = verdict(ourSize < 1024);
    out.push_back(size);

    const auto dlls = importedDlls(files.zelvoraExe);
    std::string list;
    bool allSystem = !dlls.empty();
    for (const auto& dll : dlls) {
        list += (list.empty() ? "" : ", ") + dll;
        allSystem = allSystem && systemDll(dll);
    }
    Row imports;
    imports.measure = "DLLs zelvora.exe imports (objdump -p)";
    imports.zelvora = list.empty() ? "none found" : list;
    imports.baseline = std::to_string(importedDlls(files.baselineExe).size()) + " DLLs";
    imports.target = "system DLLs only";
    imports.result = verdict(allSystem);
    out.push_back(imports);
    return out;
}

std::string describe(Setup setup, int round, const RunResult& r) {
    auto v = [](const std::optional<double>& x) { return x ? number(*x) : std::string("-"); };
    std::ostringstream line;
    line << setupName(setup) << "\t" << round << "\t" << v(r.coldStartMs) << "\t" << v(r.clickMs)
         << "\t";
    for (std::size_t i = 0; i < r.downMs.size(); ++i)
        line << (i ? "," : "") << number(r.downMs[i]);
    if (r.downMs.empty())
        line << "-";
    line << "\t" << v(r.rightMs) << "\t" << v(r.reopenMs) << "\t" << v(r.rightAgainMs) << "\t"
         << v(r.closeMs) << "\t" << v(r.privateBytes) << "\t" << v(r.rssAnonBytes) << "\t"
         << r.iconFilesAtStart << "\t" << r.iconFilesAfterMenu << "\t" << r.menusOpened << "\t";
    for (std::size_t i = 0; i < r.problems.size(); ++i)
        line << (i ? "; " : "") << r.problems[i];
    return line.str();
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

int run(const Options& options) {
    BenchFiles files;
    files.zelvoraExe = zv::e2e::programExe();
    files.baselineExe = ZV_BENCH_BASELINE_EXE;
    files.memoryProbeExe = ZV_BENCH_MEMORY_PROBE_EXE;
    files.defaultFolder = ZV_BENCH_DEFAULT_FOLDER;

    zv::e2e::Session session(options.workDir, {}, zv::e2e::probeExe());
    Bench bench(session, files);

    std::ofstream raw;
    if (!options.raw.empty())
        raw.open(options.raw, std::ios::trunc);
    const std::string header = "setup\tround\tcold_ms\tclick_ms\tdown_ms\tright_ms\treopen_ms\t"
                               "right_again_ms\tclose_ms\t"
                               "private_bytes\trss_anon_bytes\ticon_files_start\t"
                               "icon_files_menu\tmenus_opened\tproblems";
    raw << "# load average at the start: " << loadAverage() << "\n" << header << "\n";

    const std::vector<Setup> setups = {Setup::Baseline, Setup::Default,     Setup::Icons300,
                                       Setup::Full,     Setup::Baseline144, Setup::Default144};
    std::set<Setup> usable;
    session.log("warm-up: one run of each program folder records what the screen shows");
    for (Setup setup : setups) {
        const RunResult r = bench.run(setup, true);
        session.log(describe(setup, 0, r));
        raw << describe(setup, 0, r) << "\n";
        if (r.problems.empty())
            usable.insert(setup);
        else if (setup == Setup::Baseline || setup == Setup::Baseline144)
            throw std::runtime_error("the baseline's warm-up run failed: " + r.problems.front());
    }

    Results results;
    for (int round = 1; round <= options.runs; ++round) {
        session.log("round " + std::to_string(round) + " of " + std::to_string(options.runs) +
                    ", load average " + loadAverage());
        // Each round starts with the next program folder, so none always follows the same one.
        for (std::size_t i = 0; i < setups.size(); ++i) {
            const Setup setup = setups[(i + static_cast<std::size_t>(round - 1)) % setups.size()];
            if (!usable.count(setup))
                continue;
            RunResult r = bench.run(setup, false);
            session.log(describe(setup, round, r));
            raw << describe(setup, round, r) << "\n";
            results[setup].push_back(std::move(r));
        }
    }
    raw << "# load average at the end: " << loadAverage() << "\n";

    const auto table = rows(results, files);
    for (const Row& r : table)
        std::cout << markdown(r);
    if (!options.table.empty() && !appendRows(options.table, table)) {
        std::cerr << "cannot write " << options.table << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return usage("missing value after " + option);
        const std::string value = argv[++i];
        if (option == "--runs")
            options.runs = std::atoi(value.c_str());
        else if (option == "--table")
            options.table = value;
        else if (option == "--raw")
            options.raw = value;
        else if (option == "--work-dir")
            options.workDir = fs::absolute(value);
        else
            return usage("unknown option " + option);
    }
    if (options.runs < 1)
        return usage("--runs needs a positive number");
    try {
        return run(options);
    } catch (const std::exception& error) {
        std::cerr << "zv_wine_bench: " << error.what() << "\n";
        return 1;
    }
}
