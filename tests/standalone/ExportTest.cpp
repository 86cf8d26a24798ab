// Office export: the sections recorded as the module adds them, and the workbook written from
// them, read back by an independent reader: one sheet, the master pairs above the table, the
// bold frozen header row with its autofilter, widths that fit, texts kept as texts, and the
// Italian reasons of a file that cannot be written.

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "standalone/HostEventLog.h"
#include "standalone/OfficeExport.h"
#include "standalone/XlsxWorkbook.h"
#include "support/TestSupport.h"
#include "support/XlsxReadBack.h"

using namespace standalone;
using testing::HasSubstr;

namespace {

using Rows = std::vector<std::vector<db::Variant>>;

void fillLikeTheEditor(OfficeExport& e, Rows rows) {
    e.setTitoloMaster("Correlazione PdC contabile - riclassificazione");
    e.addMasterDetail(std::vector<std::string>{"Codice PdC contabile", "Descrizione PdC contabile",
                                               "Codice PdC riclassificazione", "Descrizione PdC riclassificazione"},
                      std::vector<db::Variant>{db::Variant("010"), db::Variant("Piano dell'azienda è"),
                                               db::Variant("101"), db::Variant("Bilancio \"CEE\" à ù €")},
                      "Campi correlati");
    e.addMasterDetail(std::vector<std::string>{"Conto contabile", "Descrizione conto contabile", "Segno",
                                               "Conto riclassificato", "Descrizione conto riclassificato"},
                      std::move(rows), "Correlazioni");
}

Rows sampleRows() {
    return {{db::Variant("01/01/0001"), db::Variant("Cassa contanti è à ù €"), db::Variant("Dare"),
             db::Variant("00A.1"), db::Variant("Disponibilità \"liquide\" dell'impresa")},
            {db::Variant::null(), db::Variant::null(), db::Variant("Avere"), db::Variant::null(), db::Variant::null()},
            {db::Variant("0099"), db::Variant(std::string("Byte \xC3 rotto \xFF")), db::Variant(""), db::Variant(42),
             db::Variant(1.5)}};
}

}  // namespace

TEST(OfficeExport, RecordsTitleAndSectionsInOrder) {
    auto log = std::make_shared<HostEventLog>();
    OfficeExport e(log);
    fillLikeTheEditor(e, sampleRows());
    EXPECT_EQ(e.titoloMaster(), "Correlazione PdC contabile - riclassificazione");
    ASSERT_EQ(e.sections().size(), 2u);
    EXPECT_EQ(e.sections()[0].kind, ExportSection::Kind::Master);
    EXPECT_EQ(e.sections()[0].values[1], db::Variant("Piano dell'azienda è"));
    EXPECT_EQ(e.sections()[1].kind, ExportSection::Kind::Detail);
    EXPECT_EQ(e.detailRowCount(), 3u);
    ASSERT_EQ(log->count("exportSection"), 2u);
    EXPECT_EQ(log->ofKind("exportSection")[1]["rows"], 3);
}

TEST(OfficeExport, TheWorkbookHoldsTheMasterPairsAboveTheTableWithAFrozenFilteredHeader) {
    testsupport::TempDir dir;
    OfficeExport e;
    fillLikeTheEditor(e, sampleRows());
    const auto file = dir.path() / "export.xlsx";
    e.writeXlsx(file);

    const auto sheets = testsupport::readXlsx(file);
    ASSERT_EQ(sheets.size(), 1u);
    const auto& s = sheets[0];
    EXPECT_EQ(s.title, "Correlazioni");
    EXPECT_EQ(s.text(0, 0), "Correlazione PdC contabile - riclassificazione");
    // Captions in A, values in B, from the third row; codes keep their leading zero.
    EXPECT_EQ(s.text(2, 0), "Codice PdC contabile");
    EXPECT_EQ(s.rows[2][1], "010");
    EXPECT_EQ(s.text(3, 1), "Piano dell'azienda è");
    EXPECT_EQ(s.text(5, 0), "Descrizione PdC riclassificazione");
    EXPECT_EQ(s.text(5, 1), "Bilancio \"CEE\" à ù €");

    // A blank row, then the table: header on row 8 (1-based), rows below it.
    EXPECT_EQ(s.text(6, 0), "");
    ASSERT_EQ(s.text(7, 0), "Conto contabile");
    EXPECT_EQ(s.text(7, 4), "Descrizione conto riclassificato");
    EXPECT_EQ(s.freeze, "A9");
    EXPECT_EQ(s.filter, "A8:E11");
    for (const char* cell : {"A1", "A3", "A6", "A8", "B8", "C8", "D8", "E8"}) EXPECT_TRUE(s.bold.count(cell)) << cell;
    EXPECT_FALSE(s.bold.count("B3"));
    EXPECT_FALSE(s.bold.count("A9"));

    EXPECT_EQ(s.text(8, 0), "01/01/0001");
    EXPECT_EQ(s.text(8, 1), "Cassa contanti è à ù €");
    EXPECT_EQ(s.text(8, 4), "Disponibilità \"liquide\" dell'impresa");
    EXPECT_TRUE(s.rows[9][0].is_null());   // the account's second sign row shows no code
    EXPECT_EQ(s.text(9, 2), "Avere");
    EXPECT_EQ(s.rows[10][0], "0099");
    EXPECT_EQ(s.text(10, 1), "Byte \xEF\xBF\xBD rotto \xEF\xBF\xBD");   // broken bytes replaced, the file stays readable
    EXPECT_EQ(s.rows[10][3], 42);
    EXPECT_EQ(s.rows[10][4], 1.5);

    // Widths fit the longest text of each column (characters, not bytes), within limits.
    ASSERT_EQ(s.widths.size(), 5u);
    EXPECT_GE(s.widths.at("A"), std::string("Descrizione PdC riclassificazione").size());
    EXPECT_LT(s.widths.at("A"), 40);
    EXPECT_GE(s.widths.at("E"), 36);
    EXPECT_LT(s.widths.at("C"), 12);
}

TEST(OfficeExport, WithoutADetailSectionOnlyTheMasterPairsAreWritten) {
    testsupport::TempDir dir;
    OfficeExport e;
    e.setTitoloMaster("Correlazione PdC contabile - Hyperion");
    e.addMasterDetail(std::vector<std::string>{"Codice PdC contabile"}, std::vector<db::Variant>{db::Variant("80")},
                      "Campi correlati");
    const auto file = dir.path() / "vuoto.xlsx";
    e.writeXlsx(file);
    const auto s = testsupport::readXlsx(file).at(0);
    EXPECT_EQ(s.title, "Correlazioni");
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.text(2, 0), "Codice PdC contabile");
    EXPECT_EQ(s.text(2, 1), "80");
    EXPECT_EQ(s.freeze, "");
    EXPECT_EQ(s.filter, "");
}

TEST(OfficeExport, ACellTooLongForExcelIsCutOnACharacterBoundary) {
    testsupport::TempDir dir;
    std::string longText = "x";
    for (int i = 0; i < 20000; ++i) longText += "è";   // 40,001 bytes
    OfficeExport e;
    fillLikeTheEditor(e, Rows{{db::Variant("1"), db::Variant(longText)}});
    const auto file = dir.path() / "lungo.xlsx";
    e.writeXlsx(file);
    const std::string cell = testsupport::readXlsx(file, true).at(0).text(8, 1);
    EXPECT_EQ(cell.size(), 32767u);   // "x" and 16,383 whole "è"
    EXPECT_EQ(cell.substr(cell.size() - 2), "è");
}

TEST(OfficeExport, AFileThatCannotBeWrittenIsRefusedInItalianAndAnExistingOneIsKept) {
    testsupport::TempDir dir;
    OfficeExport e;
    fillLikeTheEditor(e, sampleRows());
    auto reason = [&](const std::filesystem::path& target) -> std::string {
        try {
            e.writeXlsx(target);
        } catch (const ExportError& err) {
            return err.what();
        }
        return "<written>";
    };
    EXPECT_THAT(reason(dir.path() / "manca" / "export.xlsx"),
                HasSubstr("Impossibile scrivere il file \"" + (dir.path() / "manca" / "export.xlsx").string() +
                          "\": la cartella \"" + (dir.path() / "manca").string() + "\" non esiste."));
    std::filesystem::create_directory(dir.path() / "cartella.xlsx");
    EXPECT_THAT(reason(dir.path() / "cartella.xlsx"), HasSubstr("è una cartella, non un file"));

    // More rows than a sheet holds: refused before anything is written, the old file stays.
    const auto file = dir.path() / "esistente.xlsx";
    { std::ofstream(file) << "dati di prima"; }
    OfficeExport tooMany;
    fillLikeTheEditor(tooMany, Rows(kSheetRowLimit));
    try {
        tooMany.writeXlsx(file);
        ADD_FAILURE() << "written";
    } catch (const ExportError& err) {
        EXPECT_THAT(err.what(), HasSubstr("un foglio Excel contiene al massimo 1.048.576 righe e l'esportazione ne "
                                          "richiede 1.048.584"));
    }
    EXPECT_EQ(testsupport::readFile(file), "dati di prima");
    // No temporary file is left behind either.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2u);
}
