// Cutting a translated step into the statements prepared one by one: a ';' inside a literal,
// a quoted name, a dollar-quoted body or a comment does not end a statement.

#include <gtest/gtest.h>

#include "db/postgres/PostgresText.h"

namespace {

using db::postgres::splitStatements;
using Parts = std::vector<std::string>;

TEST(PostgresTextTest, SplitKeepsQuotedSemicolonsAndDropsEmptyParts) {
    EXPECT_EQ(splitStatements("SELECT 1; SELECT 2;"), (Parts{"SELECT 1", " SELECT 2"}));
    EXPECT_EQ(splitStatements("INSERT INTO t VALUES ('a;''b'); SELECT \"x;y\" FROM t"),
              (Parts{"INSERT INTO t VALUES ('a;''b')", " SELECT \"x;y\" FROM t"}));
    EXPECT_EQ(splitStatements("SELECT E'\\';' AS a; -- fine; commento\n/* a; /* b; */ c; */ ;  "),
              (Parts{"SELECT E'\\';' AS a"}));
    EXPECT_EQ(splitStatements("CREATE FUNCTION f() RETURNS int AS $body$ SELECT 1; $body$ LANGUAGE sql; SELECT $1"),
              (Parts{"CREATE FUNCTION f() RETURNS int AS $body$ SELECT 1; $body$ LANGUAGE sql", " SELECT $1"}));
    EXPECT_EQ(splitStatements("SELECT 'unterminated; x"), (Parts{"SELECT 'unterminated; x"}));
    EXPECT_TRUE(splitStatements(" -- solo un commento\n").empty());
}

TEST(PostgresTextTest, ConnectionValuesAndNames) {
    EXPECT_EQ(db::postgres::unbraced("{a;b}}c}"), "a;b}c");
    EXPECT_EQ(db::postgres::unbraced("plain"), "plain");
    EXPECT_EQ(db::quoteIdentifier("GRU\"PPO"), "\"GRU\"\"PPO\"");
    EXPECT_EQ(db::postgres::firstKeyword("  /* x */ -- y\n begin;"), "BEGIN");
}

}  // namespace
