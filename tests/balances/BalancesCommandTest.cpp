// brevanto-cli balances: import shows the preview and writes only with --apply (never with a
// refused row); list shows the dates kept.

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>

#include "BalanceFixture.h"

using balancetest::kDate;
using testing::HasSubstr;

namespace {

class BalancesCommandTest : public balancetest::BalanceTest {
protected:
    testsupport::CommandResult cli(const std::string& args) const {
        return testsupport::runCommand(std::string(BREVANTO_CLI) + " balances " + args + " --dir " + testsupport::sh(dir.str()));
    }
    std::string import(const std::filesystem::path& file, const std::string& more = "") const {
        return "import " + testsupport::sh(file.string()) + " --pdc 10 --date " + kDate + more;
    }
};

}  // namespace

TEST_F(BalancesCommandTest, ImportPreviewsFirstAndWritesWithApply) {
    const auto file = csv("b.csv", "Conto;Dare;Avere\n1801010001;1.500,00;\n2601010001;;1.500,00");
    auto r = cli(import(file));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Ditta 1, piano dei conti 10, bilancio al 31/12/2026"));
    EXPECT_THAT(r.out, HasSubstr("2 aggiunte, 0 modificate, 0 eliminate, 0 invariate, 0 rifiutate"));
    EXPECT_THAT(r.out, HasSubstr("Totale Dare 1.500,00, totale Avere 1.500,00"));
    EXPECT_THAT(r.out, HasSubstr("Aggiungere --apply per scrivere le 2 righe cambiate."));
    EXPECT_EQ(storedRows(), 0);

    r = cli(import(file, " --apply"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Scritte 2 righe del bilancio."));
    EXPECT_EQ(storedAmounts("1801010001"), "1500.00/0.00");

    r = cli(import(file, " --apply --json"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["conteggi"]["Invariata"], 2);
    EXPECT_EQ(j["scritte"], 0);
    EXPECT_EQ(j["totaleDare"], 1500.0);
}

TEST_F(BalancesCommandTest, ARefusedRowStopsApplyWithExitCodeOne) {
    const auto file = csv("b.csv", "Conto;Dare;Avere\n1801010001;10;0\nXX;1;0");
    auto r = cli(import(file, " --apply"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.out, HasSubstr("Conto non presente nel piano dei conti 10"));
    EXPECT_THAT(r.out, HasSubstr("Nulla è stato scritto: correggere nel file la riga rifiutata."));
    EXPECT_EQ(storedRows(), 0);

    r = cli("import " + testsupport::sh((dir.path() / "none.xlsx").string()) + " --pdc 10 --date 2026-12-31");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("non esiste"));
    r = cli("import " + testsupport::sh(file.string()) + " --pdc 10");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_THAT(r.err, HasSubstr("--date"));
}

TEST_F(BalancesCommandTest, ListShowsTheDatesKeptWithTheirTotals) {
    auto r = cli("list --pdc 10");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("31/12/2025"));
    EXPECT_THAT(r.out, HasSubstr("30/06/2026"));
    r = cli("list --json");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j.size(), 2u);
    EXPECT_EQ(j[0]["data"], "2025-12-31");
    EXPECT_EQ(j[0]["totaleDare"], j[0]["totaleAvere"]);
    r = cli("list --ditta 7");
    EXPECT_THAT(r.out, HasSubstr("Nessun bilancio importato per la ditta 7."));
}
