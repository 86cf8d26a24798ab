// brevanto-bench: what the T-SQL translation costs beside running the statements, and what the
// database client adds over raw SQLite when the COGE working table is built and read.
//
//   translate/<shape>   db::tsql::translate of one statement the editor issues
//   execute/<shape>     the same statement through db::Connection (translation included);
//                       update_correlation writes two accounts in turn, so that every
//                       UPDATE changes the row
//   coge/client         CreaTabella + reading query through db::Connection and its Recordset
//   coge/raw_sqlite     the already-translated steps on a raw sqlite3 handle, same file
//
// The database is built once per run, when one of these runs first, in a temporary folder: the
// demo data plus BREVANTO_BENCH_ACCOUNTS generated accounts (default 100000) in chart 10,
// listed twice each.
//
// main also prints the summary of every benchmark of the run against its target (Summary.h),
// and runs the child processes of the open benchmarks (OpenChild.h).

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "OpenChild.h"
#include "PostgresChild.h"
#include "RawReplay.h"
#include "Summary.h"
#include "db/Connection.h"
#include "db/DatabaseSchema.h"
#include "db/Recordset.h"
#include "db/sqlite/SqliteRuntime.h"
#include "db/tsql/Translator.h"
#include "hostdb/BackendSchema.h"
#include "hostdb/SqliteTableFunctions.h"

// The working rows as the list command builds them (the editor's statement builders).
#include "apps/cli/WorkingRows.h"

namespace {

namespace fs = std::filesystem;
using brevanto::cli::Kind;

fs::path g_dir;
long g_accounts = 100000;

std::string connectionString() { return benchdb::connectionStringOf(g_dir); }

// Built on first use (and removed at exit), so that a run of other benchmarks does not wait
// for it.
void buildDatabase() {
    static const bool built = [] {
        if (const char* n = std::getenv("BREVANTO_BENCH_ACCOUNTS")) g_accounts = std::atol(n);
        std::cout << "Building the database with " << g_accounts << " generated accounts..." << std::endl;
        g_dir = fs::temp_directory_path() / ("brevanto-bench-" + std::to_string(::getpid()));
        benchdb::buildDemoDatabase(g_dir, g_accounts);
        return true;
    }();
    (void)built;
}

std::string cogeStatement() {
    brevanto::cli::WorkingTableInput in;
    in.kind = Kind::COGE;
    in.chart = "10";
    in.reclChart = "101";
    in.levels = 4;
    in.consLevels = 2;
    in.mask = "@@/@@/@@/@@@@";
    in.customersMaster = "1401000000";
    in.suppliersMaster = "2601000000";
    return brevanto::cli::creaTabellaSql(in);
}

std::string updateCorrelation(const char* account) {
    return std::string("UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '") + account +
           "' WHERE CG83_CODICE_CG10 = 10 AND CG83_CONTO_CG24 = '0101010001' AND CG83_CODICERICL_PC01 = 101 AND "
           "CG83_INDSEGNO = 1";
}

const std::map<std::string, std::string>& shapes() {
    static const std::map<std::string, std::string> s = {
        {"chart_type", "SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = 101"},
        {"decode_account", "SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(101, '0101001', 1, Null) "},
        {"masters", " SELECT CG36_CODICE, CG36_CONTO_CG24 FROM CG36_PRSPDC WITH(NOLOCK) WHERE CG36_GRUPPO_CG10 = 10"},
        {"update_correlation", updateCorrelation("0101001")},
        {"coin_query", brevanto::cli::coinQuerySql("201", "102", "1")},
        {"working_table_coge", cogeStatement()},
    };
    return s;
}

void translateShape(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto t = db::tsql::translate(text, hostdb::translateOptions());
        benchmark::DoNotOptimize(t);
    }
}

// Runs texts[i % size] at iteration i.
void executeShape(benchmark::State& state, const std::vector<std::string>& texts) {
    buildDatabase();
    auto conn = db::Connection::create();
    conn->Open(connectionString());
    std::size_t i = 0;
    for (auto _ : state) {
        auto rs = conn->Execute(texts[i++ % texts.size()]);
        benchmark::DoNotOptimize(rs);
    }
}

void cogeClient(benchmark::State& state) {
    buildDatabase();
    auto conn = db::Connection::create();
    conn->Open(connectionString());
    const std::string create = cogeStatement();
    const std::string read = brevanto::cli::readingQuerySql();
    long rows = 0;
    for (auto _ : state) {
        try {
            conn->Execute("DROP TABLE #CORRPDCRICL");
        } catch (const db::Exception&) {
            conn->Errors().Clear();
        }
        conn->Execute(create);
        auto rs = conn->Execute(read);
        rows = rs->RecordCount();
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) benchmark::DoNotOptimize(rs->value("CONTORICL"));
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void rawExec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(message + " in: " + sql.substr(0, 200));
    }
}

void cogeRawSqlite(benchmark::State& state) {
    buildDatabase();
    sqlite3* db = nullptr;
    const std::string file = (g_dir / "BREVANTO.db").string();
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the database");
        return;
    }
    db::sqlite::registerSqliteRuntime(db);
    hostdb::registerTableFunctions(db);
    // Translated once, outside the measurement: this is SQLite's own share.
    auto create = db::tsql::translate(cogeStatement(), hostdb::translateOptions());
    auto read = db::tsql::translate(brevanto::cli::readingQuerySql(), hostdb::translateOptions());
    long rows = 0;
    for (auto _ : state) {
        rawExec(db, "DROP TABLE IF EXISTS temp.\"#CORRPDCRICL\"");
        for (const auto& step : create.steps) rawExec(db, step.sql);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, read.steps.front().sql.c_str(), -1, &st, nullptr);
        rows = 0;
        const int columns = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < columns; ++c) benchdb::RawSqlite::readValue(st, c);
        }
        sqlite3_finalize(st);
    }
    state.counters["rows"] = static_cast<double>(rows);
    sqlite3_close(db);
}

// Keeps each run's real time to print the ratios at the end.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> realTime;   // in the run's time unit
    std::map<std::string, double> cpuTime;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "mean") {
                realTime[r.run_name.function_name] = r.GetAdjustedRealTime();
                cpuTime[r.run_name.function_name] = r.GetAdjustedCPUTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    db::setDatabaseSchema(hostdb::backendSchema());
    if (argc > 1 && std::string(argv[1]) == benchdb::kOpenChildFlag) return benchdb::runOpenChild(argc, argv);
    if (argc > 1 && std::string(argv[1]) == benchdb::kPostgresChildFlag) return benchdb::runPostgresChild(argc, argv);
    benchmark::Initialize(&argc, argv);

    for (const auto& [name, text] : shapes()) {
        benchmark::RegisterBenchmark(("translate/" + name).c_str(), translateShape, text)->Unit(benchmark::kMicrosecond);
        if (name != "working_table_coge")
            benchmark::RegisterBenchmark(("execute/" + name).c_str(), executeShape,
                                         name == "update_correlation"
                                             ? std::vector<std::string>{text, updateCorrelation("0101002")}
                                             : std::vector<std::string>{text})
                ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("coge/client", cogeClient)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("coge/raw_sqlite", cogeRawSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

    Collector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::cout << "\nTranslation share (translate / execute):\n";
    for (const auto& [name, text] : shapes()) {
        auto t = reporter.realTime.find("translate/" + name);
        auto e = reporter.realTime.find("execute/" + name);
        if (t != reporter.realTime.end() && e != reporter.realTime.end() && e->second > 0)
            std::printf("  %-20s %8.1f us / %8.1f us = %5.1f%%\n", name.c_str(), t->second, e->second,
                        100.0 * t->second / e->second);
    }
    auto c = reporter.realTime.find("coge/client");
    auto r = reporter.realTime.find("coge/raw_sqlite");
    auto tw = reporter.realTime.find("translate/working_table_coge");
    if (c != reporter.realTime.end() && r != reporter.realTime.end() && r->second > 0) {
        std::printf("COGE working table, %ld accounts x 2 signs: client %.0f ms, raw SQLite %.0f ms, ratio %.2f "
                    "(CPU: %.0f ms / %.0f ms = %.2f)\n",
                    g_accounts, c->second, r->second, c->second / r->second, reporter.cpuTime["coge/client"],
                    reporter.cpuTime["coge/raw_sqlite"],
                    reporter.cpuTime["coge/client"] / std::max(1e-9, reporter.cpuTime["coge/raw_sqlite"]));
        if (tw != reporter.realTime.end())
            std::printf("  translating its statement: %.1f us (%.4f%% of the client time)\n", tw->second,
                        100.0 * tw->second / 1000.0 / c->second);
    }
    bench::printSummary();
    std::error_code ec;
    if (!g_dir.empty()) fs::remove_all(g_dir, ec);
    return 0;
}
