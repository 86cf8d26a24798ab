// brevanto-cli check and cross on a copy of the demo database: what a user reads, the
// workbook written, and the exit status a script tests.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "MappingFixture.h"
#include "mapping/Check.h"
#include "support/XlsxReadBack.h"

namespace {

class CheckCommand : public mappingtest::MappingTest {
protected:
    testsupport::CommandResult cli(const std::string& command, const std::string& args) {
        return testsupport::runCommand(std::string(BREVANTO_CLI) + " " + command + " --dir '" + dir.str() + "' " + args);
    }
    // Chart 80 correlated in full with the interim balances 103 (the demo leaves two gaps).
    void completeChart80() {
        rawExec("INSERT INTO CG83_COLLRICL VALUES (80, '2601000000', 103, 1, 'P0302');"
                "INSERT INTO CG83_COLLRICL VALUES (80, '1401000000', 103, 2, 'A0202');");
    }
};

TEST_F(CheckCommand, TextListsEachGroupWithItsCountAndFailsWhenSomethingIsWrong) {
    const auto r = cli("check", "--kind COGE --pdc 10 --ricl 101 --limit 2");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.err, "");
    const auto report = mapping::checkCorrelations(*conn, load(coge()));
    EXPECT_NE(r.out.find("Verifica correlazioni: COGE, PdC 10, PdC di riclassificazione 101"), std::string::npos);
    for (auto group : mapping::kCheckGroups) {
        // In the summary: the title, then its count at the end of the line.
        const std::string title = mapping::groupTitle(group);
        const auto at = r.out.find(title + " ");
        ASSERT_NE(at, std::string::npos) << title;
        const auto end = r.out.find('\n', at);
        const std::string line = r.out.substr(at, end - at);
        EXPECT_EQ(line.substr(line.find_last_of(' ') + 1), std::to_string(report.count(group))) << line;
    }
    EXPECT_NE(r.out.find("Conti senza correlazione in Dare: " +
                         std::to_string(report.count(mapping::CheckGroup::MissingDebit))),
              std::string::npos);
    EXPECT_NE(r.out.find("(mostrati 2 di "), std::string::npos);
    EXPECT_NE(r.out.find("14/01/00/0000  CLIENTI"), std::string::npos);
    EXPECT_NE(r.out.find("2 intermediari su 3 correlati in Dare"), std::string::npos);
    EXPECT_NE(r.out.find("Esito: correlazioni da sistemare."), std::string::npos);
}

TEST_F(CheckCommand, OnlyInformationIsSuccess) {
    completeChart80();
    auto r = cli("check", "--kind COGE --pdc 80 --ricl 103");
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Esito: nessun problema."), std::string::npos) << r.out;

    rawExec("UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = 'A0102' WHERE CG83_CODICE_CG10 = 80 AND "
            "CG83_CODICERICL_PC01 = 103 AND CG83_CONTO_CG24 = '0101000001' AND CG83_INDSEGNO = 2");
    r = cli("check", "--kind COGE --pdc 80 --ricl 103 --json");
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    const auto j = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_TRUE(j.is_object()) << r.out;
    EXPECT_EQ(j["problems"], false);
    const auto& differ = j["groups"][2];
    EXPECT_EQ(differ["id"], "segni-diversi");
    EXPECT_EQ(differ["information"], true);
    EXPECT_EQ(differ["count"], 1);
    EXPECT_EQ(differ["findings"][0]["account"], "0101000001");
    EXPECT_EQ(differ["findings"][0]["sign"], 0);
    EXPECT_EQ(differ["findings"][0]["detail"], "Dare A0101, Avere A0102");

    // One problem more and the status says so.
    rawExec("UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = 'A9999' WHERE CG83_CODICE_CG10 = 80 AND "
            "CG83_CODICERICL_PC01 = 103 AND CG83_CONTO_CG24 = '0101000001' AND CG83_INDSEGNO = 2");
    r = cli("check", "--kind COGE --pdc 80 --ricl 103 --json");
    EXPECT_EQ(r.exitCode, 1);
    const auto k = nlohmann::json::parse(r.out, nullptr, false);
    EXPECT_EQ(k["problems"], true);
    EXPECT_EQ(k["groups"][3]["id"], "non-valide");
    EXPECT_EQ(k["groups"][3]["count"], 1) << r.out;
    EXPECT_EQ(k["groups"][3]["findings"][0]["detail"], "Conto inesistente.");
}

TEST_F(CheckCommand, RefusedScopesAndBadOptionsGiveAnItalianMessage) {
    auto r = cli("check", "--kind COGE --pdc 10 --ricl 999");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Errore: Il piano dei conti deve essere di tipo 'Riclassificazione di bilancio'!\n");

    r = cli("check", "--kind CONS --intercompany 2 --ricl 401");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Errore: L'intercompany 2 non ha nessuna azienda collegata!\n");

    r = cli("check", "--kind XX --pdc 10 --ricl 101");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("tipo di correlazione sconosciuto 'XX'"), std::string::npos);

    r = cli("check", "--kind COGE --pdc \"10'; DROP TABLE CG83_COLLRICL; --\" --ricl 101");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_NE(storedCount(), 0);

    r = cli("check", "--kind COGE --pdc 10 --ricl 101 --json --xlsx x.xlsx");
    EXPECT_NE(r.exitCode, 0);
}

TEST_F(CheckCommand, WorkbookHoldsTheCountsAndEachGroupsTable) {
    const auto file = dir.path() / "verifica.xlsx";
    auto r = cli("check", "--kind COGE --pdc 10 --ricl 101 --xlsx '" + file.string() + "'");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.out.find("scritta in " + file.string()), std::string::npos) << r.out;
    const auto report = mapping::checkCorrelations(*conn, load(coge()));
    const auto sheets = testsupport::readXlsx(file);
    ASSERT_EQ(sheets.size(), 1u);
    const auto& s = sheets[0];
    const long summary = s.rowOf("Gruppo");
    ASSERT_GE(summary, 0);
    for (std::size_t i = 0; i < mapping::kCheckGroupCount; ++i) {
        const auto group = mapping::kCheckGroups[i];
        EXPECT_EQ(s.text(summary + 1 + i, 0), mapping::groupTitle(group));
        EXPECT_EQ(s.text(summary + 1 + i, 1), std::to_string(report.count(group)));
    }
    // The group's own heading, below the summary.
    long partial = -1;
    for (std::size_t row = summary + 1 + mapping::kCheckGroupCount; row < s.rows.size(); ++row)
        if (s.text(row, 0) == "Mastri con intermediari correlati solo in parte") partial = static_cast<long>(row);
    ASSERT_GT(partial, 0);
    EXPECT_EQ(s.text(partial, 1), "2");
    EXPECT_EQ(s.text(partial + 2, 0), "Conto");   // after a blank row
    EXPECT_EQ(s.text(partial + 3, 0), "14/01/00/0000");
    EXPECT_EQ(s.text(partial + 3, 2), "Dare");
    EXPECT_EQ(s.text(partial + 3, 4), "2 intermediari su 3 correlati in Dare");

    r = cli("check", "--kind COGE --pdc 10 --ricl 101 --xlsx '" + (dir.path() / "manca" / "v.xlsx").string() + "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("non esiste"), std::string::npos) << r.err;
}

TEST_F(CheckCommand, CrossShowsTheKindsSideBySide) {
    auto r = cli("cross", "--pdc 80 --ricl 103 --hyperion 301 --intercompany 1 --ricl-cons 401 --json");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_TRUE(j.is_object()) << r.out;
    EXPECT_EQ(j["scopes"].size(), 3u);
    bool seen = false;
    for (const auto& row : j["rows"])
        if (row["account"] == "1401000000") {
            seen = true;
            EXPECT_EQ(row["COGE"]["debit"], "A0202");
            EXPECT_TRUE(row["COGE"]["credit"].is_null());
            EXPECT_EQ(row["HYPE"]["credit"], "BS2200");
            EXPECT_EQ(row["CONS"]["debit"], "IC101");
        }
    EXPECT_TRUE(seen);

    r = cli("cross", "--pdc 80 --hyperion 301");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Conto         Descrizione"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("HYPE Dare  HYPE Avere"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("COGE Dare"), std::string::npos);

    r = cli("cross", "--pdc 10 --intercompany 1 --ricl-cons 401");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Errore: La struttura intercompany 1 usa il piano dei conti 80, non il 10.\n");
}

}  // namespace
