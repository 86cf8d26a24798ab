// The stand-alone finders' lookup statements executed on the demo database: which charts each
// selector offers, the accounts of a chart with their analytic flag, and the "Kpers1"
// lookups of the charts already correlated with a chart or structure, per kind.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ComponentsFixture.h"
#include "host/HostError.h"

using componentstest::DemoComponents;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

using Codes = std::vector<std::string>;

class Finders : public DemoComponents {};

TEST_F(Finders, ChartSelectorsOfferTheRightChartTypes) {
    auto finder = host_.classes->newReclChartFinder();
    finder->init(entry_, connection());

    finder->setChartSelector(host::ReclChartFinder::kBalanceReclassification);
    auto balance = finder->prepareChartLookup();
    EXPECT_THAT(firstColumn(balance.sql), ElementsAre("101", "102", "103", "110", "301"));

    finder->setChartSelector(host::ReclChartFinder::kAnalytic);
    auto analytic = finder->prepareChartLookup();
    EXPECT_THAT(firstColumn(analytic.sql), ElementsAre("201"));

    finder->setChartSelector(host::ReclChartFinder::kIntercompanyReclassified);
    auto intercompany = finder->prepareChartLookup();
    EXPECT_THAT(firstColumn(intercompany.sql), ElementsAre("401"));

    // Each selector is its own lookup for the box, with its own caption.
    EXPECT_NE(balance.lookupId, analytic.lookupId);
    EXPECT_NE(analytic.lookupId, intercompany.lookupId);
    EXPECT_NE(balance.caption, intercompany.caption);
    ASSERT_EQ(balance.fields.size(), 3u);
    EXPECT_EQ(balance.fields[0].column, "PC01_CODICE");

    EXPECT_THROW(finder->setChartSelector(3), host::HostError);
    EXPECT_EQ(finder->chartSelector(), host::ReclChartFinder::kIntercompanyReclassified);
}

TEST_F(Finders, AccountsLookupListsTheChartsAccountsWithTheAnalyticFlag) {
    auto finder = host_.classes->newReclChartFinder();
    finder->init(entry_, connection());
    finder->setAccountsChart(db::Variant("401"));
    auto d = finder->prepareAccountsLookup();
    EXPECT_FALSE(d.lookupId.empty());
    ASSERT_EQ(d.fields.size(), 4u);

    auto rs = connection()->Execute(d.sql);
    ASSERT_EQ(rs->RecordCount(), 11);
    for (const auto& f : d.fields) EXPECT_TRUE(rs->fields().contains(f.column)) << f.column;
    EXPECT_EQ(rs->value("PC03_CONTO").toText(), "IC1");
    EXPECT_EQ(rs->value("PC03_INDANALITICO").toText(), "No");   // a grouping level
    rs->MoveNext();
    EXPECT_EQ(rs->value("PC03_CONTO").toText(), "IC101");
    EXPECT_EQ(rs->value("PC03_DESCR").toText(), "Crediti verso societa' del gruppo");
    EXPECT_EQ(rs->value("PC03_INDANALITICO").toText(), "Sì");
    EXPECT_EQ(rs->value("PC03_INDTIPOCONTO").toInt64(), 1);

    // The chart stays set until changed; a chart that is not a number lists nothing.
    EXPECT_EQ(firstColumn(finder->prepareAccountsLookup().sql).size(), 11u);
    for (const char* bad : {"4'01", "401 OR 1=1", ""}) {
        finder->setAccountsChart(db::Variant(bad));
        EXPECT_THAT(firstColumn(finder->prepareAccountsLookup().sql), IsEmpty()) << bad;
    }
    finder->setAccountsChart(db::Variant());
    EXPECT_THAT(firstColumn(finder->prepareAccountsLookup().sql), IsEmpty());
}

TEST_F(Finders, LedgerChartsLookup) {
    auto finder = host_.classes->newLedgerChartFinder();
    finder->init(host_.global);
    auto d = finder->ledgerCharts();
    EXPECT_THAT(firstColumn(d.sql), ElementsAre("10", "80"));
    EXPECT_FALSE(d.caption.empty());
    EXPECT_FALSE(d.lookupId.empty());
}

TEST_F(Finders, CorrelatedChartsPerKind) {
    auto finder = host_.classes->newLedgerChartFinder();
    finder->init(host_.global);
    // COGE: chart 10 is correlated with 101, the standard chart with the interim balances.
    EXPECT_THAT(firstColumn(finder->reclChartsOfLedgerChart(db::Variant("10")).sql), ElementsAre("101"));
    EXPECT_THAT(firstColumn(finder->reclChartsOfLedgerChart(db::Variant(80)).sql), ElementsAre("103"));
    // COIN: analytic chart 201 with the management reclassification.
    EXPECT_THAT(firstColumn(finder->reclChartsOfAnalyticChart(db::Variant("201")).sql), ElementsAre("102"));
    EXPECT_THAT(firstColumn(finder->reclChartsOfAnalyticChart(db::Variant("10")).sql), IsEmpty());
    // HYPE: both ledger charts with the Hyperion chart, each listed once.
    EXPECT_THAT(firstColumn(finder->hyperionChartsOfLedgerChart(db::Variant("80")).sql), ElementsAre("301"));
    EXPECT_THAT(firstColumn(finder->hyperionChartsOfLedgerChart(db::Variant("10")).sql), ElementsAre("301"));
    // CONS: the structure with a company, and the one without correlations.
    EXPECT_THAT(firstColumn(finder->reclChartsOfStructure(db::Variant("1")).sql), ElementsAre("401"));
    EXPECT_THAT(firstColumn(finder->reclChartsOfStructure(db::Variant("2")).sql), IsEmpty());
    // A code that is not a number lists nothing instead of failing.
    EXPECT_THAT(firstColumn(finder->reclChartsOfLedgerChart(db::Variant("1'0")).sql), IsEmpty());

    auto d = finder->reclChartsOfLedgerChart(db::Variant("10"));
    auto rs = connection()->Execute(d.sql);
    EXPECT_EQ(rs->value("PC01_DESCR").toText(), "Stato patrimoniale e conto economico riclassificati");
    EXPECT_EQ(rs->value("PC01_INDTIPOPDC").toInt64(), 3);
    ASSERT_EQ(d.fields.size(), 3u);
    EXPECT_FALSE(d.lookupId.empty());
}

TEST_F(Finders, ChartLookupThroughACodeBoxWritesTheChosenChart) {
    auto finder = host_.classes->newReclChartFinder();
    finder->init(entry_, connection());
    code_->StartDecode.connect([&](bool&, std::string& sql, kit::DecodeFields& fields, std::string& connect) {
        auto d = host_.classes->newReclChartDecoder()->decode(db::Variant(code_->Text()), description_, levels_);
        sql = d.sql;
        fields = d.fields;
        connect = connect_;
    });
    code_->StartLookup.connect([&](bool&, std::string& sql, kit::LookupFields& fields, std::string& caption,
                                   std::string& connect) {
        finder->setChartSelector(host::ReclChartFinder::kBalanceReclassification);
        auto d = finder->prepareChartLookup();
        sql = d.sql;
        fields = d.fields;
        caption = d.caption;
        connect = connect_;
        code_->setIDLookup(d.lookupId);
    });
    ws_.scriptedLookups().push(1);
    ASSERT_TRUE(code_->OpenLookup()) << code_->lastError();
    EXPECT_EQ(code_->Text(), "102");
    EXPECT_TRUE(code_->IsDecoded());
    EXPECT_EQ(description_->Text(), "Riclassificazione gestionale");
    ASSERT_EQ(ws_.scriptedLookups().requests().size(), 1u);
    const auto& request = ws_.scriptedLookups().requests()[0];
    EXPECT_EQ(request.recordset->RecordCount(), 5);
    EXPECT_EQ(request.idLookup, code_->IDLookup());
    EXPECT_EQ(request.caption, "Piani di riclassificazione di bilancio");
}

}  // namespace
