// Amounts and dates as an Italian trial balance writes them.

#include <gmock/gmock.h>

#include "balances/Amounts.h"

using namespace balances;
using testing::HasSubstr;

TEST(Amounts, ItalianAndPlainDecimalFormsAreRead) {
    const std::pair<const char*, long long> accepted[] = {
        {"1.234,56", 123456}, {"1234,56", 123456}, {"1234.56", 123456}, {"1234.5", 123450}, {"0,5", 50},
        {"1.234.567", 123456700}, {"1.234.567,8", 123456780}, {"-1.234,56", -123456}, {"+12", 1200}, {"007", 700},
        {"9999999999999999,99", 999999999999999999LL}};
    for (const auto& [text, cents] : accepted) {
        const ParsedAmount p = parseAmount(text, "Dare");
        ASSERT_TRUE(p.cents) << text << ": " << p.problem;
        EXPECT_EQ(*p.cents, cents) << text;
    }
}

TEST(Amounts, AmbiguousOrMalformedAmountsSayWhy) {
    const std::pair<const char*, const char*> refused[] = {
        {"1.234", "ambiguo"},          {"1,234", "più di due decimali"}, {"12.3456", "più di due decimali"},
        {"1.23,45", "non numerico"},    {"1,234,56", "non numerico"},    {"12 345", "non numerico"},
        {"abc", "non numerico"},        {"1e5", "non numerico"},         {"12,", "non numerico"},
        {"€ 12", "non numerico"},       {"-", "non numerico"},           {"10000000000000000", "troppo grande"}};
    for (const auto& [text, why] : refused) {
        const ParsedAmount p = parseAmount(text, "Avere");
        EXPECT_FALSE(p.cents) << text;
        EXPECT_THAT(p.problem, HasSubstr(why)) << text;
        EXPECT_THAT(p.problem, HasSubstr("\"Avere\"")) << text;
    }
}

TEST(Amounts, AreShownTheItalianWay) {
    EXPECT_EQ(formatAmount(123456789), "1.234.567,89");
    EXPECT_EQ(formatAmount(-50), "-0,50");
    EXPECT_EQ(formatAmount(0), "0,00");
}

TEST(Dates, IsoItalianAndSpreadsheetSerialsAreRead) {
    EXPECT_EQ(isoDate("2025-12-31"), "2025-12-31");
    EXPECT_FALSE(isoDate("2025-02-29"));
    EXPECT_EQ(isoDate("2024-02-29"), "2024-02-29");
    EXPECT_FALSE(isoDate("31/12/2025"));
    EXPECT_FALSE(isoDate("2025-1-31"));
    EXPECT_EQ(dateOfCell("31/12/2025"), "2025-12-31");
    EXPECT_EQ(dateOfCell("1/6/2026"), "2026-06-01");
    EXPECT_EQ(dateOfCell("46022"), "2025-12-31");   // the cell a spreadsheet stores for 31/12/2025
    EXPECT_FALSE(dateOfCell("31/02/2025"));
    EXPECT_FALSE(dateOfCell("oggi"));
    EXPECT_EQ(italianDate("2026-06-30"), "30/06/2026");
}
