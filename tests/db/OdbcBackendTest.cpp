// The ODBC backend against real drivers: the SQLite3 ODBC driver on a scratch file for
// statements, values and errors; the driver manager and FreeTDS for connection failures.

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "db/Backend.h"
#include "db/Connection.h"
#include "db/SqlText.h"
#include "db/odbc/Odbc.h"
#include "support/DbErrors.h"
#include "support/TestSupport.h"

namespace {

using db::Variant;

using testsupport::errorOf;
using testsupport::hasState;

class OdbcSqliteTest : public ::testing::Test {
protected:
    void SetUp() override {
        cs_ = "Provider=ODBC;Driver=SQLite3;Database=" + (dir_.path() / "odbc.db").string() + ";";
        backend_ = db::openOdbcBackend(db::ConnectionString(cs_), "", "");
        backend_->execute(
            "CREATE TABLE T (ID INTEGER PRIMARY KEY, CODE NVARCHAR(10) NOT NULL UNIQUE, "
            "AMOUNT NUMERIC(12,2), BIG BIGINT, FLAG BIT, NOTE TEXT)");
    }
    db::ExecResult run(const std::string& sql) { return backend_->execute(sql); }

    testsupport::TempDir dir_;
    std::string cs_;
    std::unique_ptr<db::Backend> backend_;
};

TEST_F(OdbcSqliteTest, RowsComeBackWithTheirTypesNullsAndUtf8Text) {
    const std::string note = "Caffè à l'ora";
    EXPECT_EQ(run("INSERT INTO T VALUES (1, 'A1', 12.5, 9000000000, 1, " + db::sqlQuoted(note) + ")").rowsAffected, 1);
    EXPECT_EQ(run("INSERT INTO T (ID, CODE) VALUES (2, 'B2')").rowsAffected, 1);

    auto r = run("SELECT ID, CODE, AMOUNT, BIG, FLAG, NOTE FROM T ORDER BY ID");
    EXPECT_EQ(r.rowsAffected, -1);
    ASSERT_EQ(r.resultSets.size(), 1u);
    const auto& rs = r.resultSets[0];
    ASSERT_EQ(rs.fields.size(), 6u);
    EXPECT_EQ(rs.fields[0].name, "ID");
    EXPECT_EQ(rs.fields[0].type, db::ado::adInteger);
    EXPECT_EQ(rs.fields[1].type, db::ado::adVarWChar);
    EXPECT_EQ(rs.fields[1].definedSize, 10);
    EXPECT_EQ(rs.fields[2].type, db::ado::adDouble);   // the SQLite3 driver describes NUMERIC as SQL_DOUBLE
    EXPECT_EQ(rs.fields[3].type, db::ado::adBigInt);
    EXPECT_EQ(rs.fields[4].type, db::ado::adBoolean);

    ASSERT_EQ(rs.rows.size(), 2u);
    const auto& a = rs.rows[0];
    EXPECT_EQ(a[0].type(), Variant::Type::Integer);
    EXPECT_EQ(a[0], Variant(1));
    EXPECT_EQ(a[1], Variant("A1"));
    EXPECT_DOUBLE_EQ(a[2].toDouble(), 12.5);
    EXPECT_EQ(a[3].toInt64(), 9000000000LL);
    EXPECT_EQ(a[4], Variant(true));
    EXPECT_EQ(a[5], Variant(note));
    const auto& b = rs.rows[1];
    for (int c : {2, 3, 4, 5}) EXPECT_TRUE(b[c].isNull()) << "column " << c;
}

TEST_F(OdbcSqliteTest, EmptyTextIsNotNullAndLongTextArrivesWhole) {
    // 30,000 two-byte characters plus a marker: far beyond one read chunk, with chunk
    // boundaries falling inside multi-byte sequences.
    std::string longText;
    for (int i = 0; i < 30000; ++i) longText += "è";
    longText += "|fine";
    run("INSERT INTO T (ID, CODE, NOTE) VALUES (1, 'E', '')");
    run("INSERT INTO T (ID, CODE, NOTE) VALUES (2, 'L', " + db::sqlQuoted(longText) + ")");
    auto rs = run("SELECT NOTE FROM T ORDER BY ID").resultSets.at(0);
    ASSERT_EQ(rs.rows.size(), 2u);
    EXPECT_EQ(rs.rows[0][0], Variant(""));
    EXPECT_EQ(rs.rows[1][0].toText().size(), longText.size());
    EXPECT_EQ(rs.rows[1][0], Variant(longText));
}

TEST_F(OdbcSqliteTest, RowsAffectedCountsChangedRowsOnly) {
    for (int i = 1; i <= 3; ++i) run("INSERT INTO T (ID, CODE) VALUES (" + std::to_string(i) + ", 'C" + std::to_string(i) + "')");
    EXPECT_EQ(run("UPDATE T SET NOTE = 'x' WHERE ID >= 2").rowsAffected, 2);
    EXPECT_EQ(run("UPDATE T SET NOTE = 'x' WHERE ID > 100").rowsAffected, 0);
    EXPECT_EQ(run("DELETE FROM T").rowsAffected, 3);
    auto empty = run("SELECT ID FROM T");
    ASSERT_EQ(empty.resultSets.size(), 1u);
    EXPECT_TRUE(empty.resultSets[0].rows.empty());
    EXPECT_EQ(empty.resultSets[0].fields.size(), 1u);
}

TEST_F(OdbcSqliteTest, DuplicateKeyIsClassifiedAndLeavesTheRowAlone) {
    run("INSERT INTO T (ID, CODE, NOTE) VALUES (1, 'K', 'first')");
    auto e = errorOf([&] { run("INSERT INTO T (ID, CODE, NOTE) VALUES (2, 'K', 'second')"); });
    ASSERT_FALSE(e.items().empty());
    const auto& item = e.items()[0];
    EXPECT_EQ(item.sqlState, "HY000");
    EXPECT_EQ(item.nativeError, 19);
    EXPECT_NE(item.description.find("UNIQUE constraint failed"), std::string::npos) << item.description;
    EXPECT_EQ(item.source, "ODBC");
    EXPECT_TRUE(db::odbc::isDuplicateKey(item));
    EXPECT_EQ(std::string(e.what()), item.description);

    auto notNull = errorOf([&] { run("INSERT INTO T (ID) VALUES (3)"); });
    EXPECT_FALSE(db::odbc::isDuplicateKey(notNull));

    auto rows = run("SELECT NOTE FROM T").resultSets.at(0).rows;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Variant("first"));
}

TEST_F(OdbcSqliteTest, SyntaxErrorsAndRefusedBatchesKeepTheConnectionUsableUntilClosed) {
    auto e = errorOf([&] { run("SELEC ID FROM T"); });
    ASSERT_FALSE(e.items().empty());
    EXPECT_EQ(e.items()[0].sqlState, "HY000");
    EXPECT_EQ(e.items()[0].nativeError, 1);
    EXPECT_NE(e.items()[0].description.find("syntax error"), std::string::npos);

    // The SQLite3 driver runs one statement per call and refuses a batch outright: nothing
    // of it is executed.
    auto batch = errorOf([&] { run("INSERT INTO T (ID, CODE) VALUES (1, 'A'); INSERT INTO T (ID, CODE) VALUES (2, 'B')"); });
    EXPECT_NE(std::string(batch.what()).find("only one SQL statement"), std::string::npos) << batch.what();
    EXPECT_TRUE(run("SELECT ID FROM T").resultSets.at(0).rows.empty());

    EXPECT_EQ(run("INSERT INTO T (ID, CODE) VALUES (1, 'A')").rowsAffected, 1);

    backend_->close();
    backend_->close();
    EXPECT_EQ(errorOf([&] { run("SELECT 1"); }).items().at(0).sqlState, "08003");
}

TEST_F(OdbcSqliteTest, ConnectionOpensThroughProviderOdbc) {
    backend_.reset();   // the file is free again for the connection below
    auto conn = db::Connection::create();
    conn->Open(cs_);
    EXPECT_EQ(conn->providerName(), "ODBC");
    auto all = conn->ExecuteAll("INSERT INTO T (ID, CODE) VALUES (7, 'Z')");
    EXPECT_EQ(all.rowsAffected, 1);
    EXPECT_THROW(conn->ExecuteAll("INSERT INTO T (ID, CODE) VALUES (8, 'Z')"), db::Error);
    ASSERT_GE(conn->Errors().Count(), 1);
    EXPECT_TRUE(db::odbc::isDuplicateKey(conn->Errors().Item(0)));
    conn->Close();
}

db::Error connectError(const std::string& cs, const std::string& user = "", const std::string& pwd = "") {
    return errorOf([&] { db::openOdbcBackend(db::ConnectionString(cs), user, pwd); });
}

TEST(OdbcConnect, MissingDriverIsReportedAsSuch) {
    auto e = connectError("Provider=ODBC;Driver=NoSuchDriver;Database=x");
    ASSERT_FALSE(e.items().empty());
    EXPECT_EQ(e.items()[0].sqlState, "IM002");
    EXPECT_EQ(e.items()[0].description, "Driver ODBC non trovato: NoSuchDriver");
    EXPECT_EQ(std::string(e.what()), "Driver ODBC non trovato: NoSuchDriver");
    // The driver manager's own record follows, for whoever inspects the collection.
    EXPECT_GE(e.items().size(), 2u);

    // "SQLite" is registered but its library (SQLite 2) is not installed: say which name works.
    auto sqlite2 = connectError("Provider=ODBC;Driver=SQLite;Database=/tmp/x.db");
    EXPECT_EQ(sqlite2.items().at(0).sqlState, "IM002");
    EXPECT_NE(std::string(sqlite2.what()).find("SQLite3"), std::string::npos) << sqlite2.what();

    auto dsn = connectError("Provider=ODBC;DSN=brevanto_no_such_dsn", "u", "p");
    EXPECT_EQ(dsn.items().at(0).description, "Driver ODBC non trovato: DSN brevanto_no_such_dsn");
}

TEST(OdbcConnect, ClosedSqlServerPortFailsWithCommunicationLinkError) {
    auto e = connectError("Provider=ODBC;Driver=FreeTDS;Server=127.0.0.1;Port=1;Database=GRP;TDS_Version=7.4;",
                          "sa", "pw;with}odd");
    EXPECT_TRUE(hasState(e, "08S01") || hasState(e, "08001")) << e.what();
    EXPECT_EQ(e.items().at(0).source, "ODBC");
    // The user reads an Italian sentence; the driver's own text follows it and stays in the collection.
    ASSERT_GE(e.items().size(), 2u);
    EXPECT_EQ(std::string(e.what()), "Connessione al database ODBC non riuscita: " + e.items().at(1).description);
    EXPECT_EQ(e.items().at(0).sqlState, e.items().at(1).sqlState);
    // The password never shows up in what the user is told.
    for (const auto& i : e.items()) EXPECT_EQ(i.description.find("pw;with"), std::string::npos);
}

}  // namespace
