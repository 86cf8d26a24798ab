// The TSQL collation's order and the translator's public API beyond the golden files.

#include "db/sqlite/SqliteRuntime.h"
#include "db/tsql/Translator.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using db::sqlite::compareTsql;

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

// The shortcut for ASCII text against the character-by-character order, on random texts
// mixing case, accents, blanks, NULs, a broken UTF-8 byte and characters around the letters;
// and tsql_key's texts, equal exactly when the collation finds two texts equal.
TEST(TsqlCollation, TheAsciiShortcutOrdersAsTheFullComparison) {
    const std::vector<std::string> pieces = {"a", "A", "e", "E", "z", "Z", "y", "Y", " ", "  ", "0", "9", "_", "@",
                                             "[", "`", "{", "~", std::string(1, '\0'), "\x7f", "è", "È", "é",
                                             "É", "à", "ÿ", "Ÿ", "ß", "÷", "×", "\xc3", "\xff", "€"};
    std::mt19937 random(17);
    auto text = [&] {
        std::string out;
        for (int n = static_cast<int>(random() % 7); n > 0; --n) out += pieces[random() % pieces.size()];
        return out;
    };
    int equal = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string a = text(), b = random() % 4 == 0 ? a : text();
        if (random() % 3 == 0)   // the same text in other case: ties broken by the accent only
            for (char& c : b)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (random() % 4 == 0) b += std::string(random() % 3, ' ');
        const int fast = compareTsql(a, b), full = db::sqlite::compareTsqlByCharacter(a, b);
        ASSERT_EQ(fast, full) << '"' << a << "\" vs \"" << b << '"';
        // Grouping by tsql_key must make exactly the groups the collation makes.
        ASSERT_EQ(fast == 0, db::sqlite::equalityKeyTsql(a) == db::sqlite::equalityKeyTsql(b))
            << '"' << a << "\" vs \"" << b << '"';
        equal += fast == 0;
    }
    EXPECT_GT(equal, 10000);
    EXPECT_EQ(compareTsql("", ""), 0);
    EXPECT_EQ(compareTsql(std::string("a\0b", 3), std::string("A\0B ", 4)), 0);
    EXPECT_GT(compareTsql(std::string("a\0", 2), "a "), 0);   // NUL is no blank
}

TEST(TsqlCollation, OrdersRowsOnAConnection) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    db::sqlite::registerSqliteRuntime(db);
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

struct MemoryDb {
    sqlite3* db = nullptr;
    MemoryDb() {
        sqlite3_open(":memory:", &db);
        db::sqlite::registerSqliteRuntime(db);
    }
    ~MemoryDb() { sqlite3_close(db); }
    // The value of tsql_decimal(value, p, s) as text, or "error: <message>".
    // A bound double stands for ?1 in `value`.
    std::string decimal(const std::string& value, int p, int s, double bound = 0) {
        sqlite3_stmt* st = nullptr;
        const std::string sql = "SELECT tsql_decimal(" + value + ", " + std::to_string(p) + ", " + std::to_string(s) + ")";
        EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
        sqlite3_bind_double(st, 1, bound);
        std::string out;
        if (sqlite3_step(st) == SQLITE_ROW) {
            char buf[64];
            if (sqlite3_column_type(st, 0) == SQLITE_INTEGER)
                std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(sqlite3_column_int64(st, 0)));
            else
                std::snprintf(buf, sizeof buf, "%.17g", sqlite3_column_double(st, 0));
            out = buf;
        } else {
            out = std::string("error: ") + sqlite3_errmsg(db);
        }
        sqlite3_finalize(st);
        return out;
    }
};

TEST(TsqlDecimal, RoundsHalfAwayFromZeroAndRefusesWhatDoesNotFit) {
    MemoryDb m;
    EXPECT_EQ(m.decimal("0.5", 5, 0), "1");
    EXPECT_EQ(m.decimal("-0.5", 5, 0), "-1");
    EXPECT_EQ(m.decimal("2.5", 1, 0), "3");
    EXPECT_EQ(m.decimal("'12.345'", 10, 2), m.decimal("12.35", 10, 2));
    EXPECT_EQ(m.decimal("'-0.125'", 10, 2), m.decimal("-0.13", 10, 2));
    EXPECT_EQ(m.decimal("9.5", 1, 0), "error: Arithmetic overflow error converting numeric to data type numeric.");
    EXPECT_EQ(m.decimal("999.995", 5, 2), "error: Arithmetic overflow error converting numeric to data type numeric.");
    EXPECT_EQ(m.decimal("999.994", 5, 2), "999.99000000000001");
    EXPECT_EQ(m.decimal("123456789012345678", 38, 0), "123456789012345678");
    EXPECT_EQ(m.decimal("'1e3'", 10, 0), "error: Error converting data type nvarchar to numeric.");
}

// The same results as computing the powers of ten with powl, at every precision and scale.
TEST(TsqlDecimal, AgreesWithPowersComputedAtRunTime) {
    MemoryDb m;
    std::mt19937 random(3);
    auto reference = [](long double value, int p, int s) -> std::string {
        const long double factor = std::pow(10.0L, s);
        const long double rounded = std::round(value * factor);
        if (std::fabs(rounded) >= std::pow(10.0L, p))
            return "error: Arithmetic overflow error converting numeric to data type numeric.";
        char buf[64];
        if (s == 0) std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(rounded));
        else std::snprintf(buf, sizeof buf, "%.17g", static_cast<double>(rounded / factor));
        return buf;
    };
    for (int p = 1; p <= 38; ++p)
        for (int s = 0; s <= p; ++s)
            for (int k = 0; k < 6; ++k) {
                // Halves at the last place kept, and values around the largest that fits.
                const int digits = static_cast<int>(random() % 18);
                const double value = k < 3 ? (static_cast<double>(random() % 2000000) - 1000000.0) / std::pow(10.0, digits) + 0.5 / std::pow(10.0, s)
                                           : std::pow(10.0, p - s) - std::pow(10.0, -s) * (k - 3) / 2.0;
                if (s > 18 && k < 3) continue;   // beyond what a double holds past the point
                ASSERT_EQ(m.decimal("?1", p, s, value), reference(value, p, s)) << value << " DECIMAL(" << p << "," << s << ")";
            }
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
