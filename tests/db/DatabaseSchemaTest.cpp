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

}  // namespace
