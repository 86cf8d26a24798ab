// "Verifica correlazioni" of a large chart, beside the bare reads it needs (registered before
// main's own benchmarks run):
//
//   check/load_and_check   ChartData::load (the editor's working rows, the reclassification
//                          chart, the masters, the stored correlations) and checkCorrelations
//                          of chart 10 against reclassification chart 105
//   check/check_only       checkCorrelations alone on the loaded data
//   check/raw_sqlite       the statements load_and_check executed, already translated, on a
//                          raw sqlite3 handle on the same file, every returned row read
//
// The raw benchmark reports `check_over_raw`: load_and_check's mean time over its own. Chart
// 105 is a copy of the reclassification chart 101 made for this benchmark, so that the other
// benchmarks keep their data: the demo's correlations plus, for the generated accounts, a
// quarter without correlation, a quarter in Dare only, a quarter with both signs alike and a
// quarter with different signs; three hundred orphans and a hundred targets that no longer exist.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "BenchDatabase.h"
#include "CogeScope.h"
#include "RawReplay.h"
#include "db/Connection.h"
#include "mapping/ChartData.h"
#include "mapping/Check.h"

namespace {

using Clock = std::chrono::steady_clock;
using benchdb::database;

constexpr const char* kReclChart = "105";

void prepareCorrelations() {
    static const bool done = [] {
        benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
        raw.run(
            "BEGIN;" + benchdb::copyReclChartSql(101, 105, "Copia per la verifica") +
            "INSERT INTO CG83_COLLRICL "
            "  SELECT CG83_CODICE_CG10, CG83_CONTO_CG24, 105, CG83_INDSEGNO, CG83_CONTORICL_PC03 "
            "  FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 101;"
            "CREATE TEMP TABLE GENERATED AS SELECT CG24_CONTO AS C, CAST(substr(CG24_CONTO, 7, 4) AS INTEGER) % 4 AS Q "
            "  FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 10 AND CG24_CONTO >= '1450' AND CG24_CONTO < '15' "
            "  AND substr(CG24_CONTO, 7, 4) <> '0000';"
            "INSERT INTO CG83_COLLRICL SELECT 10, C, 105, 1, '0202001' FROM GENERATED WHERE Q IN (1, 2, 3);"
            "INSERT INTO CG83_COLLRICL SELECT 10, C, 105, 2, CASE Q WHEN 2 THEN '0202001' ELSE '0203002' END "
            "  FROM GENERATED WHERE Q IN (2, 3);"
            "UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0299999' WHERE CG83_CODICERICL_PC01 = 105 AND "
            "  CG83_CONTO_CG24 IN (SELECT C FROM GENERATED WHERE Q = 1 LIMIT 100);"
            "INSERT INTO CG83_COLLRICL SELECT 10, '99' || substr(C, 3), 105, 1, '0202001' FROM GENERATED LIMIT 300;"
            "DROP TABLE GENERATED;"
            "COMMIT;");
        return true;
    }();
    (void)done;
}

mapping::Scope scope() { return bench::cogeScopeOfChart10(kReclChart); }
using bench::seconds;

struct Measured {
    std::vector<std::string> statements;   // translated
    double meanSeconds = 0;
} g_check;

void loadAndCheck(benchmark::State& state) {
    prepareCorrelations();
    auto conn = db::Connection::create();
    conn->Open(database().connectionString());
    double total = 0;
    long iterations = 0;
    mapping::CheckReport report;
    std::size_t accounts = 0;
    for (auto _ : state) {
        benchdb::Recorder recorder;
        const auto start = Clock::now();
        const auto data = mapping::ChartData::load(*conn, scope());
        report = mapping::checkCorrelations(*conn, data);
        total += seconds(Clock::now() - start);
        state.PauseTiming();
        accounts = data.accounts.size();
        if (g_check.statements.empty()) g_check.statements = benchdb::translated(*recorder.texts);
        ++iterations;
        state.ResumeTiming();
    }
    g_check.meanSeconds = iterations ? total / static_cast<double>(iterations) : 0;
    state.counters["accounts"] = static_cast<double>(accounts);
    state.counters["findings"] = static_cast<double>(report.findings.size());
    state.counters["orphans"] = static_cast<double>(report.count(mapping::CheckGroup::OrphanCorrelation));
    state.counters["invalid"] = static_cast<double>(report.count(mapping::CheckGroup::InvalidTarget));
    state.counters["statements"] = static_cast<double>(g_check.statements.size());
}

void checkOnly(benchmark::State& state) {
    prepareCorrelations();
    auto conn = db::Connection::create();
    conn->Open(database().connectionString());
    const auto data = mapping::ChartData::load(*conn, scope());
    for (auto _ : state) {
        auto report = mapping::checkCorrelations(*conn, data);
        benchmark::DoNotOptimize(report);
    }
}

void rawReads(benchmark::State& state) {
    benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
    const double mean = benchdb::replayMeanSeconds(state, raw, g_check.statements);
    if (mean > 0 && g_check.meanSeconds > 0) {
        state.counters["check_over_raw"] = g_check.meanSeconds / mean;
        std::printf("Check of %ld accounts (load included): %.0f ms, raw SQLite reads %.0f ms, ratio %.2f\n",
                    database().accounts, 1000 * g_check.meanSeconds, 1000 * mean, g_check.meanSeconds / mean);
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("check/load_and_check", loadAndCheck)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("check/check_only", checkOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("check/raw_sqlite", rawReads)->Unit(benchmark::kMillisecond)->Iterations(3);
    return true;
}();

}  // namespace
