// The PostgreSQL backend running statements: column types and NULLs as the client reads them,
// batches with several results, rows affected counted as SQL Server counts them, errors with
// SQL Server's native numbers, transactions that survive a failed statement, and two sessions
// whose unique violation leaves the other's row alone.

#include <gtest/gtest.h>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/odbc/Odbc.h"
#include "db/postgres/PostgresBackend.h"
#include "db/postgres/PostgresResult.h"
#include "db/tsql/Translator.h"
#include "postgres/PostgresFixture.h"
#include "support/DbErrors.h"

namespace {

using db::Variant;
using testsupport::errorOf;

class PostgresBackendTest : public PostgresFixture {
protected:
    void SetUp() override {
        PostgresFixture::SetUp();
        if (IsSkipped()) return;
        conn_->ExecuteNative(
            "CREATE TABLE t (id int PRIMARY KEY, small smallint, big bigint, amount numeric(18,2), ratio float8, "
            "flag boolean, code varchar(15), fixed char(3), day date, stamp timestamp, note text)");
    }
    std::vector<std::string> ids(db::Connection& c) {
        std::vector<std::string> out;
        const auto result = c.ExecuteNative("SELECT id FROM t ORDER BY id");
        for (const auto& row : result.resultSets.at(0).rows)
            out.push_back(row[0].toText());
        return out;
    }
};

TEST_F(PostgresBackendTest, ColumnTypesValuesNullsAndQuotes) {
    conn_->ExecuteNative(
        "INSERT INTO t VALUES (1, 2, 9000000000, 12.50, 0.25, true, 'l''è \"x\"', 'ab', '2025-12-31', "
        "'2026-01-02 10:30:00', 'più')");
    conn_->Execute("INSERT INTO t (id) VALUES (2)");
    auto r = conn_->ExecuteAll("SELECT id, small, big, amount, ratio, flag, code, fixed, day, stamp, note FROM t ORDER BY id");
    ASSERT_EQ(r.resultSets.size(), 1u);
    const auto& rs = r.resultSets[0];
    const std::vector<int> types = {db::ado::adInteger, db::ado::adSmallInt, db::ado::adBigInt, db::ado::adDecimal,
                                    db::ado::adDouble,  db::ado::adBoolean,  db::ado::adVarWChar, db::ado::adWChar,
                                    db::ado::adDate,    db::ado::adDate,     db::ado::adVarWChar};
    for (std::size_t i = 0; i < types.size(); ++i) EXPECT_EQ(rs.fields[i].type, types[i]) << rs.fields[i].name;
    EXPECT_EQ(rs.fields[6].definedSize, 15);
    EXPECT_EQ(rs.fields[3].definedSize, 18);
    EXPECT_EQ(rs.fields[6].name, "code");

    const auto first = rs.rows[0].toRow();
    EXPECT_EQ(first[0], Variant(1));
    EXPECT_EQ(first[2], Variant(9000000000LL));
    EXPECT_EQ(first[3].type(), Variant::Type::Decimal);
    EXPECT_DOUBLE_EQ(first[3].toDouble(), 12.5);
    EXPECT_EQ(first[4], Variant(0.25));
    EXPECT_EQ(first[5], Variant(true));
    EXPECT_EQ(first[6], Variant("l'è \"x\""));
    EXPECT_EQ(first[7], Variant("ab "));
    EXPECT_EQ(first[8], Variant("2025-12-31"));
    EXPECT_EQ(first[9], Variant("2026-01-02 10:30:00"));
    EXPECT_EQ(first[10], Variant("più"));
    const auto second = rs.rows[1].toRow();
    for (std::size_t i = 1; i < second.size(); ++i) EXPECT_TRUE(second[i].isNull()) << i;

    // The recordset of Execute reads the same rows.
    auto rec = conn_->Execute("SELECT code FROM t WHERE id = 1");
    EXPECT_EQ(rec->value("code"), Variant("l'è \"x\""));
}

TEST_F(PostgresBackendTest, BatchGivesEveryResultAndCountsOnlyChangedRows) {
    auto r = conn_->ExecuteAll(
        "INSERT INTO t (id) VALUES (1); INSERT INTO t (id) VALUES (2), (3); "
        "SELECT id FROM t ORDER BY id; UPDATE t SET note = 'x' WHERE id > 1; SELECT COUNT(*) AS n FROM t");
    EXPECT_EQ(r.rowsAffected, 5);
    ASSERT_EQ(r.resultSets.size(), 2u);
    EXPECT_EQ(r.resultSets[0].rows.size(), 3u);
    EXPECT_EQ(r.resultSets[1].rows[0][0], Variant(3));

    long affected = 99;
    conn_->Execute("SELECT id FROM t", &affected);
    EXPECT_EQ(affected, -1) << "a query changes no rows";
    conn_->Execute("DELETE FROM t WHERE id > 100", &affected);
    EXPECT_EQ(affected, 0);
    conn_->Execute("SELECT * INTO #copia FROM t", &affected);
    EXPECT_EQ(affected, -1) << "a table made from a query is not a change of rows";
    // A text run again is prepared on the server: the same answers.
    for (int i = 0; i < 3; ++i) {
        conn_->Execute("UPDATE t SET small = small WHERE id <= 2", &affected);
        EXPECT_EQ(affected, 2);
    }
}

TEST_F(PostgresBackendTest, DuplicateKeyIsSqlServersAndTheSessionGoesOn) {
    conn_->Execute("INSERT INTO t (id, note) VALUES (1, 'primo')");
    auto e = errorOf([&] { conn_->Execute("INSERT INTO t (id, note) VALUES (1, 'secondo')"); });
    ASSERT_EQ(e.items().size(), 1u);
    EXPECT_EQ(e.items()[0].sqlState, "23505");
    EXPECT_EQ(e.items()[0].nativeError, 2627);
    EXPECT_EQ(e.items()[0].source, "PostgreSQL");
    EXPECT_NE(e.items()[0].description.find("duplicate key"), std::string::npos) << e.what();
    EXPECT_TRUE(db::odbc::isDuplicateKey(e));
    EXPECT_EQ(conn_->Errors().Count(), 1);
    conn_->Execute("INSERT INTO t (id) VALUES (2)");
    EXPECT_EQ(ids(*conn_), (std::vector<std::string>{"1", "2"}));

    auto syntax = errorOf([&] { conn_->ExecuteNative("SELEC 1"); });
    EXPECT_EQ(syntax.items()[0].sqlState, "42601");
    EXPECT_EQ(syntax.items()[0].nativeError, 0);
}

TEST_F(PostgresBackendTest, FailedStatementInsideATransactionDoesNotEndIt) {
    conn_->BeginTrans();
    conn_->Execute("INSERT INTO t (id) VALUES (1)");
    EXPECT_THROW(conn_->Execute("INSERT INTO t (id) VALUES (1)"), db::Error);
    conn_->Execute("INSERT INTO t (id) VALUES (2)");
    conn_->CommitTrans();
    EXPECT_EQ(ids(*conn_), (std::vector<std::string>{"1", "2"}));

    conn_->BeginTrans();
    conn_->Execute("INSERT INTO t (id) VALUES (3)");
    conn_->RollbackTrans();
    EXPECT_EQ(ids(*conn_), (std::vector<std::string>{"1", "2"}));

    // A batch that fails inside a transaction is undone whole; what came before it stays.
    conn_->BeginTrans();
    conn_->Execute("INSERT INTO t (id) VALUES (4)");
    EXPECT_THROW(conn_->Execute("INSERT INTO t (id) VALUES (5); INSERT INTO t (id) VALUES (1)"), db::Error);
    conn_->CommitTrans();
    EXPECT_EQ(ids(*conn_), (std::vector<std::string>{"1", "2", "4"}));
}

TEST_F(PostgresBackendTest, PreparedStatementsBindValuesNeverSplicedIntoTheText) {
    auto insert = conn_->Prepare("INSERT INTO t (id, note, amount) VALUES (?, ?, ?)");
    EXPECT_EQ(insert->Execute({1, "'); DROP TABLE t; --", 12.25}), 1);
    EXPECT_EQ(insert->Execute({2, Variant::null(), Variant::decimal(0.1)}), 1);
    auto e = errorOf([&] { insert->Execute({1, "doppio", 0}); });
    EXPECT_EQ(e.items()[0].nativeError, 2627);
    EXPECT_THROW(insert->Execute({3}), db::Error);

    conn_->BeginTrans();
    auto update = conn_->Prepare("UPDATE t SET note = ? WHERE id >= ?");
    EXPECT_EQ(update->Execute({"tutti", 1}), 2);
    EXPECT_THROW(insert->Execute({2, "doppio", 0}), db::Error);
    EXPECT_EQ(update->Execute({"più", 2}), 1);
    conn_->CommitTrans();
    EXPECT_EQ(scalar("SELECT string_agg(id || ':' || note || ':' || amount, ',' ORDER BY id) FROM t"),
              "1:tutti:12.25,2:più:0.10");

    // A statement prepared on a connection closed since refuses instead of reaching another session.
    conn_->Close();
    EXPECT_THROW(update->Execute({"x", 1}), db::Error);
}

TEST_F(PostgresBackendTest, ThreePartNamesReachTheSchemaOfTheIntercompanyDatabase) {
    auto missing = errorOf([&] { conn_->Execute("SELECT * FROM [GRUPPO].dbo.t"); });
    EXPECT_EQ(missing.items()[0].nativeError, 911);
    conn_->ExecuteNative("CREATE SCHEMA \"GRUPPO\"; CREATE TABLE \"GRUPPO\".t (id int PRIMARY KEY)");
    conn_->Execute("INSERT INTO [GRUPPO].dbo.t (id) VALUES (5)");
    EXPECT_EQ(scalar("SELECT id FROM \"GRUPPO\".t"), "5");
}

TEST_F(PostgresBackendTest, UniqueViolationInOneSessionLeavesTheOthersRow) {
    auto other = open();
    other->BeginTrans();
    other->Execute("INSERT INTO t (id, note) VALUES (1, 'altra sessione')");
    other->CommitTrans();
    conn_->BeginTrans();
    auto e = errorOf([&] { conn_->Execute("INSERT INTO t (id, note) VALUES (1, 'questa')"); });
    EXPECT_EQ(e.items()[0].nativeError, 2627);
    conn_->Execute("INSERT INTO t (id, note) VALUES (2, 'questa')");
    conn_->CommitTrans();
    EXPECT_EQ(scalar("SELECT string_agg(id || ':' || note, ',' ORDER BY id) FROM t", other.get()),
              "1:altra sessione,2:questa");
}

// The runner of translated steps, given the steps directly: OUTPUT … INTO, the check that
// fails a statement, and steps that apply whole.
class PostgresStepsTest : public PostgresBackendTest {
protected:
    void SetUp() override {
        PostgresBackendTest::SetUp();
        if (IsSkipped()) return;
        backend_ = db::postgres::PostgresBackend::open(db::ConnectionString(database_->connectionString()), "", "");
        backend_->executeNative("CREATE TEMP TABLE \"@out\" (id int, note text)");
    }
    static db::tsql::Step step(std::string sql) {
        db::tsql::Step s;
        s.sql = std::move(sql);
        return s;
    }
    std::unique_ptr<db::postgres::PostgresBackend> backend_;
};

TEST_F(PostgresStepsTest, CapturedRowsCountAndFillTheSessionTable) {
    db::tsql::Translation t;
    auto insert = step("INSERT INTO t (id, note) VALUES (1, 'a'), (2, NULL) RETURNING id, note");
    insert.captureInto = "@out";
    t.steps.push_back(insert);
    auto select = step("SELECT id, note FROM \"@out\" ORDER BY id");
    select.returnsRows = true;
    t.steps.push_back(select);
    auto r = backend_->run(t);
    EXPECT_EQ(r.rowsAffected, 2);
    ASSERT_EQ(r.resultSets.size(), 1u);
    ASSERT_EQ(r.resultSets[0].rows.size(), 2u);
    EXPECT_EQ(r.resultSets[0].rows[0][1], Variant("a"));
    EXPECT_TRUE(r.resultSets[0].rows[1][1].isNull());
}

TEST_F(PostgresStepsTest, AtomicStepsApplyWholeAndTheCheckFailsWithMergesNumber) {
    db::tsql::Translation t;
    t.atomic = true;
    t.steps.push_back(step("INSERT INTO t (id) VALUES (1)"));
    auto check = step("SELECT COUNT(*) FROM t");
    check.failWhenNonZero = "MERGE: la stessa riga di destinazione è aggiornata più volte";
    t.steps.push_back(check);
    auto e = errorOf([&] { backend_->run(t); });
    EXPECT_EQ(e.items()[0].nativeError, 8672);
    EXPECT_EQ(e.items()[0].description, check.failWhenNonZero);
    EXPECT_EQ(backend_->executeNative("SELECT COUNT(*) FROM t").resultSets[0].rows[0][0], Variant(0));

    // Inside a transaction too, and the transaction goes on.
    backend_->beginTransaction();
    EXPECT_THROW(backend_->run(t), db::Error);
    backend_->executeNative("INSERT INTO t (id) VALUES (9)");
    backend_->commitTransaction();
    EXPECT_EQ(backend_->executeNative("SELECT string_agg(id::text, ',') FROM t").resultSets[0].rows[0][0], Variant("9"));

    // A three-part name whose schema is missing is SQL Server's missing database.
    db::tsql::Translation group;
    group.attachedDatabases = {"GRUPPO"};
    group.steps.push_back(step("SELECT 1"));
    auto missing = errorOf([&] { backend_->run(group); });
    EXPECT_EQ(missing.items()[0].nativeError, 911);
    EXPECT_NE(std::string(missing.what()).find("'GRUPPO' non esiste"), std::string::npos);
}

TEST(PostgresResultTest, NativeNumbersOfSqlServer) {
    EXPECT_EQ(db::postgres::nativeErrorFor("23505"), 2627);
    EXPECT_EQ(db::postgres::nativeErrorFor("40P01"), 1205);
    EXPECT_EQ(db::postgres::nativeErrorFor("40001"), 1205);
    EXPECT_EQ(db::postgres::nativeErrorFor("21000"), 8672);
    EXPECT_EQ(db::postgres::nativeErrorFor("23503"), 0);
}

}  // namespace
