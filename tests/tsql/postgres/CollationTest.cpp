// The collation tsql on the server against compareTsql, the SQLite target's TSQL collation:
// equality and order of tricky pairs, and what keys, DISTINCT, GROUP BY, ORDER BY and joins
// make of a set of texts.

#include "PgSession.h"
#include "db/sqlite/SqliteRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using tsqlpg::column;
using tsqlpg::exec;

int sign(int v) { return (v > 0) - (v < 0); }

// The server's order of a and b under tsql, as bpchar (as translated comparisons are made).
int serverOrder(PGconn* c, const std::string& a, const std::string& b) {
    auto r = exec(c,
                  "SELECT CASE WHEN $1::bpchar COLLATE tsql = $2::bpchar THEN 0 "
                  "WHEN $1::bpchar COLLATE tsql < $2::bpchar THEN -1 ELSE 1 END",
                  {a.c_str(), b.c_str()});
    return std::atoi(PQgetvalue(r.get(), 0, 0));
}

class TsqlCollation : public ::testing::Test {
protected:
    void SetUp() override {
        const tsqlpg::PgDatabase* db = tsqlpg::sharedDatabase();
        if (!db) GTEST_SKIP() << "nessun server PostgreSQL per i test";
        conn_ = db->connect().release();
        exec(conn_, "CREATE SCHEMA IF NOT EXISTS collation_test");
        exec(conn_, "SET search_path = collation_test, public");
    }
    void TearDown() override {
        if (conn_) PQfinish(conn_);
    }
    PGconn* conn_ = nullptr;
};

TEST_F(TsqlCollation, TrickyPairsCompareAsTheSqliteTarget) {
    const std::pair<const char*, const char*> pairs[] = {
        {"abc", "ABC"},       {"abc ", "ABC"},       {"abc", "abc   "},     {"", " "},
        {"caffè", "CAFFÈ"},   {"caffè", "caffe"},    {"Ñandú", "ñandu"},   {"ÿ", "Ÿ"},
        {"ß", "ss"},          {"ß", "SS"},           {"O'BRIEN", "o'brien"}, {"O'BRIEN", "OBRIEN"},
        {"A-B", "AB"},        {"10", "9"},           {"A1", "a2"},         {"abc", "abd"},
        {"abc", "ab"},        {"abc", "abc\t"},      {"0101000001", "0101000002"},
    };
    for (const auto& [a, b] : pairs) {
        SCOPED_TRACE(std::string(a) + " / " + b);
        EXPECT_EQ(serverOrder(conn_, a, b), sign(db::sqlite::compareTsql(a, b)));
    }
}

// Where ICU's root order and compareTsql part: letters outside Latin-1 and Latin-1's ordinal
// and superscript signs are case or width variants for the server; '_' sorts before letters
// and digits there (as on SQL Server) but after them in compareTsql's code point order.
TEST_F(TsqlCollation, KnownDifferencesFromTheSqliteTarget) {
    EXPECT_EQ(serverOrder(conn_, "Œ", "œ"), 0);
    EXPECT_NE(db::sqlite::compareTsql("Œ", "œ"), 0);
    EXPECT_EQ(serverOrder(conn_, "ª", "a"), 0);
    EXPECT_EQ(serverOrder(conn_, "¹", "1"), 0);
    EXPECT_EQ(serverOrder(conn_, "a_b", "aB"), -1);
    EXPECT_GT(db::sqlite::compareTsql("a_b", "aB"), 0);
}

TEST_F(TsqlCollation, KeysGroupsOrderAndJoinsFollowTheCollation) {
    const std::vector<std::string> words = {"abc",   "ABC ",  "Abd",     "caffè",    "CAFFÈ", "caffe",
                                            "O'Brien", "o'brien  ", "10", "9",      "A-B",   "AB",
                                            "",      " ",     "Ñandú",   "ñandu",    "ÑANDÚ"};
    exec(conn_, "CREATE TABLE w (id int, x bpchar COLLATE tsql)");
    for (std::size_t i = 0; i < words.size(); ++i)
        exec(conn_, "INSERT INTO w VALUES ($1, $2)", {std::to_string(i).c_str(), words[i].c_str()});

    std::size_t classes = 0, equalPairs = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        bool first = true;
        for (std::size_t j = 0; j < words.size(); ++j) {
            if (db::sqlite::compareTsql(words[i], words[j]) != 0) continue;
            ++equalPairs;
            if (j < i) first = false;
        }
        if (first) ++classes;
    }
    EXPECT_EQ(column(conn_, "SELECT COUNT(DISTINCT x) FROM w"), std::vector<std::string>{std::to_string(classes)});
    EXPECT_EQ(column(conn_, "SELECT COUNT(*) FROM (SELECT x FROM w GROUP BY x) g"),
              std::vector<std::string>{std::to_string(classes)});
    EXPECT_EQ(column(conn_, "SELECT COUNT(*) FROM w a JOIN w b ON a.x = b.x"),
              std::vector<std::string>{std::to_string(equalPairs)});

    const auto ordered = column(conn_, "SELECT x FROM w ORDER BY x, id");
    ASSERT_EQ(ordered.size(), words.size());
    for (std::size_t i = 1; i < ordered.size(); ++i)
        EXPECT_LE(db::sqlite::compareTsql(ordered[i - 1], ordered[i]), 0) << ordered[i - 1] << " / " << ordered[i];

    exec(conn_, "CREATE TABLE k (x bpchar COLLATE tsql PRIMARY KEY)");
    exec(conn_, "INSERT INTO k VALUES ('abc'), ('caffe'), ('caffè')");
    EXPECT_THROW(exec(conn_, "INSERT INTO k VALUES ('ABC  ')"), tsqlpg::PgFailure);
    EXPECT_EQ(column(conn_, "SELECT x FROM k WHERE x = 'CAFFÈ'"), std::vector<std::string>{"caffè"});
}

}  // namespace
