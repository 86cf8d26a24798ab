// `brevanto-cli db init --conn` on a PostgreSQL database: the tables, the demonstration data and
// the intercompany database as schema GRUPPO, read back through the module's own T-SQL; a
// second init refused without touching anything. And the per-test databases the other test
// binaries build on.

#include <gtest/gtest.h>

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Recordset.h"
#include "db/SqlText.h"
#include "postgres/PostgresFixture.h"
#include "support/TestSupport.h"

namespace {

using testsupport::PostgresTestDatabase;
using testsupport::runCommand;
using testsupport::sh;

class PostgresDbInitTest : public PostgresFixture {};

TEST_F(PostgresDbInitTest, DemoOnAFreshDatabaseThenARefusal) {
    const std::string cli = std::string(BREVANTO_CLI) + " db init --conn " + sh(database_->connectionString());
    auto made = runCommand(cli + " --demo");
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(made.out.find("Creato lo schema GRUPPO"), std::string::npos) << made.out;
    EXPECT_EQ(made.out.find("Password=x"), std::string::npos) << "the password is not printed";
    EXPECT_NE(made.out.find("Dbname=" + database_->name() + ";database=BREVANTO;"), std::string::npos) << made.out;

    // The module's T-SQL reads the host's chart and, by a three-part name, the group's.
    auto host = conn_->Execute("SELECT COUNT(*) AS n FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 10");
    EXPECT_GT(host->value("n").toInt64(), 100);
    auto group = conn_->Execute("SELECT CG18_RAGSOC FROM [GRUPPO].dbo.CG18_ANADITTA");
    EXPECT_EQ(group->value("CG18_RAGSOC").toText(), "Gruppo Rossi Holding S.r.l.");
    // Text compares as on SQL Server: case and trailing blanks do not matter.
    auto found = conn_->Execute("SELECT CG18_DITTA FROM CG18_ANADITTA WHERE CG18_RAGSOC = 'ROSSI S.P.A.  '");
    EXPECT_EQ(found->value("CG18_DITTA").toInt64(), 1);

    const std::string before = scalar("SELECT COUNT(*) FROM cg24_tabpdc");
    auto again = runCommand(cli);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("esistono già"), std::string::npos) << again.err;
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM cg24_tabpdc"), before);

    auto forced = runCommand(cli + " --force");
    EXPECT_EQ(forced.exitCode, 1);
    EXPECT_NE(forced.err.find("--force"), std::string::npos) << forced.err;
}

TEST_F(PostgresDbInitTest, TestDatabasesAreCopiesOfATemplateAndGoAway) {
    std::string name;
    {
        PostgresTestDatabase demo(PostgresTestDatabase::Content::Demo);
        name = demo.name();
        auto c = db::Connection::create();
        c->Open(demo.connectionString());
        auto accounts = c->Execute("SELECT COUNT(*) AS n FROM [GRUPPO].dbo.CG24_TABPDC");
        EXPECT_GT(accounts->value("n").toInt64(), 50);
        c->Execute("DELETE FROM CG24_TABPDC");

        // The editor's intercompany connection: the host's string with database=GRUPPO.
        const std::string host = db::ConnectionString(demo.connectionString()).without({"database"}) +
                                 "Dbname=" + demo.name() + ";database=BREVANTO;";
        auto h = db::Connection::create();
        h->Open(host);
        EXPECT_EQ(h->Execute("SELECT COUNT(*) AS n FROM CG18_ANADITTA")->value("n").toInt64(), 2);
        auto g = db::Connection::create();
        g->Open(db::replaceAll(host, "database=BREVANTO", "database=GRUPPO"));
        EXPECT_EQ(g->Execute("SELECT CG18_RAGSOC FROM CG18_ANADITTA")->value("CG18_RAGSOC").toText(),
                  "Gruppo Rossi Holding S.r.l.");

        PostgresTestDatabase other(PostgresTestDatabase::Content::Demo);
        auto d = db::Connection::create();
        d->Open(other.connectionString());
        EXPECT_GT(d->Execute("SELECT COUNT(*) AS n FROM CG24_TABPDC")->value("n").toInt64(), 100)
            << "each test has its own copy";
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM pg_database WHERE datname = '" + name + "'"), "0");
}

}  // namespace
