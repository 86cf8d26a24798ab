// The preview read from a demo database: balances of the company and chart only, the
// correlations stored, a database without the balances table, refused requests.

#include <gtest/gtest.h>

#include "BalancesFixture.h"
#include "statement/PreviewExport.h"
#include "statement/PreviewLoad.h"

namespace {

using statement::LoadedPreview;

class PreviewLoad : public statementtest::BalancesTest {
protected:
    LoadedPreview preview(const std::optional<std::string>& date = std::nullopt) {
        return statement::loadPreview(*conn, load(coge()), date);
    }
    static statement::Cents total(const LoadedPreview& l, const std::string& code) {
        const int line = l.preview.lineOf(code);
        return line < 0 ? -1 : l.preview.lines()[static_cast<std::size_t>(line)].total;
    }
};

TEST_F(PreviewLoad, AMissingBalancesTableIsNoBalancesNotAnError) {
    const auto l = preview();
    EXPECT_EQ(l.notice, statement::kNoBalancesTableMessage);
    EXPECT_EQ(l.preview.date(), "");
    EXPECT_EQ(conn->Errors().Count(), 0);
    EXPECT_FALSE(l.preview.lines().empty());   // the chart is still shown, without amounts

    rawExec(statementtest::kBalancesDdl);
    EXPECT_EQ(preview().notice, "Nessun bilancio di verifica importato per la ditta 1 e il PdC 10.");
}

TEST_F(PreviewLoad, ReadsTheCompanyAndChartBalancesAtTheLatestOrChosenDate) {
    addBalances();
    auto l = preview();
    EXPECT_EQ(l.notice, "");
    EXPECT_EQ(l.preview.dates(), (std::vector<std::string>{"2025-12-31", "2026-06-30"}));
    EXPECT_EQ(l.preview.date(), "2026-06-30");
    EXPECT_EQ(total(l, "0202001"), 1234567);
    EXPECT_EQ(total(l, "0204001"), 4950);
    EXPECT_EQ(total(l, "0501001"), -70000);
    EXPECT_EQ(total(l, "02"), 1234567 + 4950);
    EXPECT_EQ(l.preview.lines()[static_cast<std::size_t>(l.preview.unmappedLine())].total, -150000);
    EXPECT_EQ(l.shownTarget("0202001"), "02/02/001");
    EXPECT_EQ(l.shownAccount("1801010002"), "18/01/01/0002");
    EXPECT_EQ(l.accountDescription("1801010002"), "Banca Popolare c/c");

    const auto warnings = l.preview.warnings();
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(statement::describeWarning(l, warnings[1]),
              "Conto 18/01/01/0002 Banca Popolare c/c: saldo Avere -1.200,00 al 30/06/2026, riga Avere non correlata");

    l = preview("2025-12-31");
    EXPECT_EQ(total(l, "0204001"), 500000);
}

TEST_F(PreviewLoad, TheCorrelationsReadForARecomputationAreThoseTheEditorStores) {
    const auto data = load(coge());
    const auto read = statement::readCorrelations(*conn, data.scope);
    std::map<mapping::Key, std::string> same;
    for (const auto& c : read) same.emplace(c.key, c.target);
    EXPECT_EQ(same.size(), read.size());
    EXPECT_EQ(same, data.stored);
    mapping::Scope bad = coge();
    bad.reclChart = "101 OR 1=1";
    EXPECT_THROW(statement::readCorrelations(*conn, bad), mapping::ScopeRefused);
}

TEST_F(PreviewLoad, RefusesAnalyticKindAndDatesNotKeptOrMalformed) {
    addBalances();
    auto message = [&](const mapping::Scope& scope, const std::optional<std::string>& date) {
        try {
            statement::loadPreview(*conn, load(scope), date);
        } catch (const statement::PreviewRefused& e) {
            return std::string(e.what());
        }
        return std::string("no refusal");
    };
    EXPECT_EQ(message(coge(), "2025-12-30"),
              "Nessun bilancio di verifica alla data 30/12/2025. Date disponibili: 31/12/2025, 30/06/2026.");
    EXPECT_EQ(message(coge(), "2025-12-31' OR '1'='1"),
              "Data non valida: \"2025-12-31' OR '1'='1\". Indicare la data del bilancio come AAAA-MM-GG.");
    mapping::Scope coin = coge("201", "101");
    coin.kind = mapping::CorrelationKind::COIN;
    EXPECT_THROW(statement::checkPreviewRequest(coin, std::nullopt), statement::PreviewRefused);
}

TEST_F(PreviewLoad, AQuoteInAStoredCodeStaysInsideItsLiteral) {
    addBalances();
    rawExec("INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', 'X''1', 0, 10);"
            "INSERT INTO CG83_COLLRICL VALUES (10, 'X''1', 101, 2, '0501''9');");
    const auto l = preview();
    const int line = l.preview.lineOf("0501'9");
    ASSERT_GE(line, 0);
    EXPECT_EQ(l.preview.lines()[static_cast<std::size_t>(line)].total, -1000);
    EXPECT_NE(statement::previewHtml(l, "").find("0501'9"), std::string::npos);
    // The table is intact afterwards.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM BRV_SALDI"), "9");
}

}  // namespace

namespace {

// The demo database as `db init --demo` makes it, with the balances it keeps.
class DemoPreview : public mappingtest::MappingTest {};

TEST_F(DemoPreview, TheDemoBalancesWarnOfTheOverdrawnBankAndTheCustomerInCredit) {
    const auto l = statement::loadPreview(*conn, load(coge()), std::nullopt);
    EXPECT_EQ(l.notice, "");
    EXPECT_EQ(l.preview.dates(), (std::vector<std::string>{"2025-12-31", "2026-06-30"}));
    bool bankOverdrawn = false, customerInCredit = false;
    for (const auto& w : l.preview.warnings()) {
        if (w.account == "1801010002" && w.date == "2026-06-30" && w.sign == 2 && w.amount < 0) bankOverdrawn = true;
        if (w.account == "1401010002" && w.sign == 2 && w.amount < 0) customerInCredit = true;
    }
    EXPECT_TRUE(bankOverdrawn);
    EXPECT_TRUE(customerInCredit);
}

}  // namespace
