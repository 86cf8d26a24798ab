// The cross-kind view of the demo's standard chart 80: each account with its COGE, HYPE and
// CONS targets, and the refusals of a request that cannot be shown.

#include <gtest/gtest.h>

#include "MappingFixture.h"
#include "mapping/CrossKind.h"

namespace {

class CrossKind : public mappingtest::MappingTest {
protected:
    static mapping::CrossKindRequest all() {
        mapping::CrossKindRequest r;
        r.chart = "80";
        r.reclChart = "103";
        r.hyperionChart = "301";
        r.intercompany = "1";
        r.consChart = "401";
        return r;
    }
    static const mapping::CrossKindRow* row(const mapping::CrossKindView& v, const std::string& account) {
        for (const auto& r : v.rows)
            if (r.account == account) return &r;
        return nullptr;
    }
    std::string refusal(const mapping::CrossKindRequest& request) {
        try {
            mapping::crossKindView(*conn, request);
        } catch (const mapping::ScopeRefused& e) {
            return e.what();
        }
        return "<accepted>";
    }
};

TEST_F(CrossKind, EachAccountShowsItsTargetsOfEveryKindSideBySide) {
    const auto view = mapping::crossKindView(*conn, all());
    ASSERT_EQ(view.scopes.size(), 3u);
    EXPECT_EQ(view.scopes[0].kind, mapping::CorrelationKind::COGE);
    EXPECT_EQ(view.scopes[1].kind, mapping::CorrelationKind::HYPE);
    EXPECT_EQ(view.scopes[2].kind, mapping::CorrelationKind::CONS);
    EXPECT_EQ(view.chartDescription, "Piano dei conti standard");

    const auto* customers = row(view, "1401000000");
    ASSERT_NE(customers, nullptr);
    EXPECT_EQ(customers->shownAccount, "14/0100/0000");
    ASSERT_EQ(customers->targets.size(), 3u);
    EXPECT_EQ(customers->targets[0].debit, "A0202");
    EXPECT_EQ(customers->targets[0].credit, "");
    EXPECT_EQ(customers->targets[1].debit, "BS2200");
    EXPECT_EQ(customers->targets[1].credit, "BS2200");
    EXPECT_EQ(customers->targets[2].debit, "IC101");
    EXPECT_EQ(customers->targets[2].credit, "");
    for (const auto& t : customers->targets) EXPECT_TRUE(t.listed);

    // A consolidation-level account is listed by HYPE and CONS, not by COGE, which lists leaves.
    const auto* group = row(view, "0101000000");
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->targets[0].listed);
    EXPECT_TRUE(group->targets[1].listed);
    EXPECT_EQ(group->targets[1].debit, "BS1100");

    for (std::size_t i = 1; i < view.rows.size(); ++i) EXPECT_LT(view.rows[i - 1].account, view.rows[i].account);
}

TEST_F(CrossKind, OnlyTheRequestedKindsAreShown) {
    mapping::CrossKindRequest r;
    r.chart = "10";
    r.hyperionChart = "301";
    const auto view = mapping::crossKindView(*conn, r);
    ASSERT_EQ(view.scopes.size(), 1u);
    EXPECT_EQ(view.scopes[0].kind, mapping::CorrelationKind::HYPE);
    const auto* customers = row(view, "1401000000");
    ASSERT_NE(customers, nullptr);
    ASSERT_EQ(customers->targets.size(), 1u);
    EXPECT_EQ(customers->targets[0].debit, "BS2200");
}

TEST_F(CrossKind, RequestsThatCannotBeShownAreRefusedWithTheReason) {
    auto r = all();
    r.chart = "10";   // the structure's company keeps chart 80
    EXPECT_EQ(refusal(r), "La struttura intercompany 1 usa il piano dei conti 80, non il 10.");
    r = all();
    r.consChart.clear();
    EXPECT_EQ(refusal(r), "Indicare il piano riclassificato intercompany della struttura 1.");
    mapping::CrossKindRequest none;
    none.chart = "80";
    EXPECT_NE(refusal(none).find("Indicare almeno un tipo da confrontare"), std::string::npos);
    r = all();
    r.hyperionChart = "401";   // the intercompany reclassified chart
    EXPECT_NE(refusal(r), "<accepted>");
}

}  // namespace
