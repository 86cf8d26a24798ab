// The connection and its recordsets over the real embedded engine, on a scratch database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sqlite3.h>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "db/SqlText.h"
#include "db/Trace.h"
#include "support/TestSupport.h"

using db::Connection;
using db::Recordset;
using testing::HasSubstr;
namespace ado = db::ado;

namespace {

class ConnectionSqliteTest : public testing::Test {
protected:
    std::string connectionString() const { return "Provider=SQLite;database=T;Data Source=" + dir.str(); }
    std::shared_ptr<Connection> open() {
        auto c = Connection::create();
        c->Open(connectionString());
        return c;
    }
    // The table is made with SQLite itself: the connection speaks the module's T-SQL only.
    void SetUp() override {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir.path() / "T.db").c_str(), &raw), SQLITE_OK);
        const char* ddl =
            "CREATE TABLE CG24_TABPDC (CG24_CONTO NVARCHAR(10), CG24_DESCR NVARCHAR(80), CG24_INDTIPOCONTO DECIMAL(1));";
        ASSERT_EQ(sqlite3_exec(raw, ddl, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
        auto c = open();
        for (auto [conto, descr] : {std::pair{"4010000000", "Crediti v/clienti"}, {"4020000000", "Dell'Orto S.p.A."},
                                    {"6010000000", "Debiti v/fornitori"}})
            c->Execute("INSERT INTO CG24_TABPDC VALUES (" + db::sqlQuoted(conto) + ", " + db::sqlQuoted(descr) + ", 1)");
    }

    testsupport::TempDir dir;
};

}  // namespace

TEST_F(ConnectionSqliteTest, RowsComeBackTypedAndFilterable) {
    auto c = open();
    EXPECT_EQ(c->providerName(), "SQLite");
    auto rs = c->Execute("SELECT CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO FROM CG24_TABPDC WITH(NOLOCK) "
                         "ORDER BY CG24_CONTO");
    ASSERT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->fields()("CG24_CONTO").Type(), ado::adVarWChar);
    EXPECT_EQ(rs->fields()("CG24_INDTIPOCONTO").Type(), ado::adDecimal);
    rs->Find("CG24_DESCR = 'dell''orto s.p.a.'");
    EXPECT_EQ(rs->value("CG24_CONTO").toText(), "4020000000");
    rs->setFilter("CG24_CONTO = 4010000000 OR CG24_CONTO = '6010000000'");
    EXPECT_EQ(rs->RecordCount(), 2);
}

TEST_F(ConnectionSqliteTest, TemporaryTablesBelongToTheirConnection) {
    auto c1 = open();
    auto c2 = open();
    c1->Execute("SELECT CG24_CONTO AS CONTOPDC, 1 AS SEGNO INTO #CORRPDCRICL FROM CG24_TABPDC");
    auto rs = Recordset::create();
    rs->Open(" SELECT *\r FROM #CORRPDCRICL\r ORDER BY CONTOPDC, SEGNO\r", c1, ado::adOpenStatic,
             ado::adLockOptimistic);
    EXPECT_EQ(rs->RecordCount(), 3);
    rs->MoveLast();
    auto mark = rs->Bookmark();
    rs->Close();
    rs->Open();
    rs->setBookmark(mark);
    EXPECT_EQ(rs->value("CONTOPDC").toText(), "6010000000");

    EXPECT_THROW(c2->Execute("SELECT * FROM #CORRPDCRICL"), db::Error);
    ASSERT_GE(c2->Errors().Count(), 1);
    EXPECT_THAT(c2->Errors().Item(0).description, HasSubstr("CORRPDCRICL"));
    EXPECT_EQ(c1->Errors().Count(), 0);

    c1->Close();
    c1->Open();
    EXPECT_THROW(c1->Execute("SELECT * FROM #CORRPDCRICL"), db::Error);
}

TEST_F(ConnectionSqliteTest, FailuresReachErrorsAndTrace) {
    std::vector<db::TraceEvent> trace;
    long token = db::addGlobalSink(db::makeSink([&](const db::TraceEvent& e) { trace.push_back(e); }));
    auto c = open();
    long affected = 0;
    c->Execute("UPDATE CG24_TABPDC SET CG24_DESCR = " + db::sqlQuoted("x' OR 1=1 --") +
                   " WHERE CG24_CONTO = '4010000000'",
               &affected);
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(c->Execute("SELECT CG24_DESCR FROM CG24_TABPDC WHERE CG24_CONTO = '4010000000'")
                  ->value("CG24_DESCR")
                  .toText(),
              "x' OR 1=1 --");
    EXPECT_THROW(c->Execute("SELECT * FROM NO_SUCH_TABLE"), db::Error);
    db::removeGlobalSink(token);
    ASSERT_EQ(c->Errors().Count(), 1);
    EXPECT_EQ(c->Errors().Item(0).source, "SQLite");
    EXPECT_EQ(c->Errors().Item(0).sqlState, "42S02");
    ASSERT_EQ(trace.size(), 4u);
    EXPECT_EQ(trace[2].commandText, "SELECT * FROM NO_SUCH_TABLE");
    EXPECT_TRUE(trace[3].failed);
    EXPECT_EQ(trace[3].error, c->Errors().Item(0).description);
}

TEST_F(ConnectionSqliteTest, MissingDatabaseIsAnErrorNotANewFile) {
    auto c = Connection::create();
    EXPECT_THROW(c->Open("database=NOPE;Data Source=" + dir.str()), db::Error);   // no Provider: SQLite
    EXPECT_EQ(c->State(), ado::adStateClosed);
    EXPECT_EQ(c->Errors().Count(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "NOPE.db"));

    // A file that is not a database says so in the user's language, naming the database.
    {
        std::ofstream junk(dir.path() / "JUNK.db", std::ios::binary);
        junk << std::string(4096, 'x');
    }
    EXPECT_THROW(c->Open("Provider=SQLite;database=JUNK;Data Source=" + dir.str()), db::Error);
    ASSERT_EQ(c->Errors().Count(), 1);
    EXPECT_EQ(c->Errors().Item(0).description, "Impossibile aprire il database 'JUNK' (" +
                                                   (dir.path() / "JUNK.db").string() +
                                                   "): il file non è un database SQLite");
}

TEST_F(ConnectionSqliteTest, TransactionsApplyWholeOrNotAtAll) {
    auto c = open();
    auto other = open();
    auto count = [&] { return other->Execute("SELECT COUNT(*) AS N FROM CG24_TABPDC")->value("N").toInt32(); };
    c->BeginTrans();
    EXPECT_TRUE(c->inTransaction());
    EXPECT_THROW(c->BeginTrans(), db::UsageError);   // no nesting
    c->Execute("INSERT INTO CG24_TABPDC VALUES ('7010000000', 'Ricavi', 2)");
    c->Execute("DELETE FROM CG24_TABPDC WHERE CG24_CONTO = '4010000000'");
    c->RollbackTrans();
    EXPECT_EQ(count(), 3);
    EXPECT_FALSE(c->inTransaction());

    c->BeginTrans();
    c->Execute("INSERT INTO CG24_TABPDC VALUES ('7010000000', 'Ricavi', 2)");
    c->CommitTrans();
    EXPECT_EQ(count(), 4);
    EXPECT_THROW(c->CommitTrans(), db::UsageError);

    // A closed connection reports in Errors like a statement does.
    c->Close();
    EXPECT_THROW(c->BeginTrans(), db::Error);
    EXPECT_EQ(c->Errors().Count(), 1);
}

TEST_F(ConnectionSqliteTest, PreparedCommandsBindTheirValuesAndReportLikeStatements) {
    auto c = open();
    auto insert = c->Prepare("INSERT INTO CG24_TABPDC (CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO) VALUES (?, ?, ?)");
    EXPECT_EQ(insert->Execute({"7010000000", "Ricavi d'esercizio'; DROP TABLE CG24_TABPDC --", 2}), 1);
    EXPECT_EQ(insert->Execute({"7020000000", db::Variant::null(), 2}), 1);
    auto rs = c->Execute("SELECT CG24_DESCR FROM CG24_TABPDC WHERE CG24_CONTO = '7010000000'");
    EXPECT_EQ(rs->value("CG24_DESCR").toText(), "Ricavi d'esercizio'; DROP TABLE CG24_TABPDC --");

    auto remove = c->Prepare("DELETE FROM CG24_TABPDC WHERE CG24_CONTO = ? AND CG24_INDTIPOCONTO = ?");
    EXPECT_EQ(remove->Execute({"7010000000", 1}), 0);   // rows changed, not statements run
    EXPECT_EQ(remove->Execute({"7010000000", 2}), 1);

    // Wrong value counts, a batch, and markers without values are refused with a message.
    EXPECT_THROW(remove->Execute({"x"}), db::Error);
    EXPECT_THAT(c->Errors().Item(0).description, HasSubstr("2 segnaposto e ha ricevuto 1 valori"));
    EXPECT_THROW(c->Prepare("DELETE FROM CG24_TABPDC WHERE CG24_CONTO = ?; SELECT 1"), db::Error);
    EXPECT_THROW(c->Execute("DELETE FROM CG24_TABPDC WHERE CG24_CONTO = ?"), db::Error);
    EXPECT_EQ(c->Errors().Item(0).sqlState, "07002");

    // A command prepared before the connection closed never reaches the next session.
    c->Close();
    c->Open(connectionString());
    EXPECT_THROW(insert->Execute({"7030000000", "x", 2}), db::Error);
    EXPECT_EQ(c->Execute("SELECT COUNT(*) AS N FROM CG24_TABPDC")->value("N").toInt32(), 4);
}

TEST_F(ConnectionSqliteTest, TryExecuteCountsTheRowsAndReturnsTheEnginesRefusal) {
    auto c = open();
    const db::ExecuteResult updated = c->TryExecute("UPDATE CG24_TABPDC SET CG24_INDTIPOCONTO = 2 WHERE CG24_CONTO LIKE '40%'");
    EXPECT_TRUE(updated.ok);
    EXPECT_EQ(updated.recordsAffected, 2);

    const db::ExecuteResult refused = c->TryExecute("INSERT INTO CG99_NOTABLE VALUES (1)");
    EXPECT_FALSE(refused.ok);
    ASSERT_FALSE(refused.errors.empty());
    EXPECT_THAT(refused.errors[0].description, HasSubstr("CG99_NOTABLE"));
    EXPECT_EQ(c->Errors().Count(), static_cast<long>(refused.errors.size()));
}
