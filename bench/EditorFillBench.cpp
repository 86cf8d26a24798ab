// The correlation editor itself, timed beside raw SQLite (registered before main's own
// benchmarks run):
//
//   editor/fill            the header typed (chart 10, Tab, reclassification chart 101, Tab)
//                          until the grid is bound to its rows, through the editor and the host
//   editor/fill_raw_sqlite the statements that fill executed, already translated, on a raw
//                          sqlite3 handle on the same file (every returned row read)
//   editor/save            a typed account confirmed with Down: validation, the UPDATE, the
//                          description and the arrival on the next row
//   editor/save_raw_sqlite the statements of one save, translated, on raw sqlite3
//
// The raw benchmarks report `editor_over_raw`: the editor's mean time over theirs. The
// database is built once, in a folder of its own: the demo data plus BREVANTO_BENCH_ACCOUNTS
// generated accounts (default 100000) in chart 10 (BenchDatabase.h).

#include <benchmark/benchmark.h>

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "RawReplay.h"
#include "db/Connection.h"
#include "editor/FRMCG_CORRRICL.h"
#include "entry/CorrelationEntryClass.h"
#include "entry/ModuleObjects.h"
#include "kit/WindowSystem.h"
#include "standalone/HostEventLog.h"
#include "standalone/RecordingModels.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/StandaloneHost.h"

namespace {

using Clock = std::chrono::steady_clock;

using benchdb::database;
using benchdb::Recorder;
using benchdb::translated;

// The stand-alone host with scripted dialogs, as the automation driver and the tests use it.
struct Host {
    kit::TestWindowSystem windows;
    std::shared_ptr<standalone::HostEventLog> events = std::make_shared<standalone::HostEventLog>();
    std::shared_ptr<standalone::ScriptedDialogs> dialogs = std::make_shared<standalone::ScriptedDialogs>(events);
    standalone::StandaloneHost host;
    Host() {
        standalone::Settings settings;
        settings.connectionString = database().connectionString();
        settings.companyCode = 1;
        settings.ledgerLevels = 4;
        host = standalone::StandaloneHost::create(settings, dialogs, events);
        entry::setWindowSystem(&windows);
    }
    ~Host() { entry::setWindowSystem(nullptr); }

    std::shared_ptr<entry::CorrelationEntryClass> entry;
    std::shared_ptr<editor::FRMCG_CORRRICL> open() {
        entry = std::make_shared<entry::CLSCG_CORRRICLCOGE>();
        entry->setClsGlobal(host.global);
        entry->setActiveNavigator(host.newNavigator());
        entry->setClsVoceMenu(std::make_shared<standalone::SimpleMenuEntry>("Correlazioni"));
        entry->setWindowModal(false);
        entry->setIsActive(true);
        entry->ShowForm();
        return entry->Editor();
    }
};

void fillHeader(editor::FRMCG_CORRRICL& ed) {
    auto& pdc = ed.get("TXT_CODICE_PDC");
    ed.setFocus(pdc);
    pdc.enterText("10");
    ed.keyDown(kit::keys::Tab);
    auto& ricl = ed.get("TXT_CODICE_RICL");
    ed.setFocus(ricl);
    ricl.enterText("101");
    ed.keyDown(kit::keys::Tab);
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// What the editor benchmarks measured, for the raw ones that follow.
struct Measured {
    std::vector<std::string> statements;   // translated
    double meanSeconds = 0;
};
Measured g_fill, g_save;

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
        fillHeader(*ed);
        total += seconds(Clock::now() - start);
        state.PauseTiming();
        ++iterations;
        rows = ed->Grid()->rowCount();
        if (g_fill.statements.empty()) g_fill.statements = translated(*recorder.texts);
        if (!h.dialogs->takeShown().empty()) state.SkipWithError("the fill showed a message");
        ed->close();
        state.ResumeTiming();
    }
    g_fill.meanSeconds = iterations ? total / static_cast<double>(iterations) : 0;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["statements"] = static_cast<double>(g_fill.statements.size());
}

void rawReport(benchmark::State& state, const Measured& m, const char* what) {
    benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
    const double mean = benchdb::replayMeanSeconds(state, raw, m.statements);
    if (mean > 0 && m.meanSeconds > 0) {
        state.counters["editor_over_raw"] = m.meanSeconds / mean;
        std::printf("%s, %ld accounts: editor %.2f ms, raw SQLite %.2f ms, ratio %.2f\n", what, database().accounts,
                    1000 * m.meanSeconds, 1000 * mean, m.meanSeconds / mean);
    }
}

void rawFill(benchmark::State& state) { rawReport(state, g_fill, "Editor fill (header to grid bound)"); }

void editorSave(benchmark::State& state) {
    database();
    Host h;
    auto ed = h.open();
    fillHeader(*ed);
    auto rs = ed->GridRecordset();
    auto& box = ed->get<kit::CoinAccountBox>("TXT_CONTOCOIN");
    // Row 1 (0101010001, debit) holds an account, as does its credit row: the save is an
    // UPDATE, and coming back with Up saves nothing.
    const char* accounts[2] = {"0101002", "0101001"};
    double total = 0;
    long iterations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rs->setAbsolutePosition(1);
        box.FocusInput();
        box.enterText(accounts[iterations % 2]);
        Recorder recorder;
        state.ResumeTiming();
        auto start = Clock::now();
        ed->keyDown(kit::keys::Down);
        total += seconds(Clock::now() - start);
        state.PauseTiming();
        if (g_save.statements.empty()) g_save.statements = translated(*recorder.texts);
        ++iterations;
        state.ResumeTiming();
    }
    if (!h.dialogs->takeShown().empty()) state.SkipWithError("the save showed a message");
    g_save.meanSeconds = iterations ? total / static_cast<double>(iterations) : 0;
    state.counters["statements"] = static_cast<double>(g_save.statements.size());
    ed->close();
}

void rawSave(benchmark::State& state) { rawReport(state, g_save, "Editor row save (validate, UPDATE, decode, next row)"); }

const bool registered = [] {
    benchmark::RegisterBenchmark("editor/fill", editorFill)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("editor/fill_raw_sqlite", rawFill)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("editor/save", editorSave)->Unit(benchmark::kMicrosecond)->Iterations(200);
    benchmark::RegisterBenchmark("editor/save_raw_sqlite", rawSave)->Unit(benchmark::kMicrosecond)->Iterations(200);
    return true;
}();

}  // namespace
