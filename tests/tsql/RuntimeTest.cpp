// The TSQL collation's order and the translator's public API beyond the golden files.

#include "db/tsql/SqliteRuntime.h"
#include "db/tsql/Translator.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace {

using db::tsql::compareTsql;

TEST(TsqlCollation, IgnoresCaseAndTrailingBlanksButNotAccents) {
    EXPECT_EQ(compareTsql("abc", "ABC"), 0);
    EXPECT_EQ(compareTsql("abc  ", "ABC"), 0);
    EXPECT_EQ(compareTsql("caffè", "CAFFÈ"), 0);
    EXPECT_NE(compareTsql("caffè", "caffe"), 0);
    EXPECT_NE(compareTsql(" abc", "abc"), 0);   // leading blanks count
    EXPECT_LT(compareTsql("ab", "abc"), 0);
    EXPECT_GT(compareTsql("b", "A"), 0);
}

TEST(TsqlCollation, SortsAccentedLettersBesideTheirBaseLetter) {
    EXPECT_LT(compareTsql("e", "è"), 0);
    EXPECT_LT(compareTsql("è", "f"), 0);
    EXPECT_LT(compareTsql("èa", "eb"), 0);   // the letters decide before the accent
    EXPECT_EQ(compareTsql("", "   "), 0);
}

TEST(TsqlCollation, OrdersRowsOnAConnection) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    db::tsql::registerSqliteRuntime(db);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE t (v TEXT COLLATE TSQL PRIMARY KEY);"
                           "INSERT INTO t VALUES ('b'), ('A'), ('é'), ('f');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // The key is unique under the collation: 'a ' is the same key as 'A'.
    EXPECT_NE(sqlite3_exec(db, "INSERT INTO t VALUES ('a ')", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT v FROM t ORDER BY v", -1, &st, nullptr), SQLITE_OK);
    std::vector<std::string> order;
    while (sqlite3_step(st) == SQLITE_ROW) order.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_EQ(order, (std::vector<std::string>{"A", "b", "é", "f"}));
}

TEST(TsqlTranslate, ErrorsCarryTheOffsetOfTheConstruct) {
    const std::string sql = "SELECT A FROM T PIVOT (MAX(N) FOR K IN ([x])) AS P";
    try {
        db::tsql::translate(sql);
        FAIL() << "no error";
    } catch (const db::tsql::TranslateError& e) {
        EXPECT_EQ(e.offset(), sql.find("PIVOT"));
        EXPECT_STREQ(e.what(), "T-SQL non supportato: PIVOT");
    }
}

TEST(TsqlTranslate, TextJoinsTheStepsAndTheOverloadsAgree) {
    EXPECT_EQ(db::tsql::translateToText("SELECT 1 SELECT 2"), "SELECT 1;\nSELECT 2");
    const auto plain = db::tsql::translate("SELECT * FROM [G].dbo.T");
    ASSERT_EQ(plain.attachedDatabases, std::vector<std::string>{"G"});
    db::tsql::TranslateOptions options;
    options.mainDatabase = "g";
    const auto inMain = db::tsql::translate("SELECT * FROM [G].dbo.T", options);
    EXPECT_TRUE(inMain.attachedDatabases.empty());
    EXPECT_EQ(inMain.steps.at(0).sql, "SELECT * FROM main.T");
}

TEST(TsqlTranslate, BadInputNeverEscapesAsAnotherException) {
    // Truncated texts of a real statement: each fails cleanly or translates.
    const std::string sql =
        "IF NOT EXISTS (SELECT TOP 1 1 FROM T WHERE A = 'x''y') BEGIN INSERT INTO T (A) VALUES ('x''y') END";
    for (std::size_t n = 0; n <= sql.size(); ++n) {
        try {
            db::tsql::translate(sql.substr(0, n));
        } catch (const db::tsql::TranslateError&) {
        }
    }
    SUCCEED();
}

}  // namespace
