#pragma once
// A demo database of its own for each test (copied from one made by `db init --demo` once per
// binary), a connection to it, and raw reads of what it holds.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "db/Connection.h"
#include "db/sqlite/SqliteRuntime.h"
#include "mapping/ChartData.h"
#include "support/TestSupport.h"

namespace mappingtest {

inline const std::filesystem::path& demoTemplate() {
    static testsupport::TempDir dir;
    static const bool made = [] {
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " db init --demo --dir '" + dir.str() + "'");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return true;
    }();
    (void)made;
    return dir.path();
}

class MappingTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"BREVANTO.db", "GRUPPO.db"})
            std::filesystem::copy_file(demoTemplate() / name, dir.path() / name);
        conn = db::Connection::create();
        conn->Open(connectionString());
    }
    std::string connectionString() const { return "Provider=SQLite;database=BREVANTO;Data Source=" + dir.str(); }
    std::string hostFile() const { return (dir.path() / "BREVANTO.db").string(); }

    static mapping::Scope coge(const std::string& chart = "10", const std::string& recl = "101") {
        mapping::Scope s;
        s.kind = mapping::CorrelationKind::COGE;
        s.chart = chart;
        s.reclChart = recl;
        return s;
    }
    mapping::ChartData load(const mapping::Scope& scope) { return mapping::ChartData::load(*conn, scope); }

    // Raw SQLite, past the client: the first column of the first row ("" for none).
    std::string scalar(const std::string& sql) const {
        sqlite3* db = nullptr;
        std::string out;
        if (sqlite3_open_v2(hostFile().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            db::sqlite::registerSqliteRuntime(db);
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
                if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
                    out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            } else {
                out = std::string("<error: ") + sqlite3_errmsg(db) + ">";
            }
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return out;
    }
    void rawExec(const std::string& sql) const {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(hostFile().c_str(), &db), SQLITE_OK);
        db::sqlite::registerSqliteRuntime(db);
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }
    // The stored target of chart 10 / reclassification 101 for an account and sign.
    std::string stored(const std::string& account, int sign, const std::string& chart = "10",
                       const std::string& recl = "101") const {
        return scalar("SELECT CG83_CONTORICL_PC03 FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = " + chart +
                      " AND CG83_CODICERICL_PC01 = " + recl + " AND CG83_CONTO_CG24 = '" + account +
                      "' AND CG83_INDSEGNO = " + std::to_string(sign));
    }
    long storedCount(const std::string& chart = "10", const std::string& recl = "101") const {
        return std::stol(scalar("SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = " + chart +
                                " AND CG83_CODICERICL_PC01 = " + recl));
    }

    testsupport::TempDir dir;
    std::shared_ptr<db::Connection> conn;
};

}  // namespace mappingtest
