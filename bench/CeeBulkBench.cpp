// The interim-balance correlation by CEE scheme of chart 10 with BREVANTO_BENCH_CEE_ACCOUNTS
// generated accounts (default 100000; each linked to the scheme 82 on both signs by db init),
// against one hand-written statement doing the same (registered before main's own benchmarks
// run):
//
//   cee/bulk              the module's batch (standard chart 80, chart 10, scheme 82, interim
//                         balances 103) through db::Connection, its ELABORATI read
//   cee/bulk_raw_upsert   one INSERT ... SELECT ... ON CONFLICT DO UPDATE on a raw sqlite3
//                         handle giving chart 10 the same rows of CG83_COLLRICL
//
// Each iteration works on a fresh copy of the untouched database (copied untimed), both at the
// product's durability (synchronous=FULL, WAL). The raw benchmark reports `bulk_over_raw` and
// `same_rows` (1 when both left the same number of rows and reported the same count).

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "RawReplay.h"
#include "SizedDatabases.h"
#include "Summary.h"
#include "statements/ByCeeStatements.h"
#include "db/Connection.h"
#include "db/Recordset.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kChart = 10, kScheme = 82, kInterim = 103;

long accounts() {
    const char* n = std::getenv("BREVANTO_BENCH_CEE_ACCOUNTS");
    return n && *n ? std::atol(n) : 100000;
}

fs::path runFolder() {
    return benchdb::sizedDatabases().folder(accounts()).parent_path() / ("cee-run-" + std::to_string(::getpid()));
}

// A fresh copy of the untouched database, in a folder of its own.
fs::path freshCopy() {
    const fs::path& source = benchdb::sizedDatabases().folder(accounts());
    const fs::path dir = runFolder();
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* suffix : {"", "-wal"})
        if (fs::exists(source / ("BREVANTO.db" + std::string(suffix))))
            fs::copy_file(source / ("BREVANTO.db" + std::string(suffix)), dir / ("BREVANTO.db" + std::string(suffix)));
    return dir;
}

long storedRows(const fs::path& dir) {
    benchdb::RawSqlite raw(dir / "BREVANTO.db");
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = " + std::to_string(kChart) +
                            " AND CG83_CODICERICL_PC01 = " + std::to_string(kInterim);
    sqlite3_prepare_v2(raw.handle(), sql.c_str(), -1, &st, nullptr);
    const long n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_finalize(st);
    return n;
}

struct Result {
    double meanSeconds = 0;
    long processed = 0;   // ELABORATI, or the rows the upsert changed
    long stored = 0;      // chart 10's interim-balance rows afterwards
};
Result g_bulk;

void bulk(benchmark::State& state) {
    const std::string script = bycee::bulkCorrelationScript(bycee::kStandardLedgerChart, kChart, kScheme, kInterim);
    double total = 0;
    long iterations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = freshCopy();
        auto conn = db::Connection::create();
        conn->Open(benchdb::connectionStringOf(dir));
        state.ResumeTiming();
        const auto start = Clock::now();
        auto rs = conn->Execute(script);
        g_bulk.processed = rs->value("ELABORATI").toInt32();
        total += std::chrono::duration<double>(Clock::now() - start).count();
        state.PauseTiming();
        rs.reset();
        conn->Close();
        g_bulk.stored = storedRows(dir);
        ++iterations;
        state.ResumeTiming();
    }
    g_bulk.meanSeconds = iterations ? total / static_cast<double>(iterations) : 0;
    state.counters["processed"] = static_cast<double>(g_bulk.processed);
    state.counters["stored"] = static_cast<double>(g_bulk.stored);
}

const std::string& upsertSql() {
    static const std::string sql =
        "INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, "
        "  CG83_INDSEGNO) "
        "SELECT e.CG20_GRUPPO_CG10, e.CG20_CONTO_CG24, r.chart, r.target, e.CG20_INDSEGNO "
        "FROM CG20_COLLPDCRICL e "
        "JOIN (SELECT s.CG20_CODICE_CG23 AS item, s.CG20_INDSEGNO AS sign, b.CG83_CODICERICL_PC01 AS chart, "
        "        MIN(b.CG83_CONTORICL_PC03) AS target "
        "      FROM CG20_COLLPDCRICL s JOIN CG83_COLLRICL b ON b.CG83_CODICE_CG10 = s.CG20_GRUPPO_CG10 "
        "        AND b.CG83_CONTO_CG24 = s.CG20_CONTO_CG24 AND b.CG83_INDSEGNO = s.CG20_INDSEGNO "
        "        AND b.CG83_CODICERICL_PC01 = " + std::to_string(kInterim) +
        "      WHERE s.CG20_GRUPPO_CG10 = " + std::to_string(bycee::kStandardLedgerChart) +
        "        AND s.CG20_CODICE_CG21 = " + std::to_string(kScheme) +
        "      GROUP BY 1, 2, 3) r ON r.item = e.CG20_CODICE_CG23 AND r.sign = e.CG20_INDSEGNO "
        "WHERE e.CG20_GRUPPO_CG10 = " + std::to_string(kChart) + " AND e.CG20_CODICE_CG21 = " + std::to_string(kScheme) +
        " ON CONFLICT (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO) "
        "DO UPDATE SET CG83_CONTORICL_PC03 = excluded.CG83_CONTORICL_PC03";
    return sql;
}

void bulkRawUpsert(benchmark::State& state) {
    double total = 0;
    long iterations = 0, changed = 0, stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path dir = freshCopy();
        {
            benchdb::RawSqlite raw(dir / "BREVANTO.db");
            state.ResumeTiming();
            const auto start = Clock::now();
            char* error = nullptr;
            if (sqlite3_exec(raw.handle(), upsertSql().c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
                state.SkipWithError(error ? error : "the upsert failed");
                sqlite3_free(error);
                return;
            }
            changed = sqlite3_changes(raw.handle());
            total += std::chrono::duration<double>(Clock::now() - start).count();
            state.PauseTiming();
        }
        stored = storedRows(dir);
        ++iterations;
        state.ResumeTiming();
    }
    const double mean = iterations ? total / static_cast<double>(iterations) : 0;
    const bool same = changed == g_bulk.processed && stored == g_bulk.stored;
    state.counters["processed"] = static_cast<double>(changed);
    state.counters["stored"] = static_cast<double>(stored);
    state.counters["same_rows"] = same ? 1 : 0;
    if (mean <= 0 || g_bulk.meanSeconds <= 0) return;
    const double ratio = g_bulk.meanSeconds / mean;
    state.counters["bulk_over_raw"] = ratio;
    char detail[160];
    std::snprintf(detail, sizeof detail, "%.0f ms / %.0f ms; %ld rows processed, %s", 1000 * g_bulk.meanSeconds,
                  1000 * mean, g_bulk.processed, same ? "same rows" : "ROWS DIFFER");
    std::printf("CEE bulk of chart 10 with %ld generated accounts: module %s, ratio %.2f\n", accounts(), detail, ratio);
    bench::addSummary({"CEE bulk, " + std::to_string(accounts()) + " accounts", ratio, "x", 1.2, detail});
    std::error_code ec;
    fs::remove_all(runFolder(), ec);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("cee/bulk", bulk)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("cee/bulk_raw_upsert", bulkRawUpsert)->Unit(benchmark::kMillisecond)->Iterations(3);
    return true;
}();

}  // namespace
