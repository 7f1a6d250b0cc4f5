// The core's benchmarks on the headless platform: the menu file both ways, building and painting
// the largest menu, and the batch add's folder search beside `find` over the same tree.
//
// Besides Google Benchmark's own output, `--table FILE` appends this program's rows to the
// benchmark table that scripts/bench prints.
#include "bench_data.h"
#include "menus/menu_windows.h"
#include "report.h"
#include "test_support.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "core/menu_file.h"
#include "editing/folder_search.h"
#include "graphics/icon_registry.h"
#include "menus/menu_window.h"
#include "platform/headless/headless.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using zv::bench::Row;
using zv::bench::Summary;

// ---------------------------------------------------------------------------------------------
// The menu file

void BM_ReadMenuFile(benchmark::State& state) {
    const std::string bytes = zv::bench::fullMenuFile();
    for (auto _ : state) {
        zv::store = zv::ItemStore{};
        zv::clearList();
        const std::string problem = zv::readMenuFile(bytes);
        if (!problem.empty()) {
            state.SkipWithError(("the full menu file does not read: " + problem).c_str());
            break;
        }
        benchmark::DoNotOptimize(zv::store);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadMenuFile)->Unit(benchmark::kMicrosecond);

void BM_WriteMenuFile(benchmark::State& state) {
    zv::store = zv::ItemStore{};
    zv::clearList();
    if (const std::string problem = zv::readMenuFile(zv::bench::fullMenuFile()); !problem.empty())
        state.SkipWithError(problem.c_str());
    std::size_t bytes = 0;
    for (auto _ : state) {
        // The bytes a save writes: the text and its encoding.
        const std::string text = zv::menuFileBytes().bytes;
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_WriteMenuFile)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------------------------
// The 51-row menu on the headless platform

// The program started headless on the full store, with a 300-icon catalogue whose files exist
// (the headless platform gives every non-empty file an icon).
class FullProgram {
  public:
    FullProgram() {
        for (int i = 0; i < 300; ++i)
            folder_.write(zv::bench::catalogueIconFile(i), "icon");
        zv::test::startProgram(folder_, zv::bench::fullMenuFile(), zv::bench::iconCatalogue(300));
    }
    ~FullProgram() { zv::test::resetProgram(); }
    FullProgram(const FullProgram&) = delete;
    FullProgram& operator=(const FullProgram&) = delete;

    zv::MenuWindow& root() { return zv::menuLevel(0); }

  private:
    zv::test::TempFolder folder_;
};

void BM_BuildMenu51Rows(benchmark::State& state) {
    FullProgram program;
    zv::MenuWindow& root = program.root();
    // The first build also extracts the rows' icons and paints; that is not measured. Built
    // again unchanged, the menu is laid out and shown with the image it has.
    root.build(0, 0);
    for (auto _ : state)
        root.build(0, 0);
    if (root.lastRow + 1 != zv::bench::fullRootRows)
        state.SkipWithError("the root menu does not have 51 rows");
}
BENCHMARK(BM_BuildMenu51Rows)->Unit(benchmark::kMicrosecond);

void BM_DrawAllMenu51Rows(benchmark::State& state) {
    FullProgram program;
    zv::MenuWindow& root = program.root();
    root.build(0, 0);
    for (auto _ : state)
        root.drawAll();
    state.counters["icons"] = zv::headless::liveIcons();
}
BENCHMARK(BM_DrawAllMenu51Rows)->Unit(benchmark::kMicrosecond);

// Start-up on the full store and the 300-icon catalogue: registering icons must not extract
// them (the "icons_extracted" counter stays 0). The idle time after it reads only the icons the
// rows show ("icons_read_when_idle").
void BM_StartUp300Icons(benchmark::State& state) {
    zv::test::TempFolder folder;
    for (int i = 0; i < 300; ++i)
        folder.write(zv::bench::catalogueIconFile(i), "icon");
    int extracted = 0;
    for (auto _ : state) {
        zv::test::startProgram(folder, zv::bench::fullMenuFile(), zv::bench::iconCatalogue(300));
        extracted = std::max(extracted, zv::headless::liveIcons());
    }
    state.counters["icons_registered"] = zv::iconRegistry.iconCount;
    state.counters["icons_extracted"] = extracted;
    zv::headless::runIdle();
    state.counters["icons_read_when_idle"] = zv::headless::liveIcons();
    zv::test::resetProgram();
}
BENCHMARK(BM_StartUp300Icons)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------------------------
// The folder search beside find

// A tree shaped like a folder of installed programs that never fills the search's queue of 150
// folders: 10 groups of 10 program folders, each with a chain of 3 folders below it (410
// folders, at most 110 waiting at any time, 5 levels deep). Each folder holds 70 data files,
// every second one a program, every fifth one a shortcut: about 30,000 entries.
class SearchTree {
  public:
    static constexpr int groups = 10;
    static constexpr int programsPerGroup = 10;
    static constexpr int chain = 3;
    static constexpr int filesPerFolder = 70;

    SearchTree() {
        std::string pattern = (fs::temp_directory_path() / "zvbench-tree-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        for (int g = 0; g < groups; ++g) {
            const fs::path group = root_ / ("Group " + std::to_string(g));
            fill(group);
            for (int p = 0; p < programsPerGroup; ++p) {
                fs::path folder = group / ("Program " + std::to_string(p));
                fill(folder);
                for (int c = 0; c < chain; ++c)
                    fill(folder /= "part-" + std::to_string(c));
            }
        }
    }
    ~SearchTree() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    SearchTree(const SearchTree&) = delete;
    SearchTree& operator=(const SearchTree&) = delete;

    const fs::path& root() const { return root_; }
    // Files and folders below the start folder.
    long entries() const { return entries_; }

  private:
    void fill(const fs::path& folder) {
        fs::create_directory(folder);
        ++entries_;
        for (int f = 0; f < filesPerFolder; ++f)
            touch(folder / ("data-" + std::to_string(f) + ".dat"));
        if (folders_ % 2 == 0)
            touch(folder / "program.exe");
        if (folders_ % 5 == 0)
            touch(folder / "shortcut.lnk");
        ++folders_;
    }
    void touch(const fs::path& file) {
        std::ofstream(file).put('\0');
        ++entries_;
    }

    fs::path root_;
    long entries_ = 0;
    int folders_ = 0;
};

SearchTree& searchTree() {
    static SearchTree tree;
    return tree;
}

void runSearch(zv::FolderSearch& search, const SearchTree& tree) {
    zv::headless::state().messages.clear();
    search.queueInit();
    search.enqueueFolder(tree.root().string());
    while (search.nextFolderWithFiles()) {
    }
}

// The whole search over the tree, nothing else hooked into its yields.
void BM_FolderSearch(benchmark::State& state) {
    SearchTree& tree = searchTree();
    zv::test::resetProgram(tree.root().string());
    auto search = std::make_unique<zv::FolderSearch>();
    auto& desktop = zv::headless::desktop();
    for (auto _ : state) {
        desktop.yields = 0;
        runSearch(*search, tree);
    }
    if (zv::headless::state().messages.size() != 1)
        state.SkipWithError("the search did not end with its one completion message");
    state.SetItemsProcessed(state.iterations() * tree.entries());
    state.counters["yields"] = desktop.yields;
    zv::test::resetProgram();
}
BENCHMARK(BM_FolderSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The same search with a clock read at every yield: the longest time between two yields (or
// from the start to the first, or from the last to the end), on the wall clock and in the
// search thread's own CPU time. The wall clock also counts time the machine gave to other
// processes meanwhile.
void BM_FolderSearchYieldGaps(benchmark::State& state) {
    SearchTree& tree = searchTree();
    zv::test::resetProgram(tree.root().string());
    auto search = std::make_unique<zv::FolderSearch>();
    Clock::time_point lastWall{};
    double lastCpu = 0, longestWall = 0, longestCpu = 0;
    auto lap = [&] {
        const auto wall = Clock::now();
        const double cpu = threadCpuMs();
        longestWall = std::max(longestWall,
                               std::chrono::duration<double, std::milli>(wall - lastWall).count());
        longestCpu = std::max(longestCpu, cpu - lastCpu);
        lastWall = wall;
        lastCpu = cpu;
    };
    zv::headless::desktop().onYield = lap;
    for (auto _ : state) {
        lastWall = Clock::now();
        lastCpu = threadCpuMs();
        runSearch(*search, tree);
        lap();
    }
    zv::headless::desktop().onYield = nullptr;
    state.counters["longest_gap_wall_ms"] = longestWall;
    state.counters["longest_gap_cpu_ms"] = longestCpu;
    zv::test::resetProgram();
}
BENCHMARK(BM_FolderSearchYieldGaps)->Unit(benchmark::kMillisecond)->UseRealTime();

// find(1) over the same tree, as a whole process, its listing thrown away.
void BM_FindSameTree(benchmark::State& state) {
    SearchTree& tree = searchTree();
    const std::string root = tree.root().string();
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>("find"), const_cast<char*>(root.c_str()), nullptr};
        pid_t pid = 0;
        const int failed = posix_spawnp(&pid, "find", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (failed || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("find failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * tree.entries());
}
BENCHMARK(BM_FindSameTree)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------------------------------------
// The table

// Google Benchmark's console output, plus every repetition kept for the table.
class TableReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            Kept& kept = runs_[run.run_name.function_name];
            kept.time.push_back(run.GetAdjustedRealTime());
            kept.unit = benchmark::GetTimeUnitString(run.time_unit);
            for (const auto& [name, counter] : run.counters)
                kept.counters[name].push_back(counter.value);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::vector<Row> rows() const {
        std::vector<Row> rows;
        auto timeRow = [&](const std::string& name, const std::string& measure) {
            auto found = runs_.find(name);
            if (found == runs_.end())
                return;
            Row row;
            row.measure = measure;
            const std::string unit = found->second.unit == "us" ? "µs" : found->second.unit;
            row.zelvora = zv::bench::cell(zv::bench::summarize(found->second.time), unit);
            rows.push_back(row);
        };
        timeRow("BM_ReadMenuFile", "Read the full menu file (101 entries), native");
        timeRow("BM_WriteMenuFile", "Write the full menu file, native");
        timeRow("BM_BuildMenu51Rows",
                "Build a 51-row menu again, unchanged (headless: no painting)");
        timeRow("BM_DrawAllMenu51Rows", "drawAll of a 51-row menu (headless)");

        if (auto startUp = runs_.find("BM_StartUp300Icons"); startUp != runs_.end()) {
            const Summary extracted = counter(startUp->second, "icons_extracted");
            Row row;
            row.measure = "Icons extracted by start-up with a 300-icon catalogue (headless)";
            row.zelvora = zv::bench::cell(extracted, "icons");
            row.target = "0";
            row.result = zv::bench::verdict(extracted.valid() && extracted.max == 0);
            rows.push_back(row);

            const Summary ahead = counter(startUp->second, "icons_read_when_idle");
            Row idle;
            idle.measure = "Icon files read in the idle time after that start-up, full store "
                           "(headless; the rows' own icons)";
            idle.zelvora = zv::bench::cell(ahead, "icons");
            idle.target = "< 300";
            idle.result = zv::bench::verdict(ahead.valid() && ahead.max < 300);
            rows.push_back(idle);
        }

        auto search = runs_.find("BM_FolderSearch");
        auto find = runs_.find("BM_FindSameTree");
        if (search != runs_.end() && find != runs_.end()) {
            const Summary ours = perSecond(counter(search->second, "items_per_second"));
            const Summary theirs = perSecond(counter(find->second, "items_per_second"));
            Row rate;
            rate.measure = "Folder search, " + std::to_string(searchTree().entries()) +
                           " entries (headless) vs `find` on the same tree";
            rate.zelvora = zv::bench::cell(ours, "k entries/s");
            rate.baseline = zv::bench::cell(theirs, "k entries/s");
            const double ratio = ours.median / theirs.median;
            rate.ratio = zv::bench::ratioText(ratio);
            rate.target = "≥ 0.5× find";
            rate.result = zv::bench::verdict(ratio >= 0.5);
            rows.push_back(rate);

            auto gapRow = [&](const std::string& counterName, const std::string& clock) {
                auto gaps = runs_.find("BM_FolderSearchYieldGaps");
                if (gaps == runs_.end())
                    return;
                const Summary longest = counter(gaps->second, counterName);
                Row gap;
                gap.measure = "Folder search: longest interval between two yields, " + clock;
                gap.zelvora = zv::bench::cell(longest, "ms");
                gap.target = "< 10 ms";
                gap.result = zv::bench::verdict(longest.valid() && longest.max < 10);
                rows.push_back(gap);
            };
            gapRow("longest_gap_cpu_ms", "the search's own CPU time");
            gapRow("longest_gap_wall_ms", "wall clock (includes other processes' turns)");
        }
        return rows;
    }

  private:
    struct Kept {
        std::vector<double> time;
        std::string unit;
        std::map<std::string, std::vector<double>> counters;
    };

    static Summary counter(const Kept& kept, const std::string& name) {
        auto found = kept.counters.find(name);
        return found == kept.counters.end() ? Summary{} : zv::bench::summarize(found->second);
    }
    static Summary perSecond(Summary s) {
        s.median /= 1000;
        s.min /= 1000;
        s.max /= 1000;
        return s;
    }

    std::map<std::string, Kept> runs_;
};

} // namespace

int main(int argc, char** argv) {
    // Our one option; the rest is Google Benchmark's.
    std::string table;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--table") == 0 && i + 1 < argc)
            table = argv[++i];
        else
            args.push_back(argv[i]);
    }
    // Seven repetitions of each, interleaved so that a busy moment of the machine does not fall
    // on one benchmark only; given options come after these and win.
    std::string repetitions = "--benchmark_repetitions=7";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, {repetitions.data(), interleave.data()});
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (!table.empty() && !zv::bench::appendRows(table, reporter.rows())) {
        std::cerr << "cannot write " << table << "\n";
        return 1;
    }
    return 0;
}
