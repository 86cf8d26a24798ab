// brevanto-cli export on demo databases: the workbook the module's export handler fills,
// read back and compared with the rows `list` builds for the same header: CONS's six master
// pairs, every kind, 40,000 rows in one sheet, texts with accents and quotes, and the
// Italian reasons of a refused header (a chart without accounts among them) or an unwritable
// file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CliTestHelpers.h"
#include "support/XlsxReadBack.h"

using namespace clitest;
using testing::ElementsAre;
using testing::HasSubstr;
using testsupport::SheetContent;
using testsupport::TempDir;

namespace {

const std::vector<std::string> kDetailCaptions = {"Conto contabile", "Descrizione conto contabile", "Segno",
                                                  "Conto riclassificato", "Descrizione conto riclassificato"};

class ExportCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo_ = new TempDir;
        auto r = cli("db init --demo --dir " + sh(demo_->str()));
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }

    static testsupport::CommandResult exportTo(const TempDir& db, const std::string& header, const std::filesystem::path& out) {
        return cli("export --dir " + sh(db.str()) + " --company 1 " + header + " --out " + sh(out.string()));
    }
    static nlohmann::json listed(const TempDir& db, const std::string& header) {
        auto r = cli("list --json --dir " + sh(db.str()) + " " + header);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return parseJson(r.out);
    }

    // The master pairs: (caption, value) from the third row down to the first blank row.
    static std::vector<std::pair<std::string, std::string>> masterPairs(const SheetContent& s) {
        std::vector<std::pair<std::string, std::string>> pairs;
        for (std::size_t r = 2; r < s.rows.size() && !s.text(r, 0).empty(); ++r) pairs.emplace_back(s.text(r, 0), s.text(r, 1));
        return pairs;
    }

    static std::string unmasked(std::string code) {
        std::erase(code, '/');
        return code;
    }

    // Every row of the table equals the row `list` gives, in the same order.
    static void expectRowsAsListed(const SheetContent& s, const nlohmann::json& list) {
        const long header = s.rowOf("Conto contabile");
        ASSERT_GE(header, 0);
        const auto& rows = list["rows"];
        ASSERT_EQ(s.rows.size(), static_cast<std::size_t>(header) + 1 + rows.size());
        auto text = [](const nlohmann::json& v) { return v.is_null() ? std::string() : v.get<std::string>(); };
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::size_t r = static_cast<std::size_t>(header) + 1 + i;
            const auto& want = rows[i];
            // The working table holds the ledger code plain (the grid masks it when it shows
            // it), the analytic code masked; `list` always masks: codes compare without "/".
            const std::vector<std::string> got = {unmasked(s.text(r, 0)), s.text(r, 1), s.text(r, 2), s.text(r, 3),
                                                  s.text(r, 4)};
            const std::vector<std::string> expected = {unmasked(text(want["CONTOPDCGRID"])), text(want["DESCRPDCGRID"]),
                                                       want["SEGNO"] == 1 ? "Dare" : "Avere", text(want["CONTORICL"]),
                                                       text(want["DESCRRICL"])};
            ASSERT_EQ(got, expected) << "row " << i;
        }
    }

    static TempDir* demo_;
};

TempDir* ExportCommand::demo_ = nullptr;

TEST_F(ExportCommand, ConsHasSixMasterPairsAboveTheRowsTheEditorLists) {
    TempDir out;
    const auto file = out.path() / "cons.xlsx";
    auto r = exportTo(*demo_, "--kind CONS --intercompany 1 --ricl 401", file);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto list = listed(*demo_, "--kind CONS --intercompany 1 --ricl 401");
    EXPECT_EQ(r.out, "Esportate " + std::to_string(list["rowCount"].get<long>()) + " righe in " + file.string() + "\n");

    const auto sheets = testsupport::readXlsx(file);
    ASSERT_EQ(sheets.size(), 1u);
    const auto& s = sheets[0];
    EXPECT_EQ(s.title, "Correlazioni");
    EXPECT_EQ(s.text(0, 0), "Correlazione PdC contabile - riclassificato intercompany");
    const auto pairs = masterPairs(s);
    ASSERT_EQ(pairs.size(), 6u);
    EXPECT_EQ(pairs[0], std::make_pair(std::string("Codice intercompany"), std::string("1")));
    EXPECT_EQ(pairs[1], std::make_pair(std::string("Descrizione intercompany"), std::string("Gruppo Rossi")));
    EXPECT_EQ(pairs[2], std::make_pair(std::string("Codice PdC contabile"), std::string("80")));
    EXPECT_EQ(pairs[3], std::make_pair(std::string("Descrizione PdC contabile"), std::string("Piano dei conti standard")));
    EXPECT_EQ(pairs[4].first, "Codice PdC riclassificato intercompany");
    EXPECT_EQ(pairs[4].second, "401");
    EXPECT_EQ(pairs[5].first, "Descrizione PdC riclassificato intercompany");
    EXPECT_FALSE(pairs[5].second.empty());

    const long header = s.rowOf("Conto contabile");
    ASSERT_EQ(header, 9);
    for (std::size_t c = 0; c < kDetailCaptions.size(); ++c) EXPECT_EQ(s.text(9, c), kDetailCaptions[c]);
    EXPECT_EQ(s.freeze, "A11");
    EXPECT_EQ(s.filter, "A10:E" + std::to_string(10 + list["rowCount"].get<long>()));
    ASSERT_NO_FATAL_FAILURE(expectRowsAsListed(s, list));
}

TEST_F(ExportCommand, EveryOtherKindHasFourMasterPairsAndItsRows) {
    const struct {
        const char* header;
        const char* title;
        const char* reclCaption;
    } kinds[] = {
        {"--kind COGE --pdc 10 --ricl 101", "Correlazione PdC contabile - riclassificazione", "Codice PdC riclassificazione"},
        {"--kind COIN --pdc 201 --ricl 102", "Correlazione PdC contabile - riclassificazione", "Codice PdC riclassificazione"},
        {"--kind HYPE --pdc 80 --ricl 301", "Correlazione PdC contabile - Hyperion", "Codice PdC Hyperion"},
    };
    TempDir out;
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.header);
        const auto file = out.path() / "kind.xlsx";
        auto r = exportTo(*demo_, k.header, file);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const auto s = testsupport::readXlsx(file).at(0);
        EXPECT_EQ(s.text(0, 0), k.title);
        const auto pairs = masterPairs(s);
        ASSERT_EQ(pairs.size(), 4u);
        EXPECT_EQ(pairs[0].first, "Codice PdC contabile");
        EXPECT_EQ(pairs[2].first, k.reclCaption);
        ASSERT_NO_FATAL_FAILURE(expectRowsAsListed(s, listed(*demo_, k.header)));
    }
}

TEST_F(ExportCommand, FortyThousandRowsAllReachTheOneSheet) {
    TempDir big;
    auto init = cli("db init --demo --accounts 20000 --dir " + sh(big.str()));
    ASSERT_EQ(init.exitCode, 0) << init.err;
    TempDir out;
    const auto file = out.path() / "grande.xlsx";
    auto r = exportTo(big, "--kind COGE --pdc 10 --ricl 101", file);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto list = listed(big, "--kind COGE --pdc 10 --ricl 101");
    ASSERT_GT(list["rowCount"].get<long>(), 40000);
    const auto sheets = testsupport::readXlsx(file, /*valuesOnly=*/true);
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_NO_FATAL_FAILURE(expectRowsAsListed(sheets[0], list));
}

TEST_F(ExportCommand, AccentsEuroAndQuotesArriveAsTyped) {
    TempDir db;
    ASSERT_EQ(cli("db init --demo --dir " + sh(db.str())).exitCode, 0);
    const std::string descr = "Crediti \"verso\" l'erario: più è à ù €";
    auto sql = cli("sql --dir " + sh(db.str()) + " " +
                   sh("UPDATE CG24_TABPDC SET CG24_DESCR = 'Crediti \"verso\" l''erario: più è à ù €' "
                      "WHERE CG24_GRUPPO_CG10 = 10 AND CG24_CONTO = '0101020001'"));
    ASSERT_EQ(sql.exitCode, 0) << sql.err;
    TempDir out;
    const auto file = out.path() / "testi.xlsx";
    ASSERT_EQ(exportTo(db, "--kind COGE --pdc 10 --ricl 101", file).exitCode, 0);
    const auto s = testsupport::readXlsx(file).at(0);
    const long row = s.rowOf("0101020001");
    ASSERT_GE(row, 0);
    EXPECT_EQ(s.text(row, 1), descr);
}

TEST_F(ExportCommand, ARefusedHeaderOrAnUnwritableFileIsToldInItalian) {
    TempDir out;
    const auto file = out.path() / "x.xlsx";
    auto unknownChart = exportTo(*demo_, "--kind COGE --pdc 99 --ricl 101", file);
    EXPECT_EQ(unknownChart.exitCode, 1);
    EXPECT_THAT(unknownChart.err, HasSubstr("Errore: Codice \"99\" non accettato come piano dei conti: "));

    auto notIntercompany = exportTo(*demo_, "--kind CONS --intercompany 1 --ricl 101", file);
    EXPECT_EQ(notIntercompany.exitCode, 1);
    EXPECT_THAT(notIntercompany.err, HasSubstr("Errore: Codice \"101\" non accettato come piano di riclassificazione: "));

    auto otherChart = exportTo(*demo_, "--kind CONS --intercompany 1 --pdc 10 --ricl 401", file);
    EXPECT_EQ(otherChart.exitCode, 1);
    EXPECT_THAT(otherChart.err, HasSubstr("La struttura intercompany 1 usa il piano dei conti 80, non 10"));

    // A chart without accounts: the editor's message 107, and no workbook.
    auto sql = cli("sql --dir " + sh(demo_->str()) +
                   " \"INSERT INTO PC01_DESCRPDC (PC01_CODICE, PC01_INDTIPOPDC, PC01_DESCR) VALUES (202, 1, 'Vuoto')\"");
    ASSERT_EQ(sql.exitCode, 0) << sql.err;
    auto emptyChart = exportTo(*demo_, "--kind COIN --pdc 202 --ricl 102", file);
    EXPECT_EQ(emptyChart.exitCode, 1);
    EXPECT_THAT(emptyChart.err, HasSubstr("Errore: Codice \"102\" non accettato come piano di riclassificazione: Non è "
                                          "stato definito nessun conto del piano dei conti impostato."));

    auto noStructure = exportTo(*demo_, "--kind CONS --ricl 401", file);
    EXPECT_EQ(noStructure.exitCode, 1);
    EXPECT_THAT(noStructure.err, HasSubstr("la correlazione CONS richiede --intercompany"));

    auto noFolder = exportTo(*demo_, "--kind COGE --pdc 10 --ricl 101", out.path() / "manca" / "x.xlsx");
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_THAT(noFolder.err, HasSubstr("Impossibile scrivere il file"));
    EXPECT_THAT(noFolder.err, HasSubstr("non esiste"));
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
