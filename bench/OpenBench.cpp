// Opening a chart at several sizes, each side in a process of its own (registered before
// main's own benchmarks run):
//
//   open/editor/<N>      the editor's header typed (chart 10, Tab, reclassification chart 101,
//                        Tab) until the grid is bound to its rows, in a new process per
//                        iteration; reports the peak RSS of the process (VmHWM) and the heap
//                        the fill kept per grid row
//   open/raw_sqlite/<N>  the statements the first of those fills executed, translated, on a
//                        raw sqlite3 handle on the same file in a new process, every returned
//                        value read; run right after each editor iteration (within
//                        open/editor/<N>), so that both sides meet the same load
//
// N is the number of generated accounts (two grid rows each) besides the demo's; by default
// 1k and 100k, with BREVANTO_BENCH_OPEN_SIZES (for example "1000,100000,1000000") others. The
// databases are built once per run (SizedDatabases.h). The raw benchmark reports
// `editor_over_raw`, the ratio of the median times (`cpu_editor_over_raw` of the CPU times), and
// hands the ratio, both peak RSS and the bytes per grid row to the summary.

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "EditorHost.h"
#include "Figures.h"
#include "OpenChild.h"
#include "RawReplay.h"
#include "SizedDatabases.h"
#include "Summary.h"

extern char** environ;

namespace benchdb {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Statements written one after another, each as its length on a line and its text.
void writeStatements(const fs::path& file, const std::vector<std::string>& statements) {
    std::ofstream out(file, std::ios::binary);
    for (const auto& s : statements) out << s.size() << '\n' << s;
}

std::vector<std::string> readStatements(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> out;
    std::size_t n = 0;
    while (in >> n) {
        in.get();
        std::string s(n, '\0');
        in.read(s.data(), static_cast<std::streamsize>(n));
        out.push_back(std::move(s));
    }
    return out;
}

// The peak resident set of this process since its program started (VmHWM), in bytes. Not
// wait4's ru_maxrss: that also counts the parent's pages a vfork-style spawn shared until exec.
double peakRssBytes() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return 1024.0 * std::atof(line.c_str() + 6);
    return 0;
}

double processCpuSeconds() { return threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID); }

double elapsed(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

int editorChild(const fs::path& dir, const fs::path& statements) {
    EditorHost h(connectionStringOf(dir));
    auto ed = h.open();
    Recorder recorder;
    const std::size_t heap = mallinfo2().uordblks;
    const auto start = Clock::now();
    const double cpu = processCpuSeconds();
    fillHeader(*ed);
    const double cpuSeconds = processCpuSeconds() - cpu;
    const double seconds = elapsed(start);
    const double kept = static_cast<double>(mallinfo2().uordblks) - static_cast<double>(heap);
    if (!h.dialogs->takeShown().empty()) {
        std::fprintf(stderr, "the fill showed a message\n");
        return 2;
    }
    if (!fs::exists(statements)) writeStatements(statements, translated(*recorder.texts));
    std::printf("%.9f %.9f %ld %.0f %.0f\n", seconds, cpuSeconds, ed->Grid()->rowCount(), kept, peakRssBytes());
    return 0;
}

int rawChild(const fs::path& dir, const fs::path& statements) {
    const auto texts = readStatements(statements);
    if (texts.empty()) {
        std::fprintf(stderr, "no statements in %s\n", statements.c_str());
        return 2;
    }
    RawSqlite raw(dir / "BREVANTO.db");
    const auto start = Clock::now();
    const double cpu = processCpuSeconds();
    long rows = 0;
    for (const auto& s : texts) rows += raw.run(s);
    const double cpuSeconds = processCpuSeconds() - cpu;
    const double seconds = elapsed(start);
    std::printf("%.9f %.9f %ld 0 %.0f\n", seconds, cpuSeconds, rows, peakRssBytes());
    return 0;
}

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0;
    long rows = 0;
    double keptBytes = 0;
    double peakRssBytes = 0;
};

// Runs this program as an open child; false when it failed.
bool runChild(const std::string& side, const fs::path& dir, const fs::path& statements, ChildRun& out) {
    // The running program itself, even should a rebuild have replaced its file meanwhile.
    const std::string exe = "/proc/self/exe";
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<std::string> args{exe, kOpenChildFlag, side, dir.string(), statements.string()};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; rc == 0 && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    if (rc != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    std::istringstream in(text);
    return static_cast<bool>(in >> out.seconds >> out.cpuSeconds >> out.rows >> out.keptBytes >> out.peakRssBytes);
}

std::string label(long n) { return sizeLabel(n); }

struct Side {
    std::vector<double> seconds, cpuSeconds, keptPerRow;
    double peakRss = 0;
    long rows = 0;
    void add(const ChildRun& run) {
        seconds.push_back(run.seconds);
        cpuSeconds.push_back(run.cpuSeconds);
        peakRss = std::max(peakRss, run.peakRssBytes);
        rows = run.rows;
        if (run.rows > 0) keptPerRow.push_back(run.keptBytes / static_cast<double>(run.rows));
    }
};
struct Open {
    Side editor, raw;
};
std::map<long, Open> g_open;

fs::path statementsFile(long n) {
    return sizedDatabases().folder(n) / ("open-statements-" + std::to_string(::getpid()) + ".sql");
}

// Each iteration opens the chart in an editor child, then replays its statements in a raw
// child right after, so that both sides meet the same load of the machine.
void openEditor(benchmark::State& state, long n) {
    const fs::path& dir = sizedDatabases().folder(n);
    Open& o = g_open[n] = Open{};
    for (auto _ : state) {
        ChildRun editor, raw;
        if (!runChild("editor", dir, statementsFile(n), editor) || !runChild("raw", dir, statementsFile(n), raw)) {
            state.SkipWithError("an open child failed");
            return;
        }
        state.SetIterationTime(editor.seconds);
        o.editor.add(editor);
        o.raw.add(raw);
    }
    std::error_code ec;
    fs::remove(statementsFile(n), ec);
    state.counters["rows"] = static_cast<double>(o.editor.rows);
    state.counters["peak_rss_MB"] = o.editor.peakRss / 1e6;
    state.counters["bytes_per_grid_row"] = median(o.editor.keptPerRow);
}

// The raw runs taken beside the editor's.
void openRaw(benchmark::State& state, long n) {
    auto o = g_open.find(n);
    if (o == g_open.end() || o->second.raw.seconds.empty()) return state.SkipWithError("open/editor did not run");
    const Side& editor = o->second.editor;
    const Side& raw = o->second.raw;
    const MedianPair m = reportBaseline(state, editor, raw);
    if (!m.valid()) return;
    const double ratio = m.ratio();
    char detail[200];
    std::snprintf(detail, sizeof detail, "%.3f s / %.3f s (CPU %.2f x); peak RSS %.0f MB / %.0f MB; %ld grid rows",
                  m.editorTime, m.rawTime, m.cpuRatio(), editor.peakRss / 1e6, raw.peakRss / 1e6, editor.rows);
    std::printf("Open chart 10 with %s generated accounts (header to grid bound): editor %s, ratio %.2f\n",
                label(n).c_str(), detail, ratio);
    bench::addSummary({"open " + label(n) + " (header to grid bound)", ratio, "x", 1.1, detail});
    std::snprintf(detail, sizeof detail, "heap kept by the fill / %ld grid rows", editor.rows);
    bench::addSummary({"grid bytes per row, " + label(n), median(editor.keptPerRow), "B", 100, detail});
}

std::vector<long> sizes() {
    std::vector<long> out;
    const char* text = std::getenv("BREVANTO_BENCH_OPEN_SIZES");
    std::istringstream in(text && *text ? text : "1000,100000");
    for (std::string item; std::getline(in, item, ',');)
        if (const long n = std::atol(item.c_str()); n > 0) out.push_back(n);
    return out;
}

int iterationsFor(long n) { return n <= 10000 ? 9 : n <= 200000 ? 3 : 1; }

const bool registered = [] {
    for (long n : sizes()) {
        benchmark::RegisterBenchmark(("open/editor/" + label(n)).c_str(), openEditor, n)
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(iterationsFor(n));
        benchmark::RegisterBenchmark(("open/raw_sqlite/" + label(n)).c_str(), openRaw, n)
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(iterationsFor(n));
    }
    return true;
}();

}  // namespace

int runOpenChild(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s %s editor|raw <folder> <statements file>\n", argv[0], kOpenChildFlag);
        return 2;
    }
    const std::string side = argv[2];
    int rc = 2;
    try {
        rc = side == "editor" ? editorChild(argv[3], argv[4]) : rawChild(argv[3], argv[4]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    std::fflush(stdout);
    // The grid's rows are not freed one by one: the process ends here.
    std::_Exit(rc);
}

}  // namespace benchdb
