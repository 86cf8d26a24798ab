// brevanto-cli preview on a copy of the demo database: what a user reads, the JSON a script
// parses, the workbook written, and the refusals.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "BalancesFixture.h"
#include "support/XlsxReadBack.h"

namespace {

class PreviewCommand : public statementtest::BalancesTest {
protected:
    testsupport::CommandResult cli(const std::string& args) {
        return testsupport::runCommand(std::string(BREVANTO_CLI) + " preview --dir '" + dir.str() + "' " + args);
    }
};

TEST_F(PreviewCommand, TextShowsLinesTotalsAndWarnings) {
    addBalances();
    auto r = cli("--kind COGE --pdc 10 --ricl 101");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Anteprima bilancio riclassificato - COGE, PdC 10, PdC di riclassificazione 101 al 30/06/2026"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Date disponibili: 31/12/2025 30/06/2026"), std::string::npos);
    EXPECT_NE(r.out.find("    02/02/001  Crediti verso clienti                     12.345,67"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Non correlato                             -1.500,00"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Saldi con segno non correlato: 2"), std::string::npos);
    EXPECT_NE(r.out.find("Conto 14/01/01/0002 Clienti esteri: saldo Avere -300,00 al 30/06/2026"), std::string::npos);

    r = cli("--kind COGE --pdc 10 --ricl 101 --date 2025-12-31");
    EXPECT_NE(r.out.find("    02/04/001  Banche attive                             5.000,00"), std::string::npos) << r.out;
}

TEST_F(PreviewCommand, JsonGivesLinesWithParentsAndWarnings) {
    addBalances();
    const auto r = cli("--kind COGE --pdc 10 --ricl 101 --json");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << r.out;
    EXPECT_EQ(j["date"], "2026-06-30");
    bool found = false;
    for (const auto& line : j["lines"])
        if (line["code"] == "0202") {
            found = true;
            EXPECT_EQ(line["parent"], "02");
            EXPECT_EQ(line["level"], 2);
            EXPECT_DOUBLE_EQ(line["amount"].get<double>(), 12345.67);
            EXPECT_EQ(line["text"], "12.345,67");
        }
    EXPECT_TRUE(found);
    EXPECT_EQ(j["lines"].back()["description"], "Non correlato");
    ASSERT_EQ(j["warnings"].size(), 2u);
    EXPECT_EQ(j["warnings"][1]["account"], "1801010002");
    EXPECT_EQ(j["warnings"][1]["sign"], 2);
}

TEST_F(PreviewCommand, XlsxHoldsTheLinesAsNumbersAndTheWarnings) {
    addBalances();
    const auto file = dir.path() / "anteprima.xlsx";
    const auto r = cli("--kind COGE --pdc 10 --ricl 101 --xlsx '" + file.string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("(2 saldi con segno non correlato)"), std::string::npos) << r.out;
    const auto sheets = testsupport::readXlsx(file);
    ASSERT_EQ(sheets.size(), 1u);
    const auto& s = sheets[0];
    const long row = s.rowOf("02/02/001");
    ASSERT_GE(row, 0);
    EXPECT_EQ(s.text(static_cast<std::size_t>(row), 1), "Crediti verso clienti");
    EXPECT_DOUBLE_EQ(s.rows[static_cast<std::size_t>(row)][3].get<double>(), 12345.67);
    const long bank = s.rowOf("18/01/01/0002");
    ASSERT_GE(bank, 0);
    EXPECT_EQ(s.text(static_cast<std::size_t>(bank), 2), "30/06/2026");
    EXPECT_EQ(s.text(static_cast<std::size_t>(bank), 3), "Avere");
}

TEST_F(PreviewCommand, RefusalsSayWhyAndFail) {
    auto r = cli("--kind COGE --pdc 10 --ricl 101");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Nessun bilancio di verifica importato: il database non ha ancora la tabella dei saldi"),
              std::string::npos);
    addBalances();
    r = cli("--kind COGE --pdc 10 --ricl 101 --date 31/12/2025");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Errore: Data non valida: \"31/12/2025\""), std::string::npos) << r.err;
    r = cli("--kind COGE --pdc 10 --ricl 101 --date 2024-12-31");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Date disponibili: 31/12/2025, 30/06/2026."), std::string::npos) << r.err;
    r = cli("--kind COIN --pdc 201 --ricl 101");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("non è disponibile per la correlazione analitica (COIN)"), std::string::npos) << r.err;
    r = cli("--kind COGE --pdc 10 --ricl 999");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Errore: "), std::string::npos) << r.err;
    r = cli("--kind COGE --pdc 10 --ricl 101 --xlsx '" + (dir.path() / "nessuna" / "x.xlsx").string() + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Errore: "), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "nessuna"));
}

}  // namespace
