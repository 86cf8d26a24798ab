#include <gtest/gtest.h>

#include "db/Criteria.h"
#include "db/Error.h"

using db::Criteria;
using db::FieldInfo;
using db::Row;
using db::UsageError;
using db::Variant;
namespace ado = db::ado;

namespace {

const std::vector<FieldInfo> kFields = {
    {"CONTOPDC", ado::adVarWChar, 15},
    {"DESCR", ado::adVarWChar, 80},
    {"SEGNO", ado::adDecimal, 1},
    {"DATA", ado::adDate, 0},
    {"ANY", ado::adVariant, 0},
};

bool matches(const std::string& criteria, const Row& row) { return Criteria::parse(criteria, kFields).matches(row); }

Row row(Variant conto, Variant descr, Variant segno, Variant data = Variant::null(), Variant any = Variant::null()) {
    return {conto, descr, segno, data, any};
}

}  // namespace

TEST(CriteriaTest, TextComparesCaseInsensitiveIgnoringTrailingBlanks) {
    Row r = row("40100abc  ", "Cassa", Variant::decimal(1));
    EXPECT_TRUE(matches("CONTOPDC = '40100ABC'", r));
    EXPECT_TRUE(matches("contopdc='40100abc   '", r));
    EXPECT_FALSE(matches("CONTOPDC <> '40100ABC'", r));
    EXPECT_TRUE(matches("DESCR > 'BANCA'", r));
    EXPECT_TRUE(matches("DESCR < 'cassaforte'", r));
    EXPECT_TRUE(matches("DESCR >= 'CASSA'", r));
    EXPECT_FALSE(matches("DESCR > 'CASSA'", r));
}

TEST(CriteriaTest, UnquotedNumberOnATextFieldComparesAsWritten) {
    // "CONTOPDC = " + master, the master written without quotes.
    EXPECT_TRUE(matches("CONTOPDC = 4010000000", row("4010000000", "", 1)));
    EXPECT_TRUE(matches("CONTOPDC = 0100000000", row("0100000000", "", 1)));
    EXPECT_FALSE(matches("CONTOPDC = 100000000", row("0100000000", "", 1)));
}

TEST(CriteriaTest, NumericFieldsCompareAsNumbers) {
    Row r = row("A", "", Variant::decimal(2));
    EXPECT_TRUE(matches("SEGNO = 2", r));
    EXPECT_TRUE(matches("SEGNO = '2'", r));
    EXPECT_TRUE(matches("SEGNO = 2.0", r));
    EXPECT_TRUE(matches("SEGNO > 1.5", r));
    EXPECT_TRUE(matches("SEGNO <= 2", r));
    EXPECT_FALSE(matches("SEGNO < -1", r));
    // A numeric field holding text from a loose engine still compares by number.
    EXPECT_TRUE(matches("SEGNO = 10", row("A", "", "10")));
    EXPECT_FALSE(matches("SEGNO = 10", row("A", "", "dieci")));
}

TEST(CriteriaTest, UntypedFieldsCompareByTheValueHeld) {
    EXPECT_TRUE(matches("ANY = 10", row("", "", 0, Variant::null(), Variant(10))));
    EXPECT_TRUE(matches("ANY = '10'", row("", "", 0, Variant::null(), Variant(10))));
    EXPECT_TRUE(matches("ANY = 10", row("", "", 0, Variant::null(), Variant("10"))));
    EXPECT_TRUE(matches("ANY = 'abc'", row("", "", 0, Variant::null(), Variant("ABC"))));
    EXPECT_FALSE(matches("ANY > 9", row("", "", 0, Variant::null(), Variant(5))));
}

TEST(CriteriaTest, NullMatchesOnlyEqualsNull) {
    Row r = row(Variant::null(), "x", Variant::null());
    EXPECT_TRUE(matches("CONTOPDC = NULL", r));
    EXPECT_FALSE(matches("CONTOPDC <> NULL", r));
    EXPECT_FALSE(matches("CONTOPDC <> 'A'", r));
    EXPECT_FALSE(matches("CONTOPDC = 'A'", r));
    EXPECT_FALSE(matches("SEGNO <> 1", r));
    EXPECT_FALSE(matches("CONTOPDC LIKE '*'", r));
    EXPECT_TRUE(matches("DESCR <> NULL", r));
    EXPECT_FALSE(matches("DESCR = NULL", r));
    // An empty text is not Null.
    EXPECT_FALSE(matches("DESCR = NULL", row("", "", 1)));
}

TEST(CriteriaTest, LikeWithStarAndPercent) {
    Row r = row("4010000000", "Crediti verso clienti", 1);
    EXPECT_TRUE(matches("CONTOPDC LIKE '401*'", r));
    EXPECT_TRUE(matches("CONTOPDC LIKE '401%'", r));
    EXPECT_TRUE(matches("DESCR LIKE '*CLIENTI'", r));
    EXPECT_TRUE(matches("DESCR LIKE '%verso%'", r));
    EXPECT_FALSE(matches("DESCR LIKE 'verso*'", r));
    EXPECT_TRUE(matches("DESCR LIKE 'Crediti verso clienti'", r));
    EXPECT_TRUE(matches("SEGNO LIKE '1'", r));
}

TEST(CriteriaTest, QuotesDatesAndBracketedNames) {
    EXPECT_TRUE(matches("DESCR = 'Dell''Orto'", row("", "Dell'Orto", 1)));
    EXPECT_TRUE(matches("[DESCR] = 'a b'", row("", "A B", 1)));
    EXPECT_TRUE(matches("DATA = #2024-01-31#", row("", "", 1, "2024-01-31")));
    EXPECT_TRUE(matches("DATA < #2024-02-01#", row("", "", 1, "2024-01-31")));
}

TEST(CriteriaTest, AndBindsTighterThanOrAndParenthesesGroup) {
    Row r = row("A", "x", 2);
    EXPECT_TRUE(matches("CONTOPDC = 'A' AND SEGNO = 2", r));
    EXPECT_FALSE(matches("CONTOPDC = 'A' AND SEGNO = 1", r));
    EXPECT_TRUE(matches("CONTOPDC = 'B' AND SEGNO = 1 OR CONTOPDC = 'A'", r));
    EXPECT_FALSE(matches("CONTOPDC = 'B' AND (SEGNO = 1 OR CONTOPDC = 'A')", r));
    EXPECT_TRUE(matches("(CONTOPDC = 'B' OR CONTOPDC = 'A') and (SEGNO = 1 or SEGNO = 2)", r));
    EXPECT_FALSE(Criteria::parse("CONTOPDC = 'A' AND SEGNO = 1", kFields).isSingleClause());
    EXPECT_TRUE(Criteria::parse("(SEGNO = 1)", kFields).isSingleClause());
}

TEST(CriteriaTest, MalformedOrUnknownIsAUsageError) {
    for (const char* bad : {"CONTOPDC =  AND SEGNO = 1", "", "   ", "CONTOPDC", "CONTOPDC = 'abc", "= 'A'",
                            "CONTOPDC == 'A'", "CONTOPDC = 'A' AND", "(CONTOPDC = 'A'", "CONTOPDC = 'A')",
                            "SEGNO = 'uno'", "SEGNO = #2024-01-01#", "SEGNO > NULL", "CONTOPDC LIKE 5",
                            "CONTOPDC = 12abc", "CONTOPDC = 'A' 'B'", "[DESCR = 'A'"})
        EXPECT_THROW(Criteria::parse(bad, kFields), UsageError) << bad;
    try {
        Criteria::parse("CONTOPDX = 'A'", kFields);
        FAIL() << "unknown field accepted";
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find("CONTOPDX"), std::string::npos) << e.what();
    }
    try {
        Criteria::parse("CONTOPDC =  AND SEGNO = 1", kFields);
        FAIL() << "empty value accepted";
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find("CONTOPDC =  AND SEGNO = 1"), std::string::npos) << e.what();
    }
}

TEST(CriteriaTest, DeepGroupsAndLongChainsAreRefusedByName) {
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const struct {
        std::string text;
        std::string construct;
    } deep[] = {
        {repeat("(", 7000) + "SEGNO = 1" + repeat(")", 7000), "'('"},
        {"SEGNO = 1" + repeat(" OR SEGNO = 1", 20000), "OR"},
        {"SEGNO = 1" + repeat(" AND SEGNO = 1", 20000), "AND"},
    };
    for (const auto& d : deep) {
        try {
            Criteria::parse(d.text, kFields);
            ADD_FAILURE() << d.construct << " accepted";
        } catch (const UsageError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(d.construct + " annidati oltre 256 livelli"), std::string::npos) << message;
            EXPECT_LT(message.size(), 400u) << "the whole text echoed";
        }
    }
    const Row r = row("A", "x", 1);
    EXPECT_TRUE(matches(repeat("(", 100) + "SEGNO = 1" + repeat(")", 100), r));
    EXPECT_TRUE(matches("SEGNO = 2" + repeat(" OR SEGNO = 2", 100) + " OR CONTOPDC = 'a'", r));
}
