// "Anteprima bilancio riclassificato" of chart 10 with BREVANTO_BENCH_ACCOUNTS generated
// accounts (default 100000), against the work done plainly (registered before main's own
// benchmarks run):
//
//   statement/full_recompute   the preview of reclassification chart 106 at one date from the
//                              database: the balances at that date, the stored correlations,
//                              the chart's mask, every amount and total computed (the chart's
//                              sixty accounts are read once, untimed)
//   statement/aggregate_sql    one hand-written aggregate query on a raw sqlite3 handle (same
//                              file) giving the same amounts per reclassified account: the
//                              balances joined with the correlation of their sign, summed
//   statement/incremental      one correlation changed (setTarget), its balance moved along
//                              the totals; per change, against a full in-memory recomputation
//
// aggregate_sql reports `full_over_sql`, incremental `change_over_full` (one change over a
// whole recomputation from the loaded data). Chart 106 is a copy of chart 101 made here, so
// that the other benchmarks keep their data; every account gets a balance at two dates (a
// sixth of them change sign between the two), three quarters a Dare correlation and half an
// Avere one.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "BenchDatabase.h"
#include "CogeScope.h"
#include "RawReplay.h"
#include "db/Connection.h"
#include "mapping/ChartData.h"
#include "statement/Preview.h"
#include "statement/PreviewLoad.h"

namespace {

using Clock = std::chrono::steady_clock;
using benchdb::database;

constexpr const char* kReclChart = "106";
constexpr const char* kDate = "2026-06-30";

void prepare() {
    static const bool done = [] {
        benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
        raw.run(
            "BEGIN;"
            "CREATE TABLE IF NOT EXISTS BRV_SALDI (BRV_DITTA int NOT NULL, BRV_PDC smallint NOT NULL,"
            "  BRV_DATA nvarchar(10) NOT NULL, BRV_CONTO nvarchar(10) NOT NULL,"
            "  BRV_DARE decimal(18,2) NOT NULL DEFAULT 0, BRV_AVERE decimal(18,2) NOT NULL DEFAULT 0,"
            "  PRIMARY KEY (BRV_DITTA, BRV_PDC, BRV_DATA, BRV_CONTO));" +
            benchdb::copyReclChartSql(101, 106, "Copia per l'anteprima") +
            "CREATE TEMP TABLE ACCOUNTS AS SELECT CG24_CONTO AS C, (rowid % 12) AS Q FROM CG24_TABPDC "
            "  WHERE CG24_GRUPPO_CG10 = 10;"
            "INSERT INTO BRV_SALDI SELECT 1, 10, '2025-12-31', C, 1000 + Q * 37.25, 400 + Q * 11.5 FROM ACCOUNTS;"
            "INSERT INTO BRV_SALDI SELECT 1, 10, '2026-06-30', C, CASE WHEN Q < 2 THEN 100 ELSE 900 + Q * 13.1 END,"
            "  CASE WHEN Q < 2 THEN 2500.75 ELSE 300 + Q END FROM ACCOUNTS;"
            "INSERT INTO CG83_COLLRICL SELECT 10, C, 106, 1, CASE Q % 3 WHEN 0 THEN '0202001' WHEN 1 THEN '0203002' "
            "  ELSE '0204001' END FROM ACCOUNTS WHERE Q < 9;"
            "INSERT INTO CG83_COLLRICL SELECT 10, C, 106, 2, CASE Q % 2 WHEN 0 THEN '0501001' ELSE '0501004' END "
            "  FROM ACCOUNTS WHERE Q % 2 = 0 OR Q = 1;"
            "DROP TABLE ACCOUNTS;"
            "COMMIT;");
        return true;
    }();
    (void)done;
}

mapping::Scope scope() { return bench::cogeScopeOfChart10(kReclChart); }
using bench::seconds;

// The reclassification chart's accounts, read once (sixty rows; ChartData::load also lists
// the ledger accounts, which the amounts do not need).
const std::unordered_map<std::string, mapping::ReclAccount>& reclAccounts() {
    static const auto accounts = [] {
        auto conn = db::Connection::create();
        conn->Open(database().connectionString());
        return mapping::ChartData::load(*conn, scope()).reclAccounts();
    }();
    return accounts;
}

double g_fullSeconds = 0;
statement::Cents g_fullReceivables = 0;

void fullRecompute(benchmark::State& state) {
    prepare();
    reclAccounts();
    auto conn = db::Connection::create();
    conn->Open(database().connectionString());
    double total = 0;
    long iterations = 0;
    std::size_t accounts = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        statement::ReclChart chart(reclAccounts(), statement::readReclMask(*conn, kReclChart));
        auto balances = statement::TrialBalances::read(*conn, "1", "10", std::string(kDate));
        statement::Preview preview(std::move(chart), std::move(balances), statement::readCorrelations(*conn, scope()),
                                   std::string(kDate));
        total += seconds(Clock::now() - start);
        ++iterations;
        accounts = preview.balances().accounts().size();
        g_fullReceivables = preview.lines()[static_cast<std::size_t>(preview.lineOf("0202001"))].own;
    }
    g_fullSeconds = iterations ? total / static_cast<double>(iterations) : 0;
    state.counters["accounts"] = static_cast<double>(accounts);
}

void aggregateSql(benchmark::State& state) {
    prepare();
    benchdb::RawSqlite raw(database().dir / "BREVANTO.db");
    const std::string sql =
        "SELECT c.CG83_CONTORICL_PC03, SUM(s.BRV_DARE - s.BRV_AVERE), COUNT(*) FROM BRV_SALDI s "
        "LEFT JOIN CG83_COLLRICL c ON c.CG83_CODICE_CG10 = 10 AND c.CG83_CONTO_CG24 = s.BRV_CONTO "
        "  AND c.CG83_CODICERICL_PC01 = " + std::string(kReclChart) +
        "  AND c.CG83_INDSEGNO = CASE WHEN s.BRV_DARE > s.BRV_AVERE THEN 1 ELSE 2 END "
        "WHERE s.BRV_DITTA = 1 AND s.BRV_PDC = 10 AND s.BRV_DATA = '" + kDate + "' AND s.BRV_DARE <> s.BRV_AVERE "
        "GROUP BY c.CG83_CONTORICL_PC03";
    double total = 0;
    long iterations = 0;
    double receivables = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw.handle(), sql.c_str(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* target = sqlite3_column_text(st, 0);
            const double amount = sqlite3_column_double(st, 1);
            if (target && std::string(reinterpret_cast<const char*>(target)) == "0202001") receivables = amount;
        }
        sqlite3_finalize(st);
        total += seconds(Clock::now() - start);
        ++iterations;
    }
    const double mean = iterations ? total / static_cast<double>(iterations) : 0;
    if (mean > 0 && g_fullSeconds > 0) {
        state.counters["full_over_sql"] = g_fullSeconds / mean;
        state.counters["same_amounts"] = statement::centsOf(receivables) == g_fullReceivables ? 1 : 0;
        std::printf("Preview of %ld accounts from the database: %.1f ms, one aggregate query %.1f ms, ratio %.2f\n",
                    database().accounts, 1000 * g_fullSeconds, 1000 * mean, g_fullSeconds / mean);
    }
}

void incremental(benchmark::State& state) {
    prepare();
    auto conn = db::Connection::create();
    conn->Open(database().connectionString());
    const auto data = mapping::ChartData::load(*conn, scope());
    const statement::ReclChart chart(data.reclAccounts(), statement::readReclMask(*conn, kReclChart));
    const auto balances = statement::TrialBalances::read(*conn, "1", "10");
    statement::Preview preview(chart, balances, data.stored, std::string(kDate));
    const auto& accounts = balances.accounts();
    // Changes spread over the chart: each moves a balance between two totals and back.
    const char* const targets[] = {"0501003", "0204002", "", "0701001"};
    std::size_t i = 0;
    double total = 0;
    long changes = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const std::string& account = accounts[(i * 7919) % accounts.size()];
        const int sign = 1 + static_cast<int>(i % 2);
        preview.setTarget({account, sign}, targets[i % 4]);
        total += seconds(Clock::now() - start);
        ++i;
        ++changes;
    }
    const double perChange = changes ? total / static_cast<double>(changes) : 0;
    const auto start = Clock::now();
    statement::Preview full(chart, balances, data.stored, std::string(kDate));
    const double fullSeconds = seconds(Clock::now() - start);
    benchmark::DoNotOptimize(full);
    state.counters["accounts"] = static_cast<double>(accounts.size());
    state.counters["ms_per_change"] = 1000 * perChange;
    if (fullSeconds > 0) state.counters["change_over_full"] = perChange / fullSeconds;
    std::printf("Preview of %zu accounts: %.4f ms per correlation change, full recomputation in memory %.1f ms\n",
                accounts.size(), 1000 * perChange, 1000 * fullSeconds);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("statement/full_recompute", fullRecompute)->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("statement/aggregate_sql", aggregateSql)->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("statement/incremental", incremental)->Unit(benchmark::kMicrosecond)->Iterations(20000);
    return true;
}();

}  // namespace
