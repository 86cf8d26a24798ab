#pragma once
// Replaying what a client operation asked of the database on a raw sqlite3 handle: the
// statements recorded while the operation ran, translated once, then executed plainly with
// every returned row read. The baseline of the benchmarks that time an operation against the
// bare reads it needs.

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/Trace.h"
#include "db/sqlite/SqliteRuntime.h"
#include "db/tsql/Translator.h"
#include "hostdb/BackendSchema.h"
#include "hostdb/SqliteTableFunctions.h"

namespace benchdb {

// Collects the statements executed while it lives.
struct Recorder {
    std::shared_ptr<std::vector<std::string>> texts = std::make_shared<std::vector<std::string>>();
    long token;
    Recorder() {
        auto t = texts;
        token = db::addGlobalSink(db::makeSink([t](const db::TraceEvent& e) {
            if (!e.failed) t->push_back(e.commandText);
        }));
    }
    ~Recorder() { db::removeGlobalSink(token); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
};

// Raw SQLite over a database file, running translated statements and reading every value of
// every row.
class RawSqlite {
public:
    explicit RawSqlite(const std::filesystem::path& file) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file.string());
        sqlite3_busy_timeout(db_, 5000);
        // The durability of the client's connections: WAL (kept in the file) and SQLite's
        // default synchronous=FULL, written out so that a changed default shows here.
        sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        db::sqlite::registerSqliteRuntime(db_);
        hostdb::registerTableFunctions(db_);
    }
    ~RawSqlite() { sqlite3_close(db_); }
    RawSqlite(const RawSqlite&) = delete;
    RawSqlite& operator=(const RawSqlite&) = delete;

    // Runs every statement of `sql`; a failing one (the first DROP of a table that does not
    // exist yet) is skipped, as the client skips it.
    long run(const std::string& sql) {
        long rows = 0;
        const char* tail = sql.c_str();
        while (tail && *tail) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db_, tail, -1, &st, &tail) != SQLITE_OK) break;
            if (!st) continue;
            const int columns = sqlite3_column_count(st);
            while (sqlite3_step(st) == SQLITE_ROW) {
                ++rows;
                for (int c = 0; c < columns; ++c) readValue(st, c);
            }
            sqlite3_finalize(st);
        }
        return rows;
    }
    sqlite3* handle() { return db_; }

    // Reads one value in the type SQLite holds it in, as a client keeping typed values would.
    static void readValue(sqlite3_stmt* st, int c) {
        switch (sqlite3_column_type(st, c)) {
        case SQLITE_INTEGER: benchmark::DoNotOptimize(sqlite3_column_int64(st, c)); break;
        case SQLITE_FLOAT: benchmark::DoNotOptimize(sqlite3_column_double(st, c)); break;
        case SQLITE_TEXT: benchmark::DoNotOptimize(sqlite3_column_text(st, c)); break;
        case SQLITE_BLOB: benchmark::DoNotOptimize(sqlite3_column_blob(st, c)); break;
        default: break;
        }
    }
    void synchronousOff() { sqlite3_exec(db_, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr); }

private:
    sqlite3* db_ = nullptr;
};

// The recorded texts translated for SQLite; one the translator refuses is left out (the
// client's connection refused it as well).
inline std::vector<std::string> translated(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts) {
        try {
            for (const auto& step : db::tsql::translate(t, hostdb::translateOptions()).steps)
                out.push_back(step.sql);
        } catch (const std::exception&) {
        }
    }
    return out;
}

// The CPU time the calling thread (or with CLOCK_PROCESS_CPUTIME_ID the process) has used, in
// seconds.
inline double threadCpuSeconds(clockid_t clock = CLOCK_THREAD_CPUTIME_ID) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Mean wall-clock and CPU time of one run, in seconds.
struct MeanTimes {
    double wall = 0;
    double cpu = 0;
};

// Runs the statements of `rounds` once per iteration of `state`, round i % size at iteration
// i (a write recorded in turn with two values keeps changing the row), sets the counter
// rows_read, and returns the mean times of one run.
inline MeanTimes replayMeanTimes(benchmark::State& state, RawSqlite& raw,
                                 const std::vector<std::vector<std::string>>& rounds) {
    using Clock = std::chrono::steady_clock;
    MeanTimes total;
    long iterations = 0, rows = 0;
    for (auto _ : state) {
        const auto& statements = rounds[static_cast<std::size_t>(iterations) % rounds.size()];
        const auto start = Clock::now();
        const double cpu = threadCpuSeconds();
        rows = 0;
        for (const auto& s : statements) rows += raw.run(s);
        total.cpu += threadCpuSeconds() - cpu;
        total.wall += std::chrono::duration<double>(Clock::now() - start).count();
        ++iterations;
    }
    state.counters["rows_read"] = static_cast<double>(rows);
    if (iterations) {
        total.wall /= static_cast<double>(iterations);
        total.cpu /= static_cast<double>(iterations);
    }
    return total;
}

inline double replayMeanSeconds(benchmark::State& state, RawSqlite& raw, const std::vector<std::string>& statements) {
    return replayMeanTimes(state, raw, {statements}).wall;
}

}  // namespace benchdb
