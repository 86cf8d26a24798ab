// The correlation editor itself, timed beside raw SQLite (registered before main's own
// benchmarks run):
//
//   editor/fill            the header typed (chart 10, Tab, reclassification chart 101, Tab)
//                          until the grid is bound to its rows, through the editor and the host
//   editor/fill_raw_sqlite the statements that fill executed, already translated, on a raw
//                          sqlite3 handle on the same file (every returned row read)
//   editor/save            a typed account confirmed with Down: validation, the UPDATE, the
//                          description and the arrival on the next row; the account typed
//                          alternates between two, so every save changes the stored row
//   editor/save_raw_sqlite the statements of the first two saves, translated, replayed in turn
//                          on raw sqlite3, so that every UPDATE changes the row as well, with
//                          the history row the editor writes besides (historyWrite)
//   editor/save_cpu        editor/save with every connection at synchronous=OFF: the CPU time
//                          of a save without the disk syncs
//   editor/save_cpu_raw_sqlite  its statements replayed in turn at synchronous=OFF, CPU time
//
// Both save pairs run at one durability on each side: synchronous=FULL with WAL (the
// product's) for editor/save, OFF for editor/save_cpu. The raw benchmarks report
// `editor_over_raw`: the editor's mean time (CPU time for save_cpu) over theirs. The database
// is built once, in a folder of its own: the demo data plus BREVANTO_BENCH_ACCOUNTS generated
// accounts (default 100000) in chart 10 (BenchDatabase.h).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "EditorHost.h"
#include "RawReplay.h"
#include "Summary.h"
#include "SynchronousOff.h"

namespace {

using Clock = std::chrono::steady_clock;

using benchdb::database;
using benchdb::Recorder;
using benchdb::translated;

struct Host : benchdb::EditorHost {
    Host() : benchdb::EditorHost(database().connectionString()) {}
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// What an editor benchmark measured, for the raw one that follows: the translated statements
// of its first rounds, replayed in turn.
struct Measured {
    std::vector<std::vector<std::string>> rounds;
    benchdb::MeanTimes mean;
};
Measured g_fill, g_save, g_saveCpu;

void editorFill(benchmark::State& state) {
    database();
    Host h;
    double total = 0;
    long iterations = 0, rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto ed = h.open();
        Recorder recorder;
        state.ResumeTiming();
        auto start = Clock::now();
        benchdb::fillHeader(*ed);
        total += seconds(Clock::now() - start);
        state.PauseTiming();
        ++iterations;
        rows = ed->Grid()->rowCount();
        if (g_fill.rounds.empty()) g_fill.rounds.push_back(translated(*recorder.texts));
        if (!h.dialogs->takeShown().empty()) state.SkipWithError("the fill showed a message");
        ed->close();
        state.ResumeTiming();
    }
    g_fill.mean.wall = iterations ? total / static_cast<double>(iterations) : 0;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["statements"] = static_cast<double>(g_fill.rounds.front().size());
}

void rawFill(benchmark::State& state) {
    benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
    const double mean = benchdb::replayMeanTimes(state, raw, g_fill.rounds).wall;
    if (mean > 0 && g_fill.mean.wall > 0) {
        state.counters["editor_over_raw"] = g_fill.mean.wall / mean;
        std::printf("Editor fill (header to grid bound), %ld accounts: editor %.2f ms, raw SQLite %.2f ms, ratio %.2f\n",
                    database().accounts, 1000 * g_fill.mean.wall, 1000 * mean, g_fill.mean.wall / mean);
    }
}

// What the save's history entry costs: the editor also writes the change to BRV_STORICO,
// outside the statement trace (its next step number read, then one row); the raw rounds do the
// same, in a commit of its own as the editor does.
std::vector<std::string> historyWrite(const char* before, const char* after) {
    return {"SELECT MAX(BRV_PASSO) AS ULTIMO FROM BRV_STORICO",
            std::string("INSERT INTO BRV_STORICO (BRV_PASSO, BRV_RIGA, BRV_ORIGINE, BRV_UTENTE, BRV_DATAORA, BRV_TIPO, "
                        "BRV_PDC, BRV_PDCRICL, BRV_TABELLA, BRV_CONTO, BRV_SEGNO, BRV_PRIMA, BRV_DOPO, BRV_RIFERIMENTO) "
                        "SELECT COALESCE(MAX(BRV_PASSO), 0) + 1, 1, 'Editor', 'bench', '2026-01-01 00:00:00', 'COGE', "
                        "'10', '101', 'C', '0101010001', 1, '") +
                before + "', '" + after + "', 0 FROM BRV_STORICO"};
}

// Saves row 1 (0101010001, debit) again and again, typing two accounts in turn: the row and
// its credit row hold an account, so the save is an UPDATE, and coming back with Up saves
// nothing. The first two saves' statements are kept in `m`.
void timeSaves(benchmark::State& state, Measured& m) {
    database();
    Host h;
    auto ed = h.open();
    benchdb::fillHeader(*ed);
    auto rs = ed->GridRecordset();
    auto& box = ed->get<kit::CoinAccountBox>("TXT_CONTOCOIN");
    const char* accounts[2] = {"0101002", "0101001"};
    benchdb::MeanTimes total;
    long iterations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rs->setAbsolutePosition(1);
        box.FocusInput();
        box.enterText(accounts[iterations % 2]);
        Recorder recorder;
        state.ResumeTiming();
        const auto start = Clock::now();
        const double cpu = benchdb::threadCpuSeconds();
        ed->keyDown(kit::keys::Down);
        total.cpu += benchdb::threadCpuSeconds() - cpu;
        total.wall += seconds(Clock::now() - start);
        state.PauseTiming();
        if (m.rounds.size() < 2) {
            m.rounds.push_back(translated(*recorder.texts));
            for (auto& h : historyWrite(accounts[(iterations + 1) % 2], accounts[iterations % 2]))
                m.rounds.back().push_back(std::move(h));
            if (std::getenv("BREVANTO_BENCH_SHOW_STATEMENTS"))
                for (const auto& s : m.rounds.back()) std::printf("save %zu: %s\n", m.rounds.size(), s.c_str());
        }
        ++iterations;
        state.ResumeTiming();
    }
    if (!h.dialogs->takeShown().empty()) state.SkipWithError("the save showed a message");
    if (iterations) m.mean = {total.wall / static_cast<double>(iterations), total.cpu / static_cast<double>(iterations)};
    state.counters["statements"] = m.rounds.empty() ? 0 : static_cast<double>(m.rounds.front().size());
    state.counters["cpu_us"] = 1e6 * m.mean.cpu;
    ed->close();
}

void editorSave(benchmark::State& state) { timeSaves(state, g_save); }

void editorSaveCpu(benchmark::State& state) {
    const long before = benchdb::SynchronousOff::connections();
    benchdb::SynchronousOff off;
    timeSaves(state, g_saveCpu);
    state.counters["connections_sync_off"] = static_cast<double>(benchdb::SynchronousOff::connections() - before);
}

void rawSave(benchmark::State& state) {
    if (g_save.rounds.empty()) return state.SkipWithError("editor/save did not run");
    benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
    const auto mean = benchdb::replayMeanTimes(state, raw, g_save.rounds);
    if (mean.wall <= 0 || g_save.mean.wall <= 0) return;
    const double ratio = g_save.mean.wall / mean.wall;
    state.counters["editor_over_raw"] = ratio;
    std::printf("Editor row save, synchronous=FULL (validate, UPDATE, decode, next row), %ld accounts: editor %.3f ms, "
                "raw SQLite %.3f ms, ratio %.2f\n",
                database().accounts, 1000 * g_save.mean.wall, 1000 * mean.wall, ratio);
    char detail[96];
    std::snprintf(detail, sizeof detail, "%.3f ms / %.3f ms wall", 1000 * g_save.mean.wall, 1000 * mean.wall);
    bench::addSummary({"save, durable (synchronous=FULL, WAL)", ratio, "x", 0, detail});
}

void rawSaveCpu(benchmark::State& state) {
    if (g_saveCpu.rounds.empty()) return state.SkipWithError("editor/save_cpu did not run");
    benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
    raw.synchronousOff();
    const auto mean = benchdb::replayMeanTimes(state, raw, g_saveCpu.rounds);
    if (mean.cpu <= 0 || g_saveCpu.mean.cpu <= 0) return;
    const double ratio = g_saveCpu.mean.cpu / mean.cpu;
    state.counters["editor_over_raw"] = ratio;
    state.counters["cpu_us"] = 1e6 * mean.cpu;
    std::printf("Editor row save, synchronous=OFF, CPU time, %ld accounts: editor %.1f us, raw SQLite %.1f us, "
                "ratio %.2f\n",
                database().accounts, 1e6 * g_saveCpu.mean.cpu, 1e6 * mean.cpu, ratio);
    char detail[96];
    std::snprintf(detail, sizeof detail, "%.1f us / %.1f us CPU, %zu statements", 1e6 * g_saveCpu.mean.cpu,
                  1e6 * mean.cpu, g_saveCpu.rounds.front().size());
    bench::addSummary({"save CPU (synchronous=OFF)", ratio, "x", 2.0, detail});
}

const bool registered = [] {
    benchmark::RegisterBenchmark("editor/fill", editorFill)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("editor/fill_raw_sqlite", rawFill)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("editor/save", editorSave)->Unit(benchmark::kMicrosecond)->Iterations(200);
    benchmark::RegisterBenchmark("editor/save_raw_sqlite", rawSave)->Unit(benchmark::kMicrosecond)->Iterations(200);
    benchmark::RegisterBenchmark("editor/save_cpu", editorSaveCpu)->Unit(benchmark::kMicrosecond)->Iterations(1000);
    benchmark::RegisterBenchmark("editor/save_cpu_raw_sqlite", rawSaveCpu)->Unit(benchmark::kMicrosecond)->Iterations(1000);
    return true;
}();

}  // namespace
