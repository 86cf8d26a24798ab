// The recordset's row store at the size of the correlation editor's grid (the working table's
// reading query on the generated chart, two rows per account), beside the layout it replaced:
// every row a vector of values.
//
//   rowstore/memory          heap bytes per row of the grid recordset, and of the same rows
//                            as vectors of values (plus the view index and deleted flag per
//                            row the old store kept)
//   rowstore/filter          Recordset::setFilter on the grid recordset
//   rowstore/filter_vectors  the same criteria over the vector rows, as the old store matched
//   rowstore/find            Recordset::Find of the last account from the first row
//   rowstore/find_vectors    the same search over the vector rows
//
// The filter and find benchmarks over vectors report `recordset_over_vectors`, the recordset's
// mean time over theirs. BREVANTO_BENCH_ACCOUNTS sets the generated accounts (default 100000).

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchDatabase.h"
#include "apps/cli/WorkingRows.h"
#include "db/Connection.h"
#include "db/Criteria.h"
#include "db/Recordset.h"

namespace {

using Clock = std::chrono::steady_clock;

// Bytes malloc has handed out: small blocks and the large ones it maps on their own.
std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// The grid recordset and the same rows as vectors, read once per run.
struct Grid {
    std::shared_ptr<db::Connection> conn = db::Connection::create();
    std::shared_ptr<db::Recordset> rs;
    std::vector<db::Row> vectors;
    std::vector<db::FieldInfo> fields;
    double recordsetBytesPerRow = 0, vectorBytesPerRow = 0;
    std::string lastAccount;

    Grid() {
        conn->Open(benchdb::database().connectionString());
        brevanto::cli::ListRequest request;
        request.chart = "10";
        request.reclChart = "101";
        // Builds the working table; the rows it reads are left aside.
        { brevanto::cli::WorkingRowReader builder(*conn, request); }
        const std::size_t before = heapInUse();
        rs = conn->Execute(brevanto::cli::readingQuerySql());
        const std::size_t afterRecordset = heapInUse();
        const auto rows = static_cast<std::size_t>(rs->viewSize());
        vectors.reserve(rows);
        for (long i = 0; i < rs->viewSize(); ++i) vectors.push_back(rs->viewRow(i).toRow());
        const std::size_t afterVectors = heapInUse();
        // The old store also kept a view index (std::size_t) and a deleted flag per row.
        const double oldPerRowExtras = sizeof(std::size_t) + 1;
        recordsetBytesPerRow = static_cast<double>(afterRecordset - before) / static_cast<double>(rows);
        vectorBytesPerRow = static_cast<double>(afterVectors - afterRecordset) / static_cast<double>(rows) + oldPerRowExtras;
        for (long i = 0; i < rs->fields().Count(); ++i) {
            auto& f = rs->fields().Item(i);
            fields.push_back({f.Name(), f.Type(), f.DefinedSize(), f.Attributes()});
        }
        lastAccount = rs->viewRow(rs->viewSize() - 1)[*rs->fields().indexOf("CONTOPDC")].toText();
    }
};

Grid& grid() {
    static Grid g;
    return g;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The criteria the editor's searches and a user's filters look like.
const char* const kFilters[] = {"SEGNO = 2 AND CONTORICL = NULL", "DESCRPDC LIKE '*0123*'"};

double g_filterMean = 0, g_findMean = 0;

void memory(benchmark::State& state) {
    Grid& g = grid();
    for (auto _ : state) benchmark::DoNotOptimize(g.rs->viewSize());
    state.counters["rows"] = static_cast<double>(g.vectors.size());
    state.counters["bytes_per_row"] = g.recordsetBytesPerRow;
    state.counters["vector_bytes_per_row"] = g.vectorBytesPerRow;
    std::printf("Grid recordset, %ld accounts (%zu rows): %.1f bytes per row; as vectors of values %.1f (ratio %.2f)\n",
                benchdb::database().accounts, g.vectors.size(), g.recordsetBytesPerRow, g.vectorBytesPerRow,
                g.recordsetBytesPerRow / g.vectorBytesPerRow);
}

void filterRecordset(benchmark::State& state) {
    Grid& g = grid();
    double total = 0;
    long iterations = 0, matched = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        for (const char* f : kFilters) {
            g.rs->setFilter(f);
            matched = g.rs->RecordCount();
        }
        total += seconds(Clock::now() - start);
        ++iterations;
    }
    g.rs->setFilter("");
    g_filterMean = total / static_cast<double>(iterations);
    state.counters["matched"] = static_cast<double>(matched);
}

void filterVectors(benchmark::State& state) {
    Grid& g = grid();
    double total = 0;
    long iterations = 0;
    std::size_t matched = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        for (const char* f : kFilters) {
            const db::Criteria c = db::Criteria::parse(f, g.fields);
            std::vector<std::size_t> view;
            view.reserve(64);
            for (std::size_t i = 0; i < g.vectors.size(); ++i)
                if (c.matches(g.vectors[i])) view.push_back(i);
            matched = view.size();
            benchmark::DoNotOptimize(view.data());
        }
        total += seconds(Clock::now() - start);
        ++iterations;
    }
    const double mean = total / static_cast<double>(iterations);
    state.counters["matched"] = static_cast<double>(matched);
    state.counters["recordset_over_vectors"] = g_filterMean / mean;
    std::printf("Filter (%zu rows): recordset %.2f ms, vectors %.2f ms, ratio %.2f\n", g.vectors.size(),
                1000 * g_filterMean, 1000 * mean, g_filterMean / mean);
}

std::string findCriteria() { return "CONTOPDC = '" + grid().lastAccount + "'"; }

void findRecordset(benchmark::State& state) {
    Grid& g = grid();
    const std::string criteria = findCriteria();
    double total = 0;
    long iterations = 0;
    for (auto _ : state) {
        g.rs->MoveFirst();
        auto start = Clock::now();
        g.rs->Find(criteria);
        total += seconds(Clock::now() - start);
        ++iterations;
        if (g.rs->Eof()) state.SkipWithError("the last account was not found");
    }
    g_findMean = total / static_cast<double>(iterations);
}

void findVectors(benchmark::State& state) {
    Grid& g = grid();
    const db::Criteria c = db::Criteria::parse(findCriteria(), g.fields);
    double total = 0;
    long iterations = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        std::size_t at = g.vectors.size();
        for (std::size_t i = 0; i < g.vectors.size(); ++i)
            if (c.matches(g.vectors[i])) {
                at = i;
                break;
            }
        total += seconds(Clock::now() - start);
        ++iterations;
        benchmark::DoNotOptimize(at);
    }
    const double mean = total / static_cast<double>(iterations);
    state.counters["recordset_over_vectors"] = g_findMean / mean;
    std::printf("Find of the last account (%zu rows): recordset %.2f ms, vectors %.2f ms, ratio %.2f\n",
                g.vectors.size(), 1000 * g_findMean, 1000 * mean, g_findMean / mean);
}

const bool registered = [] {
    benchmark::RegisterBenchmark("rowstore/memory", memory)->Iterations(1);
    benchmark::RegisterBenchmark("rowstore/filter", filterRecordset)->Unit(benchmark::kMillisecond)->Iterations(10);
    benchmark::RegisterBenchmark("rowstore/filter_vectors", filterVectors)->Unit(benchmark::kMillisecond)->Iterations(10);
    benchmark::RegisterBenchmark("rowstore/find", findRecordset)->Unit(benchmark::kMillisecond)->Iterations(10);
    benchmark::RegisterBenchmark("rowstore/find_vectors", findVectors)->Unit(benchmark::kMillisecond)->Iterations(10);
    return true;
}();

}  // namespace
