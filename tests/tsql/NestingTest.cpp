// Deeply nested or chained texts are refused with a message naming the construct, before the
// recursion of the parser or the generator can exhaust the stack; the depth real statements
// use still translates.

#include <gtest/gtest.h>

#include <string>

#include "db/tsql/Translator.h"

namespace {

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// The message of the error translating `sql`, or "" when it translates.
std::string errorOf(const std::string& sql) {
    try {
        db::tsql::translate(sql);
        return "";
    } catch (const db::tsql::TranslateError& e) {
        EXPECT_LE(e.offset(), sql.size());
        return e.what();
    }
}

TEST(TsqlNesting, EveryDeepConstructIsRefusedByName) {
    const struct {
        std::string sql;
        std::string construct;
    } cases[] = {
        {"SELECT " + repeat("(", 7000) + "1" + repeat(")", 7000), "parentesi"},
        {"SELECT 1 WHERE " + repeat("NOT ", 20000) + "1 = 1", "NOT"},
        {"SELECT " + repeat("- ", 20000) + "1", "segno -"},
        {"SELECT 1" + repeat(" + 1", 20000), "operatore +"},
        {"SELECT 1" + repeat(" * 1", 20000), "operatore *"},
        {"SELECT 1 WHERE A" + repeat(" OR A", 20000), "OR"},
        {"SELECT 1 WHERE A" + repeat(" AND A", 20000), "AND"},
        {"SELECT 1 WHERE 1" + repeat(" = 1", 20000), "="},
        {repeat("SELECT (", 3000) + "1" + repeat(")", 3000), "SELECT"},
        {"SELECT " + repeat("CASE WHEN A THEN ", 3000) + "1" + repeat(" END", 3000), "CASE"},
        {"SELECT " + repeat("ABS(", 3000) + "1" + repeat(")", 3000), "funzione ABS"},
        {"SELECT " + repeat("CAST(", 3000) + "1" + repeat(" AS INT)", 3000), "CAST"},
        {"SELECT 1 WHERE 1" + repeat(" IN (1", 3000) + repeat(")", 3000), "IN"},
        // Each IF holds the SELECT of its condition one level further in.
        {repeat("IF EXISTS (SELECT 1) ", 3000) + "INSERT INTO T VALUES (1)", "SELECT"},
    };
    for (const auto& c : cases) {
        const std::string message = errorOf(c.sql);
        EXPECT_EQ(message.rfind("T-SQL non supportato: annidamento di " + c.construct + " oltre 256 livelli", 0), 0u)
            << c.construct << ": " << message;
    }
}

TEST(TsqlNesting, RealisticDepthsStillTranslate) {
    EXPECT_EQ(errorOf("SELECT " + repeat("(", 100) + "1" + repeat(")", 100)), "");
    EXPECT_EQ(errorOf("SELECT 1 WHERE 1 = 1" + repeat(" AND A = 'x'", 100)), "");
    EXPECT_EQ(errorOf("SELECT A" + repeat(" + 'x'", 200) + " FROM T"), "");
    EXPECT_EQ(errorOf("SELECT 1 WHERE A IN (" + repeat("1, ", 5000) + "1)"), "");
    EXPECT_EQ(errorOf(repeat("SELECT 1 UNION ALL ", 2000) + "SELECT 1"), "");
}

}  // namespace
