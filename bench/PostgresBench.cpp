// The module on PostgreSQL against the same statements written by hand for PostgreSQL and sent
// through libpq, in a throw-away cluster with the server's durable defaults (PostgresCluster.h)
// and a database made by `brevanto-cli db init --demo --accounts N` (N from
// BREVANTO_BENCH_PG_ACCOUNTS, default 100000; PostgresDatabases.h):
//
//   pg/open/editor/<N>       the editor's header typed (chart 10, Tab, chart 101, Tab) until the
//                            grid is bound, in a new process per iteration
//   pg/open/raw_libpq/<N>    the hand-written open statements (PostgresStatements.h) in a new
//                            process, run right after each editor iteration; reports the ratio
//                            of the median times
//   pg/save/editor           a typed account confirmed with Down on a stored row, the editor's
//                            save on PostgreSQL (each save and its history row its own commits)
//   pg/save/raw_libpq        the same save as hand-written statements, one raw save after each
//                            editor save on another stored row; ratio of the mean times
//   pg/sessions/editor/<n>   n sessions (n = 1, 2, 4, 8), each a process with its own editor
//                            and connection, saving a row of its own of the same chart
//                            BREVANTO_BENCH_PG_SAVES times (default 100) at once: saves per
//                            second over all, median and p99 latency of one save
//   pg/sessions/raw_libpq/<n> the same with the hand-written saves, each session its own
//                            libpq connection; hands throughput and p99 ratios to the summary
//
// Without PostgreSQL's server programs the benchmarks report themselves skipped.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Figures.h"
#include "PostgresChild.h"
#include "PostgresCluster.h"
#include "PostgresDatabases.h"
#include "PostgresSavers.h"
#include "RawReplay.h"
#include "Summary.h"

namespace benchdb {

namespace {

long envLong(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && std::atol(v) > 0 ? std::atol(v) : fallback;
}

long accounts() { return envLong("BREVANTO_BENCH_PG_ACCOUNTS", 100000); }

std::string label(long n) { return sizeLabel(n); }

// The value below which `share` of the sorted values lie (nearest rank).
double percentile(std::vector<double> v, double share) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(v.size())));
    return v[std::min(v.size(), std::max<std::size_t>(rank, 1)) - 1];
}

// The cluster, or the reason the benchmark skips.
bool clusterReady(benchmark::State& state) {
    auto& cluster = PostgresCluster::instance();
    if (!cluster.available()) {
        state.SkipWithError(("skipped: " + cluster.problem()).c_str());
        return false;
    }
    return true;
}

// The demo database (`working`: the copy the saves write to), "" with the benchmark skipped
// when it cannot be made.
std::string database(benchmark::State& state, bool working) {
    if (!clusterReady(state)) return "";
    try {
        static const std::string saved = postgresDatabases().copy(accounts(), "bench_save");
        return working ? saved : postgresDatabases().demo(accounts());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return "";
    }
}

// ---- open ----

struct OpenRun {
    double seconds = 0, cpuSeconds = 0, peakRss = 0;
    long rows = 0, statements = 0;
};

bool runOpen(const std::string& side, const std::string& connection, OpenRun& out) {
    ChildProcess child({kPostgresChildFlag, side, connection});
    std::string line;
    if (!child.started() || !child.readLine(line) || !child.succeeded()) return false;
    std::istringstream in(line);
    return static_cast<bool>(in >> out.seconds >> out.cpuSeconds >> out.rows >> out.statements >> out.peakRss);
}

struct OpenSide {
    std::vector<double> seconds, cpuSeconds;
    double peakRss = 0;
    long rows = 0, statements = 0;
    void add(const OpenRun& r) {
        seconds.push_back(r.seconds);
        cpuSeconds.push_back(r.cpuSeconds);
        peakRss = std::max(peakRss, r.peakRss);
        rows = r.rows;
        statements = r.statements;
    }
};
OpenSide g_openEditor, g_openRaw;

void openEditor(benchmark::State& state) {
    const std::string name = database(state, false);
    if (name.empty()) return;
    auto& cluster = PostgresCluster::instance();
    g_openEditor = g_openRaw = OpenSide{};
    for (auto _ : state) {
        OpenRun editor, raw;
        if (!runOpen("open-editor", cluster.connectionString(name), editor) || !runOpen("open-raw", cluster.conninfo(name), raw))
            return state.SkipWithError("an open child failed");
        state.SetIterationTime(editor.seconds);
        g_openEditor.add(editor);
        g_openRaw.add(raw);
    }
    state.counters["rows"] = static_cast<double>(g_openEditor.rows);
    state.counters["statements"] = static_cast<double>(g_openEditor.statements);
    state.counters["peak_rss_MB"] = g_openEditor.peakRss / 1e6;
}

void openRaw(benchmark::State& state) {
    if (g_openRaw.seconds.empty()) return state.SkipWithError("pg/open/editor did not run");
    state.counters["statements"] = static_cast<double>(g_openRaw.statements);
    const MedianPair m = reportBaseline(state, g_openEditor, g_openRaw);
    if (!m.valid()) return;
    const double ratio = m.ratio();
    char detail[200];
    std::snprintf(detail, sizeof detail, "%.3f s / %.3f s (client CPU %.2f s / %.2f s); %ld / %ld rows, %ld / %ld statements",
                  m.editorTime, m.rawTime, m.editorCpu, m.rawCpu, g_openEditor.rows, g_openRaw.rows, g_openEditor.statements,
                  g_openRaw.statements);
    std::printf("PostgreSQL: open chart 10 with %s generated accounts (header to grid bound): editor %s, ratio %.2f\n",
                label(accounts()).c_str(), detail, ratio);
    bench::addSummary({"PG open " + label(accounts()) + " (header to grid bound)", ratio, "x", 1.2, detail});
}

// ---- save ----

struct SaveTimes {
    std::vector<double> editor, raw;
    double editorCpu = 0;
};
SaveTimes g_save;

// Each iteration one editor save (timed) and one hand-written save on another row right
// after it, so that both sides meet the same load.
void saveEditor(benchmark::State& state) {
    const std::string name = database(state, true);
    if (name.empty()) return;
    auto& cluster = PostgresCluster::instance();
    std::unique_ptr<EditorSaver> editorSaver;
    std::unique_ptr<RawSaver> rawSaver;
    try {
        editorSaver = std::make_unique<EditorSaver>(cluster.connectionString(name), savedAccount(0));
        rawSaver = std::make_unique<RawSaver>(cluster.conninfo(name), savedAccount(1));
        editorSaver->save(0);
        rawSaver->save(0);
    } catch (const std::exception& e) {
        return state.SkipWithError(e.what());
    }
    EditorSaver& editor = *editorSaver;
    RawSaver& raw = *rawSaver;
    g_save = SaveTimes{};
    long i = 1;
    double cpu = 0;
    for (auto _ : state) {
        const double before = threadCpuSeconds();
        const double seconds = editor.save(i);
        cpu += threadCpuSeconds() - before;
        state.SetIterationTime(seconds);
        g_save.editor.push_back(seconds);
        g_save.raw.push_back(raw.save(i));
        ++i;
    }
    if (const std::string shown = editor.shown(); !shown.empty()) return state.SkipWithError(("the save showed " + shown).c_str());
    g_save.editorCpu = cpu / static_cast<double>(g_save.editor.size());
    state.counters["client_cpu_us"] = 1e6 * g_save.editorCpu;
    if (const std::string problem = EditorSaver::historyProblem(); !problem.empty())
        std::printf("PostgreSQL save: %s\n", problem.c_str());
}

double mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

void saveRaw(benchmark::State& state) {
    if (g_save.raw.empty()) return state.SkipWithError("pg/save/editor did not run");
    std::size_t i = 0;
    for (auto _ : state) state.SetIterationTime(g_save.raw[i++ % g_save.raw.size()]);
    const double editorTime = mean(g_save.editor), rawTime = mean(g_save.raw);
    if (editorTime <= 0 || rawTime <= 0) return;
    const double ratio = editorTime / rawTime;
    state.counters["editor_over_raw"] = ratio;
    char detail[160];
    std::snprintf(detail, sizeof detail, "%.3f ms / %.3f ms wall (p99 %.3f / %.3f ms), %zu statements, durable",
                  1000 * editorTime, 1000 * rawTime, 1000 * percentile(g_save.editor, 0.99),
                  1000 * percentile(g_save.raw, 0.99), pg::saveStatements("", "", "").size());
    std::printf("PostgreSQL row save (validate, UPDATE, history, next row): editor %s, ratio %.2f\n", detail, ratio);
    bench::addSummary({"PG save, durable (fsync on, sync commit)", ratio, "x", 1.2, detail});
}

// ---- concurrent sessions ----

struct SessionsRun {
    double savesPerSecond = 0, p50 = 0, p99 = 0;
    long saves = 0, historyLost = 0;
};
std::map<int, SessionsRun> g_sessionsEditor;

long historyRows(const std::string& name) {
    const std::string n = RawPostgres(PostgresCluster::instance().conninfo(name)).value("SELECT count(*) FROM brv_storico");
    return n.empty() ? 0 : std::stol(n);
}

// n sessions of `side` saving at once; false (with the reason in `problem`) when one failed.
bool runSessions(const std::string& side, const std::string& name, int n, SessionsRun& out, std::string& problem) {
    auto& cluster = PostgresCluster::instance();
    const std::string connection = side == "save-editor" ? cluster.connectionString(name) : cluster.conninfo(name);
    const long count = envLong("BREVANTO_BENCH_PG_SAVES", 100);
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int s = 0; s < n; ++s)
        children.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{kPostgresChildFlag, side, connection, savedAccount(s), std::to_string(count)}));
    std::string line;
    for (auto& c : children)
        if (!c->started() || !c->readLine(line) || line != "ready") {
            problem = "a session did not start";
            return false;
        }
    // The sessions' first saves (which may find the row already holding the typed account) are
    // left out of the count.
    const long historyBefore = historyRows(name);
    for (auto& c : children) c->writeLine("go");
    long first = 0, last = 0;
    std::vector<double> latencies;
    for (auto& c : children) {
        long start = 0, end = 0;
        if (!c->readLine(line) || !(std::istringstream(line) >> start >> end) || !c->readLine(line)) {
            problem = "a session failed";
            return false;
        }
        std::istringstream in(line);
        for (double l; in >> l;) latencies.push_back(l);
        first = first == 0 ? start : std::min(first, start);
        last = std::max(last, end);
        if (!c->succeeded()) {
            problem = "a session failed";
            return false;
        }
    }
    const double wall = static_cast<double>(last - first) / 1e9;
    out.saves = static_cast<long>(latencies.size());
    out.savesPerSecond = wall > 0 ? static_cast<double>(out.saves) / wall : 0;
    out.p50 = percentile(latencies, 0.5);
    out.p99 = percentile(latencies, 0.99);
    out.historyLost = static_cast<long>(n) * count - (historyRows(name) - historyBefore);
    return true;
}

void setSessionCounters(benchmark::State& state, const SessionsRun& r) {
    state.counters["saves_per_s"] = r.savesPerSecond;
    state.counters["p50_ms"] = 1000 * r.p50;
    state.counters["p99_ms"] = 1000 * r.p99;
    state.counters["history_rows_lost"] = static_cast<double>(r.historyLost);
}

void sessionsEditor(benchmark::State& state, int n) {
    const std::string name = database(state, true);
    if (name.empty()) return;
    SessionsRun r;
    std::string problem;
    for (auto _ : state) {
        if (!runSessions("save-editor", name, n, r, problem)) return state.SkipWithError(problem.c_str());
        state.SetIterationTime(static_cast<double>(r.saves) / std::max(r.savesPerSecond, 1e-9));
    }
    g_sessionsEditor[n] = r;
    setSessionCounters(state, r);
}

void sessionsRaw(benchmark::State& state, int n) {
    const std::string name = database(state, true);
    if (name.empty()) return;
    auto editor = g_sessionsEditor.find(n);
    if (editor == g_sessionsEditor.end()) return state.SkipWithError("pg/sessions/editor did not run");
    SessionsRun r;
    std::string problem;
    for (auto _ : state) {
        if (!runSessions("save-raw", name, n, r, problem)) return state.SkipWithError(problem.c_str());
        state.SetIterationTime(static_cast<double>(r.saves) / std::max(r.savesPerSecond, 1e-9));
    }
    setSessionCounters(state, r);
    const SessionsRun& e = editor->second;
    if (e.savesPerSecond <= 0 || r.p99 <= 0) return;
    char detail[200];
    std::snprintf(detail, sizeof detail, "%.0f / %.0f saves/s; p50 %.2f / %.2f ms; p99 %.2f / %.2f ms; history rows lost %ld / %ld",
                  e.savesPerSecond, r.savesPerSecond, 1000 * e.p50, 1000 * r.p50, 1000 * e.p99, 1000 * r.p99,
                  e.historyLost, r.historyLost);
    std::printf("PostgreSQL, %d concurrent sessions saving (editor / libpq): %s\n", n, detail);
    const std::string sessions = std::to_string(n) + (n == 1 ? " session" : " sessions");
    bench::addSummary({"PG " + sessions + ": libpq saves/s over editor's", r.savesPerSecond / e.savesPerSecond, "x", 1.2, detail});
    bench::addSummary({"PG " + sessions + ": editor p99 over libpq's", e.p99 / r.p99, "x", 1.2, ""});
}

const bool registered = [] {
    const std::string n = label(accounts());
    benchmark::RegisterBenchmark(("pg/open/editor/" + n).c_str(), openEditor)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark(("pg/open/raw_libpq/" + n).c_str(), openRaw)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("pg/save/editor", saveEditor)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
    benchmark::RegisterBenchmark("pg/save/raw_libpq", saveRaw)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
    for (int sessions : {1, 2, 4, 8}) {
        benchmark::RegisterBenchmark(("pg/sessions/editor/" + std::to_string(sessions)).c_str(), sessionsEditor, sessions)
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
        benchmark::RegisterBenchmark(("pg/sessions/raw_libpq/" + std::to_string(sessions)).c_str(), sessionsRaw, sessions)
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
    }
    return true;
}();

}  // namespace

}  // namespace benchdb
