// The preview's arithmetic on a small hand-made chart: which row each balance goes through,
// the totals of the levels, "Non correlato", the drill-down, the warnings, and the incremental
// update agreeing with a full computation.

#include <gtest/gtest.h>

#include <random>

#include "statement/Preview.h"

namespace {

using statement::Preview;
using statement::ReclChart;
using statement::TrialBalances;

const std::string kEnd = "2025-12-31", kMid = "2026-06-30";

ReclChart chart(const std::string& mask = "xx/xx/xxx") {
    std::unordered_map<std::string, mapping::ReclAccount> accounts = {
        {"02", {"ATTIVITA' CORRENTI", false, 1}},       {"0202", {"Crediti commerciali", false, 1}},
        {"0202001", {"Crediti verso clienti", true, 1}}, {"0204", {"Liquidita'", false, 1}},
        {"0204001", {"Banche attive", true, 1}},         {"05", {"PASSIVITA' CORRENTI", false, 1}},
        {"0501", {"Debiti a breve", false, 1}},          {"0501003", {"Debiti verso banche", true, 1}},
        {"0501001", {"Debiti verso fornitori", true, 1}},
    };
    return ReclChart(accounts, mask);
}

// A bank in debit at the year end and overdrawn at mid-year, a customer in credit, a
// customer and a supplier with ordinary balances.
TrialBalances balances() {
    return TrialBalances::fromRows({
        {"BANCA", kEnd, 500000},  {"BANCA", kMid, -120000},
        {"CLI1", kEnd, 1000000},  {"CLI1", kMid, 1234567},
        {"CLI2", kMid, -30000},
        {"FORN", kEnd, -800000},  {"FORN", kMid, -650000},
    });
}

std::map<mapping::Key, std::string> correlations() {
    return {{{"BANCA", 1}, "0204001"}, {{"CLI1", 1}, "0202001"}, {{"CLI1", 2}, "0202001"},
            {{"CLI2", 1}, "0202001"},  {{"FORN", 2}, "0501001"}};
}

statement::Cents total(const Preview& p, const std::string& code) {
    const int line = p.lineOf(code);
    EXPECT_GE(line, 0) << code;
    return line < 0 ? 0 : p.lines()[static_cast<std::size_t>(line)].total;
}

TEST(ReclChartShape, ParentsFollowTheMaskLevelsOrAnyPrefixWithoutMask) {
    const ReclChart masked = chart();
    const auto& l = masked.lines();
    const auto parentOf = [&](const std::string& code) {
        const int p = l[static_cast<std::size_t>(masked.find(code))].parent;
        return p < 0 ? std::string("-") : l[static_cast<std::size_t>(p)].code;
    };
    EXPECT_EQ(parentOf("0202001"), "0202");
    EXPECT_EQ(parentOf("0202"), "02");
    EXPECT_EQ(parentOf("02"), "-");
    EXPECT_EQ(l[static_cast<std::size_t>(masked.find("0501003"))].level, 3);
    EXPECT_EQ(masked.levelEnds(), (std::vector<std::size_t>{2, 4, 7}));

    // "0" is a code of the chart but no level of the mask ends after one character.
    std::unordered_map<std::string, mapping::ReclAccount> odd = {{"0", {"Zero", false, 1}}, {"01", {"Uno", false, 1}}};
    EXPECT_EQ(ReclChart(odd, "xx/xxx").lines()[1].parent, -1);
    // Without a mask any prefix that is a code counts, as in a group chart ("BS", "BS1100").
    std::unordered_map<std::string, mapping::ReclAccount> group = {{"BS", {"SP", false, 1}},
                                                                   {"BS1100", {"Immobilizzazioni", true, 1}}};
    const ReclChart plain(group, "");
    EXPECT_EQ(plain.lines()[static_cast<std::size_t>(plain.find("BS1100"))].parent, plain.find("BS"));
}

TEST(PreviewAmounts, EachBalanceGoesThroughTheRowOfItsSignAndTotalsFollowTheLevels) {
    Preview p(chart(), balances(), correlations());
    EXPECT_EQ(p.date(), kMid);   // the latest by default
    // The customer in debit goes through its Dare row, the one in credit would need its Avere row.
    EXPECT_EQ(total(p, "0202001"), 1234567);
    // The supplier's credit balance goes through its Avere row, with its sign.
    EXPECT_EQ(total(p, "0501001"), -650000);
    EXPECT_EQ(total(p, "0501"), -650000);
    EXPECT_EQ(total(p, "05"), -650000);
    EXPECT_EQ(total(p, "0204001"), 0);   // the overdrawn bank has no Avere correlation
    EXPECT_EQ(total(p, "02"), 1234567);
    const auto& unmapped = p.lines()[static_cast<std::size_t>(p.unmappedLine())];
    EXPECT_EQ(unmapped.description, "Non correlato");
    EXPECT_EQ(unmapped.total, -120000 - 30000);
    EXPECT_EQ(unmapped.accounts, 2);

    // At the year end the same bank is in debit and its Dare row takes it.
    ASSERT_TRUE(p.setDate(kEnd));
    EXPECT_EQ(total(p, "0204001"), 500000);
    EXPECT_EQ(total(p, "02"), 1500000);
    EXPECT_EQ(p.lines()[static_cast<std::size_t>(p.unmappedLine())].total, 0);
    EXPECT_FALSE(p.setDate("2024-12-31"));
    EXPECT_EQ(p.date(), kEnd);
}

TEST(PreviewAmounts, ATargetTheChartLacksGetsItsOwnLine) {
    auto c = correlations();
    c[{"FORN", 2}] = "9999";
    Preview p(chart(), balances(), c);
    const int line = p.lineOf("9999");
    ASSERT_GE(line, 0);
    EXPECT_FALSE(p.lines()[static_cast<std::size_t>(line)].inChart);
    EXPECT_EQ(p.lines()[static_cast<std::size_t>(line)].total, -650000);
    EXPECT_EQ(line, p.unmappedLine() - 1);
    EXPECT_EQ(total(p, "05"), 0);
}

TEST(PreviewDrillDown, ListsTheAccountsBehindALineAndEveryLineItTotals) {
    Preview p(chart(), balances(), correlations());
    auto direct = p.drillDown(p.lineOf("0202001"));
    ASSERT_EQ(direct.size(), 1u);
    EXPECT_EQ(direct[0].account, "CLI1");
    EXPECT_EQ(direct[0].sign, 1);
    EXPECT_EQ(direct[0].amount, 1234567);
    EXPECT_EQ(direct[0].target, "0202001");

    auto unmapped = p.drillDown(p.unmappedLine());
    ASSERT_EQ(unmapped.size(), 2u);
    EXPECT_EQ(unmapped[0].account, "BANCA");   // largest amount first
    EXPECT_EQ(unmapped[0].sign, 2);
    EXPECT_EQ(unmapped[0].target, "");
    EXPECT_EQ(unmapped[1].account, "CLI2");

    ASSERT_TRUE(p.setDate(kEnd));
    auto top = p.drillDown(p.lineOf("02"));
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].account, "CLI1");
    EXPECT_EQ(top[1].account, "BANCA");
    EXPECT_EQ(top[1].target, "0204001");
    EXPECT_TRUE(p.drillDown(-1).empty());
}

TEST(PreviewWarnings, EveryKeptDateWhoseSignRowIsNotCorrelated) {
    Preview p(chart(), balances(), correlations());
    auto w = p.warnings();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].account, "BANCA");
    EXPECT_EQ(w[0].date, kMid);
    EXPECT_EQ(w[0].sign, 2);
    EXPECT_EQ(w[0].amount, -120000);
    EXPECT_EQ(w[1].account, "CLI2");
    EXPECT_EQ(p.warningCount(), 2);
    // Shown at either date: the warnings look at every date kept.
    ASSERT_TRUE(p.setDate(kEnd));
    EXPECT_EQ(p.warnings().size(), 2u);

    // Mapping the bank's Avere row clears its warning; unmapping its Dare row raises one for
    // the year end.
    p.setTarget({"BANCA", 2}, "0501003");
    p.setTarget({"BANCA", 1}, "");
    w = p.warnings();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].account, "BANCA");
    EXPECT_EQ(w[0].date, kEnd);
    EXPECT_EQ(w[0].sign, 1);
    EXPECT_EQ(p.warningCount(), 2);
}

TEST(PreviewIncremental, EveryChangeLeavesWhatAFullComputationGives) {
    Preview live(chart(), balances(), correlations());
    auto current = correlations();
    const std::vector<std::string> targets = {"", "0202001", "0204001", "0501003", "0501001", "0204", "8888"};
    const std::vector<std::string> accounts = {"BANCA", "CLI1", "CLI2", "FORN", "NOBALANCE"};
    std::mt19937 random(7);
    for (int step = 0; step < 300; ++step) {
        const mapping::Key key{accounts[random() % accounts.size()], static_cast<int>(random() % 2) + 1};
        const std::string& target = targets[random() % targets.size()];
        live.setTarget(key, target);
        if (target.empty())
            current.erase(key);
        else
            current[key] = target;
        if (step % 50 == 0) {
            ASSERT_TRUE(live.setDate(step % 100 == 0 ? kEnd : kMid));
        }

        const Preview full(chart(), balances(), current, live.date());
        for (const auto& line : full.lines()) {
            const int at = line.code.empty() ? live.unmappedLine() : live.lineOf(line.code);
            ASSERT_GE(at, 0) << "step " << step << " " << line.code;
            const auto& mine = live.lines()[static_cast<std::size_t>(at)];
            // A target no longer used keeps its (empty) line in the live preview.
            ASSERT_EQ(mine.total, line.total) << "step " << step << " line " << line.code;
            ASSERT_EQ(mine.accounts, line.accounts) << "step " << step << " line " << line.code;
        }
        ASSERT_EQ(live.warningCount(), full.warningCount()) << "step " << step;
        ASSERT_EQ(live.warnings().size(), full.warnings().size()) << "step " << step;
    }
}

TEST(PreviewAmounts, NoBalancesGiveEmptyLinesAndNoDate) {
    Preview p(chart(), TrialBalances(), correlations());
    EXPECT_EQ(p.date(), "");
    EXPECT_TRUE(p.warnings().empty());
    for (const auto& l : p.lines()) EXPECT_EQ(l.total, 0);
    p.setTarget({"CLI1", 1}, "0501001");
    EXPECT_EQ(total(p, "0501001"), 0);
}

TEST(AmountText, ItalianGroupingAndDecimalComma) {
    EXPECT_EQ(statement::formatAmount(123456), "1.234,56");
    EXPECT_EQ(statement::formatAmount(-50), "-0,50");
    EXPECT_EQ(statement::formatAmount(0), "0,00");
    EXPECT_EQ(statement::formatAmount(100000000000), "1.000.000.000,00");
    EXPECT_EQ(statement::formatAmount(INT64_MIN), "-92.233.720.368.547.758,08");
    EXPECT_EQ(statement::centsOf(1234.565), 123457);
    EXPECT_EQ(statement::italianDate("2025-12-31"), "31/12/2025");
    EXPECT_FALSE(statement::isIsoDate("2025-02-30"));
    EXPECT_FALSE(statement::isIsoDate("2025-1'-30"));
    EXPECT_TRUE(statement::isIsoDate("2024-02-29"));
}

}  // namespace
