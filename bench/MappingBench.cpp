// brevanto-bench: the whole-scope operations on chart 10 with BREVANTO_BENCH_ACCOUNTS generated
// accounts (default 100000), against baselines doing the same work plainly:
//
//   mapping/import_preview     a CSV of every account on both signs read back, compared with
//                              the database and checked row by row (ChartData::load included)
//   mapping/apply              that plan written by applyPlan in one transaction
//   mapping/apply_raw_upserts  the same rows as INSERT ... ON CONFLICT DO UPDATE on a raw
//                              sqlite3 handle in one transaction, same file, same journal
//
// After each apply the rows are taken out again (untimed), so every iteration adds them all.

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "db/sqlite/SqliteRuntime.h"
#include "mapping/BulkFill.h"
#include "mapping/Transfer.h"

namespace {

namespace fs = std::filesystem;

const char* const kTarget = "0202001";   // analytic, balance sheet: valid for every generated account

mapping::Scope scope() {
    mapping::Scope s;
    s.chart = "10";
    s.reclChart = "101";
    return s;
}

std::shared_ptr<db::Connection> connection() {
    auto c = db::Connection::create();
    c->Open(benchdb::database().connectionString());
    return c;
}

// Every account on both signs, all wanting kTarget where nothing is stored.
const mapping::Plan& fullPlan() {
    static const mapping::Plan plan = [] {
        auto conn = connection();
        mapping::ChartData data = mapping::ChartData::load(*conn, scope());
        std::vector<mapping::Key> keys;
        for (const auto& a : data.accounts)
            for (int sign : {1, 2})
                if (data.storedTarget({a.code, sign}).empty()) keys.push_back({a.code, sign});
        return mapping::makePlan(data, mapping::assignTarget(keys, kTarget));
    }();
    return plan;
}

void removeAdded(db::Connection& conn) {
    conn.Execute(std::string("DELETE FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 101 "
                             "AND CG83_CONTORICL_PC03 = '") + kTarget + "'");
}

void importPreview(benchmark::State& state) {
    auto conn = connection();
    const fs::path file = benchdb::database().dir / "correlazioni.csv";
    {
        mapping::ChartData data = mapping::ChartData::load(*conn, scope());
        auto rows = mapping::exportRows(data);
        for (auto& r : rows)
            if (r.target.empty()) r.target = kTarget;
        mapping::writeCorrelationFile(file, rows);
    }
    long planned = 0;
    for (auto _ : state) {
        auto preview = mapping::previewImport(*conn, file, scope());
        planned = static_cast<long>(preview.plan.rows.size());
        benchmark::DoNotOptimize(preview.plan.writes());
    }
    state.counters["rows"] = static_cast<double>(planned);
}

void apply(benchmark::State& state) {
    auto conn = connection();
    const mapping::Plan& plan = fullPlan();
    for (auto _ : state) {
        benchmark::DoNotOptimize(mapping::applyPlan(*conn, plan));
        state.PauseTiming();
        removeAdded(*conn);
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(plan.writes());
}

void applyRawUpserts(benchmark::State& state) {
    const mapping::Plan& plan = fullPlan();
    sqlite3* db = nullptr;
    sqlite3_open((benchdb::database().dir / "BREVANTO.db").c_str(), &db);
    db::sqlite::registerSqliteRuntime(db);   // the TSQL collation of the text columns
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);   // the client's durability
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    auto conn = connection();
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                           "CG83_CONTORICL_PC03, CG83_INDSEGNO) VALUES (10, ?1, 101, ?2, ?3) ON CONFLICT DO UPDATE "
                           "SET CG83_CONTORICL_PC03 = excluded.CG83_CONTORICL_PC03",
                           -1, &st, nullptr);
        for (const auto& row : plan.rows) {
            sqlite3_bind_text(st, 1, row.key.account.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 2, row.after.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int(st, 3, row.key.sign);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        removeAdded(*conn);
        state.ResumeTiming();
    }
    sqlite3_close(db);
    state.counters["rows"] = static_cast<double>(plan.writes());
}

}  // namespace

BENCHMARK(importPreview)->Name("mapping/import_preview")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(apply)->Name("mapping/apply")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(applyRawUpserts)->Name("mapping/apply_raw_upserts")->Unit(benchmark::kMillisecond)->Iterations(3);
