// brevanto-bench: what the T-SQL translation costs beside running the statements, and what the
// database client adds over raw SQLite when the COGE working table is built and read.
//
//   translate/<shape>   db::tsql::translate of one statement the editor issues
//   execute/<shape>     the same statement through db::Connection (translation included)
//   coge/client         CreaTabella + reading query through db::Connection and its Recordset
//   coge/raw_sqlite     the already-translated steps on a raw sqlite3 handle, same file
//
// The database is built once per run in a temporary folder: the demo data plus
// BREVANTO_BENCH_ACCOUNTS generated accounts (default 100000) in chart 10, listed twice each.

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

#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/schema/DemoData.h"
#include "db/schema/Schema.h"
#include "db/sqlite/TableFunctions.h"
#include "db/tsql/SqliteRuntime.h"
#include "db/tsql/Translator.h"

// The working rows as the list command builds them (the editor's statement builders).
#include "apps/cli/WorkingRows.h"

namespace {

namespace fs = std::filesystem;
using brevanto::cli::Kind;

fs::path g_dir;
long g_accounts = 100000;

std::string connectionString() {
    return "Provider=SQLite;database=BREVANTO;Data Source=" + g_dir.string();
}

void buildDatabase() {
    g_dir = fs::temp_directory_path() / ("brevanto-bench-" + std::to_string(::getpid()));
    fs::remove_all(g_dir);
    fs::create_directories(g_dir);
    auto host = db::Connection::create();
    host->Open(connectionString() + ";Create=1");
    db::schema::createHostSchema(*host);
    auto group = db::Connection::create();
    group->Open("Provider=SQLite;database=GRUPPO;Data Source=" + g_dir.string() + ";Create=1");
    db::schema::createHostSchema(*group);
    db::schema::DemoOptions options;
    options.generatedAccounts = g_accounts;
    db::schema::fillDemo(*host, *group, options);
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

const std::map<std::string, std::string>& shapes() {
    static const std::map<std::string, std::string> s = {
        {"chart_type", "SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = 101"},
        {"decode_account", "SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(101, '0101001', 1, Null) "},
        {"masters", " SELECT CG36_CODICE, CG36_CONTO_CG24 FROM CG36_PRSPDC WITH(NOLOCK) WHERE CG36_GRUPPO_CG10 = 10"},
        {"update_correlation",
         "UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0101001' WHERE CG83_CODICE_CG10 = 10 AND "
         "CG83_CONTO_CG24 = '0101010001' AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 1"},
        {"coin_query", brevanto::cli::coinQuerySql("201", "102", "1")},
        {"working_table_coge", cogeStatement()},
    };
    return s;
}

void translateShape(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto t = db::tsql::translate(text);
        benchmark::DoNotOptimize(t);
    }
}

void executeShape(benchmark::State& state, const std::string& text) {
    auto conn = db::Connection::create();
    conn->Open(connectionString());
    for (auto _ : state) {
        auto rs = conn->Execute(text);
        benchmark::DoNotOptimize(rs);
    }
}

void cogeClient(benchmark::State& state) {
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
    sqlite3* db = nullptr;
    const std::string file = (g_dir / "BREVANTO.db").string();
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the database");
        return;
    }
    db::tsql::registerSqliteRuntime(db);
    db::sqlite::registerTableFunctions(db);
    // Translated once, outside the measurement: this is SQLite's own share.
    auto create = db::tsql::translate(cogeStatement());
    auto read = db::tsql::translate(brevanto::cli::readingQuerySql());
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
            for (int c = 0; c < columns; ++c) benchmark::DoNotOptimize(sqlite3_column_text(st, c));
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
    if (const char* n = std::getenv("BREVANTO_BENCH_ACCOUNTS")) g_accounts = std::atol(n);
    benchmark::Initialize(&argc, argv);
    std::cout << "Building the database with " << g_accounts << " generated accounts...\n";
    buildDatabase();

    for (const auto& [name, text] : shapes()) {
        benchmark::RegisterBenchmark(("translate/" + name).c_str(), translateShape, text)->Unit(benchmark::kMicrosecond);
        if (name != "working_table_coge")
            benchmark::RegisterBenchmark(("execute/" + name).c_str(), executeShape, text)->Unit(benchmark::kMicrosecond);
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
    std::error_code ec;
    fs::remove_all(g_dir, ec);
    return 0;
}
