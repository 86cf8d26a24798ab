#pragma once
// Running the built brevanto-cli and reading its databases directly (raw SQLite) to check
// what a command left behind.

#include <sqlite3.h>

#include <nlohmann/json.hpp>

#include <string>

#include "db/sqlite/SqliteRuntime.h"
#include "support/TestSupport.h"
#include <gtest/gtest.h>

namespace clitest {

using testsupport::sh;

inline testsupport::CommandResult cli(const std::string& args, const std::string& input = "") {
    return testsupport::runCommand(std::string(BREVANTO_CLI) + " " + args, input);
}

// First column of the first row of a query on a database file, as text ("" when no row).
inline std::string scalar(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        db::sqlite::registerSqliteRuntime(db);   // the TSQL collation of the text columns
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out = t ? reinterpret_cast<const char*>(t) : "";
        } else {
            out = std::string("<error: ") + sqlite3_errmsg(db) + ">";
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

inline long count(const std::string& file, const std::string& where) {
    std::string n = scalar(file, "SELECT COUNT(*) FROM " + where);
    if (n.empty() || n[0] == '<') {
        ADD_FAILURE() << where << ": " << n;
        return -1;
    }
    return std::stol(n);
}

// A test suite on a demo database of its own, made by `db init --demo` before the suite's
// first test and removed after its last.
class DemoDatabaseSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testsupport::TempDir;
        auto r = cli("db init --demo --dir " + sh(dir_->str()));
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static inline testsupport::TempDir* dir_ = nullptr;
};

inline nlohmann::json parseJson(const std::string& text) {
    return nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
}

}  // namespace clitest
