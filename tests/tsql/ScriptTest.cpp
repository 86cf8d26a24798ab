// The script files under tests/tsql/scripts/ (see ScriptFile.h): T-SQL translated and run on an
// in-memory SQLite database with the translator's runtime and the host's table functions.

#include "ScriptFile.h"
#include "db/sqlite/SqliteRuntime.h"
#include "db/tsql/Translator.h"
#include "hostdb/BackendSchema.h"
#include "hostdb/SqliteTableFunctions.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sstream>
#include <stdexcept>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Runner final : public tsqltest::ScriptRunner {
public:
    Runner() {
        if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("cannot open SQLite");
        db::sqlite::registerSqliteRuntime(db_);
        hostdb::registerTableFunctions(db_);
    }
    ~Runner() { sqlite3_close(db_); }
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    void fixture(const std::string& sql) override { raw(sql); }

    void raw(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string msg = err ? err : "?";
            sqlite3_free(err);
            throw Failure(msg);
        }
    }

    // Runs the translation's steps as the backend does; returns the rows of the result sets.
    std::vector<std::string> run(const std::string& tsql, long long& changes) override {
        const db::tsql::Translation t = db::tsql::translate(tsql, hostdb::translateOptions());
        std::vector<std::string> rows;
        changes = 0;
        if (t.atomic) raw("SAVEPOINT script_statement");
        try {
            for (const auto& step : t.steps) runStep(step, rows, changes);
        } catch (...) {
            if (t.atomic) raw("ROLLBACK TO script_statement; RELEASE script_statement");
            throw;
        }
        if (t.atomic) raw("RELEASE script_statement");
        return rows;
    }

private:
    sqlite3* db_ = nullptr;

    void check(int rc) {
        if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) throw Failure(sqlite3_errmsg(db_));
    }

    void runStep(const db::tsql::Step& step, std::vector<std::string>& rows, long long& changes) {
        sqlite3_stmt* stmt = nullptr;
        check(sqlite3_prepare_v2(db_, step.sql.c_str(), -1, &stmt, nullptr));
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
        const bool readOnly = sqlite3_stmt_readonly(stmt);
        sqlite3_stmt* capture = nullptr;
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> captureGuard(nullptr, sqlite3_finalize);
        const int columns = sqlite3_column_count(stmt);
        if (!step.captureInto.empty()) {
            std::string ins = "INSERT INTO \"" + step.captureInto + "\" VALUES (";
            for (int i = 0; i < columns; ++i) ins += i ? ", ?" : "?";
            check(sqlite3_prepare_v2(db_, (ins + ")").c_str(), -1, &capture, nullptr));
            captureGuard.reset(capture);
        }
        long long captured = 0;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (!step.failWhenNonZero.empty()) {
                if (sqlite3_column_int64(stmt, 0) != 0) throw Failure(step.failWhenNonZero);
            } else if (capture) {
                for (int i = 0; i < columns; ++i) sqlite3_bind_value(capture, i + 1, sqlite3_column_value(stmt, i));
                check(sqlite3_step(capture));
                sqlite3_reset(capture);
                ++captured;
            } else if (step.returnsRows) {
                std::string row;
                for (int i = 0; i < columns; ++i) {
                    if (i) row += " | ";
                    const auto* text = sqlite3_column_text(stmt, i);
                    row += sqlite3_column_type(stmt, i) == SQLITE_NULL ? "NULL" : reinterpret_cast<const char*>(text);
                }
                rows.push_back(row);
            }
        }
        check(rc);
        if (!readOnly && step.failWhenNonZero.empty() && sqlite3_stmt_isexplain(stmt) == 0) {
            const std::string& s = step.sql;
            if (s.rfind("INSERT", 0) == 0 || s.rfind("UPDATE", 0) == 0 || s.rfind("DELETE", 0) == 0)
                changes += capture ? captured : sqlite3_changes64(db_);
        }
    }
};

TEST(TsqlScripts, EveryScriptRunsAsWritten) {
    const auto files = tsqltest::scriptFiles();
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        Runner runner;
        tsqltest::runScript(file, runner, 0);
    }
    EXPECT_FALSE(files.empty());
}

}  // namespace
