// The two table-valued functions as the module calls them: OUTER APPLY (correlated, also on
// the table the function reads) and scalar subqueries whose arguments share the function's
// column names.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "db/Error.h"
#include "db/sqlite/SqliteBackend.h"
#include "db/sqlite/SqliteRuntime.h"
#include "support/TestSupport.h"

namespace {

using db::ConnectionString;
using db::Variant;

class SqliteTableFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        b = db::sqlite::SqliteBackend::open(
            ConnectionString("Provider=SQLite;database=MAIN;Create=1;Data Source=" + dir.str()));
        ddl("CREATE TABLE PC03_ANAGPDC (PC03_CODICE_PC01 SMALLINT, PC03_CONTO NVARCHAR(15) COLLATE TSQL, "
            "PC03_DESCR NVARCHAR(60), PRIMARY KEY (PC03_CODICE_PC01, PC03_CONTO));"
            "INSERT INTO PC03_ANAGPDC VALUES (3, 'AB01', 'Crediti'), (3, 'AB02', 'Debiti'), (4, 'AB01', 'Altro piano');"
            "CREATE TABLE CG40_ANADITTAINTER (CG40_DITTA_CG18 INT, CG40_TIPOCF TINYINT, CG40_INTERMEDIO INT, "
            "CG40_DESCR NVARCHAR(60));"
            "INSERT INTO CG40_ANADITTAINTER VALUES (1, 0, 0, 'Clienti'), (1, 0, 7, 'Agente sette'), "
            "(1, 1, 7, 'Fornitore sette'), (2, 0, 7, 'Altra ditta');"
            "CREATE TABLE CG83_COLLRICL (CG83_CONTO_CG24 NVARCHAR(10), CG83_CODICERICL_PC01 SMALLINT, "
            "CG83_CONTORICL_PC03 NVARCHAR(15));"
            "INSERT INTO CG83_COLLRICL VALUES ('01', 3, 'AB02'), ('02', 3, 'MISSING'), ('03', 4, 'ab01'), "
            "('04', NULL, NULL)");
    }

    // The translated dialect has no CREATE TABLE: the tables are made on a side handle.
    void ddl(const std::string& sql) {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir.path() / "MAIN.db").string().c_str(), &raw), SQLITE_OK);
        db::sqlite::registerSqliteRuntime(raw);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(raw);
    }

    db::RowTable rows(const std::string& sql) { return b->execute(sql).resultSets.at(0).rows; }

    testsupport::TempDir dir;
    std::unique_ptr<db::sqlite::SqliteBackend> b;
};

TEST_F(SqliteTableFunctionsTest, AccountLookupComparesLikeTheHostDatabase) {
    auto r = rows("SELECT PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR FROM FNPC03_ANAGPDC_COGE(3, 'ab01  ', 1, NULL)");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0][0], Variant(3));
    EXPECT_EQ(r[0][1], Variant("AB01"));
    EXPECT_EQ(r[0][2], Variant("Crediti"));
    EXPECT_TRUE(rows("SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(3, 'ZZ', 1, NULL)").empty());
    EXPECT_TRUE(rows("SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(NULL, 'AB01', 1, NULL)").empty());
    EXPECT_TRUE(rows("SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(3, NULL, 1, NULL)").empty());
    // A text chart code compares as the number it holds, as SQL Server converts it.
    EXPECT_EQ(rows("SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE('4', 'AB01', 1, NULL)").at(0)[0], Variant("Altro piano"));
}

TEST_F(SqliteTableFunctionsTest, OuterApplyKeepsEveryOuterRowAndCorrelatesPerRow) {
    auto r = rows("SELECT CG83_CONTO_CG24, PC03_ANAGPDC.PC03_DESCR FROM CG83_COLLRICL"
                  " OUTER APPLY FNPC03_ANAGPDC_COGE(CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, 1, Null) AS PC03_ANAGPDC"
                  " ORDER BY CG83_CONTO_CG24");
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0][1], Variant("Debiti"));
    EXPECT_TRUE(r[1][1].isNull());
    EXPECT_EQ(r[2][1], Variant("Altro piano"));
    EXPECT_TRUE(r[3][1].isNull());
}

TEST_F(SqliteTableFunctionsTest, SelfCorrelatedLookupOnTheSameTableFindsEachOwnRow) {
    auto r = rows("SELECT A.PC03_CONTO, B.PC03_DESCR FROM PC03_ANAGPDC A"
                  " OUTER APPLY FNPC03_ANAGPDC_COGE(A.PC03_CODICE_PC01, A.PC03_CONTO, 1, Null) AS B"
                  " WHERE A.PC03_CODICE_PC01 = 3 ORDER BY A.PC03_CONTO");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0][1], Variant("Crediti"));
    EXPECT_EQ(r[1][1], Variant("Debiti"));
}

TEST_F(SqliteTableFunctionsTest, ScalarSubqueryArgumentsBindToTheCallersColumnsOfTheSameName) {
    auto r = rows("SELECT CG40_DITTA_CG18, CG40_TIPOCF, CG40_INTERMEDIO,"
                  " (SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(CG40_TIPOCF, CG40_INTERMEDIO, CG40_DITTA_CG18)) AS D"
                  " FROM CG40_ANADITTAINTER ORDER BY CG40_DITTA_CG18, CG40_TIPOCF, CG40_INTERMEDIO");
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0][3], Variant("Clienti"));
    EXPECT_EQ(r[1][3], Variant("Agente sette"));
    EXPECT_EQ(r[2][3], Variant("Fornitore sette"));
    EXPECT_EQ(r[3][3], Variant("Altra ditta"));
    auto none = rows("SELECT (SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(0, 8, 1)) AS D");
    EXPECT_TRUE(none.at(0)[0].isNull());
}

TEST_F(SqliteTableFunctionsTest, MissingArgumentsOrTableAreClearErrors) {
    auto tooFew = [&] { b->execute("SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(0, 7)"); };
    EXPECT_THROW(tooFew(), db::Error);
    try {
        tooFew();
    } catch (const db::Error& e) {
        EXPECT_NE(std::string(e.what()).find("FNCG40_ANADITTAINTER"), std::string::npos) << e.what();
    }
    b->execute("DROP TABLE PC03_ANAGPDC");
    try {
        b->execute("SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(3, 'AB01', 1, NULL)");
        ADD_FAILURE() << "no error without PC03_ANAGPDC";
    } catch (const db::Error& e) {
        EXPECT_NE(std::string(e.what()).find("PC03_ANAGPDC"), std::string::npos) << e.what();
    }
}

}  // namespace
