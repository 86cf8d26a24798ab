// The embedded schema's indexes beyond the keys, as a new host database gets them.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "db/Connection.h"
#include "db/sqlite/SqliteRuntime.h"
#include "hostdb/HostDatabase.h"
#include "support/TestSupport.h"

namespace {

// The plan SQLite chooses for `sql` on the file, its lines joined with " | ".
std::string planOf(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    db::sqlite::registerSqliteRuntime(db);
    sqlite3_stmt* st = nullptr;
    std::string plan;
    if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &st, nullptr) != SQLITE_OK)
        plan = std::string("error: ") + sqlite3_errmsg(db);
    while (st && sqlite3_step(st) == SQLITE_ROW) plan += std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) + " | ";
    sqlite3_finalize(st);
    sqlite3_close(db);
    return plan;
}

// The bulk correlation by CEE scheme reads a chart's CEE rows of one scheme by item and sign,
// and all of them for the standard chart: both reads go through the index, not a scan.
TEST(HostSchemaIndexes, ANewDatabaseReadsCeeRowsByChartSchemeItemAndSign) {
    testsupport::TempDir dir;
    hostdb::createHostDatabase(dir.path(), "H")->Close();
    const std::string file = (dir.path() / "H.db").string();
    const std::string byItem = planOf(file,
                                      "SELECT CG20_CONTO_CG24 FROM CG20_COLLPDCRICL WHERE CG20_GRUPPO_CG10 = 2 "
                                      "AND CG20_CODICE_CG21 = 82 AND CG20_CODICE_CG23 = 'AII1' AND CG20_INDSEGNO = 1");
    EXPECT_NE(byItem.find("USING INDEX CG20_COLLPDCRICL_CEE (CG20_GRUPPO_CG10=? AND CG20_CODICE_CG21=? AND "
                          "CG20_CODICE_CG23=? AND CG20_INDSEGNO=?)"),
              std::string::npos)
        << byItem;
    const std::string byScheme =
        planOf(file, "SELECT CG20_CONTO_CG24, CG20_CODICE_CG23 FROM CG20_COLLPDCRICL WHERE CG20_GRUPPO_CG10 = 1 "
                     "AND CG20_CODICE_CG21 = 82");
    EXPECT_NE(byScheme.find("USING INDEX CG20_COLLPDCRICL_CEE (CG20_GRUPPO_CG10=? AND CG20_CODICE_CG21=?)"),
              std::string::npos)
        << byScheme;
}

}  // namespace
