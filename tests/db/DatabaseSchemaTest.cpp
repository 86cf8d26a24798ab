// The SQLite backend learns the program's tables from the schema set at start-up
// (db/DatabaseSchema.h), and a session keeps the schema it opened with.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "db/Connection.h"
#include "db/DatabaseSchema.h"
#include "db/Error.h"
#include "hostdb/BackendSchema.h"
#include "hostdb/HostDatabase.h"
#include "hostdb/Schema.h"
#include "support/TestSupport.h"

namespace {

using testing::HasSubstr;

// The test programs run with the host schema set: a test that changes it puts it back.
struct RestoreHostSchema {
    ~RestoreHostSchema() { db::setDatabaseSchema(hostdb::backendSchema()); }
};

std::string openError(db::Connection& c, const std::string& connectionString) {
    try {
        c.Open(connectionString);
        return "";
    } catch (const db::Error& e) {
        return e.what();
    }
}

TEST(DatabaseSchema, AnSqliteSessionKeepsTheSchemaItOpenedWith) {
    testsupport::TempDir dir;
    hostdb::createHostDatabase(dir.path(), "H")->Close();
    const std::string cs = "Provider=SQLite;database=H;Data Source=" + dir.path().string();
    const std::string lookup = "SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(0, 1, 1)";
    auto hosted = db::Connection::create();
    hosted->Open(cs);

    RestoreHostSchema restore;
    db::setDatabaseSchema(nullptr);
    auto bare = db::Connection::create();
    // Without a schema no table makes the file the program's database, and the host's table
    // functions are not there.
    EXPECT_THAT(openError(*bare, cs), HasSubstr("non è un database Brevanto"));
    ASSERT_EQ(openError(*bare, cs + ";Schema=any"), "");
    EXPECT_THROW(bare->ExecuteAll(lookup), db::Error);
    // The session opened before still has both.
    EXPECT_EQ(hosted->ExecuteAll(lookup).resultSets.size(), 1u);

    db::setDatabaseSchema(hostdb::backendSchema());
    auto again = db::Connection::create();
    ASSERT_EQ(openError(*again, cs), "");
    EXPECT_EQ(again->ExecuteAll(lookup).resultSets.size(), 1u);
}

// A MERGE runs as one UPSERT on the unique keys the translation is told of: each must be the
// key the host DDL declares, or ON CONFLICT would name no constraint of the table.
TEST(DatabaseSchema, TheTranslationsUniqueKeysAreTheKeysOfTheHostTables) {
    const auto& keys = hostdb::translationSchema().uniqueKeys;
    ASSERT_FALSE(keys.empty());
    for (const auto& key : keys) {
        std::string declared = "PRIMARY KEY (";
        for (std::size_t i = 0; i < key.columns.size(); ++i) declared += (i ? ", " : "") + key.columns[i];
        declared += ")";
        bool found = false;
        for (const auto& ddl : hostdb::hostSchemaStatements())
            if (ddl.rfind("CREATE TABLE " + key.table + " (", 0) == 0) {
                found = true;
                EXPECT_THAT(ddl, HasSubstr(declared)) << key.table;
            }
        EXPECT_TRUE(found) << key.table;
    }
}

}  // namespace
