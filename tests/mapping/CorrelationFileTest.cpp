// Correlation files written and read back: what a spreadsheet program finds in them, and
// what the reader makes of files written by spreadsheet programs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mapping/CorrelationFile.h"
#include "mapping/SheetFiles.h"
#include "support/TestSupport.h"
#include "support/XlsxReadBack.h"

namespace {

using mapping::ReadResult;
using mapping::SheetRow;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using namespace mappingtest;

std::vector<SheetRow> awkwardRows() {
    return {
        {"COGE", "01", "007", "", "0010/0001", "Cassa contante – sede di Forlì", "1", "C.IV.3", "Denaro e valori in cassa"},
        {"COGE", "01", "007", "", "0010/0001", "Cassa contante – sede di Forlì", "2", "C.IV.3", "Denaro e valori in cassa"},
        {"CONS", "01", "007", "GRP", "14;50", "Fornitore \"Rossi & C.\",\tMilano\r\nvia Roma", "1", "D.7", "Debiti verso fornitori\nentro l'esercizio"},
        {"COGE", "01", "007", "", "0020", "=SOMMA(A1:A3)", "2", "", "-5% di sconto"},
    };
}

std::vector<SheetRow> cellsOf(const ReadResult& r) {
    std::vector<SheetRow> rows;
    for (const auto& row : r.rows) rows.push_back(row.cells);
    return rows;
}

std::string problemsOf(const ReadResult& r) {
    std::string all;
    for (const auto& p : r.fileProblems) all += p + "\n";
    for (const auto& row : r.rows)
        if (!row.problem.empty()) all += std::to_string(row.line) + ": " + row.problem + "\n";
    return all;
}

TEST(CorrelationFileTest, FormatByExtension) {
    EXPECT_EQ(mapping::formatOfPath("a/b/Correlazioni.CSV"), mapping::FileFormat::Csv);
    EXPECT_EQ(mapping::formatOfPath("x.Xlsx"), mapping::FileFormat::Xlsx);
    EXPECT_EQ(mapping::formatOfPath("x.xls"), std::nullopt);
    EXPECT_EQ(mapping::formatOfPath("xlsx"), std::nullopt);
}

TEST(CorrelationFileTest, CsvIsWrittenAsItalianExcelReadsIt) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "correlazioni.csv";
    mapping::writeCorrelationFile(file, awkwardRows());
    const std::string bytes = testsupport::readFile(file);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_THAT(bytes, HasSubstr(headerLine() + "\r\n"));
    EXPECT_THAT(bytes, HasSubstr("\r\nCONS;01;007;GRP;\"14;50\";\"Fornitore \"\"Rossi & C.\"\",\tMilano\r\nvia Roma\";1;D.7;"
                                 "\"Debiti verso fornitori\nentro l'esercizio\"\r\n"));
    // A description a spreadsheet would evaluate is written with a leading apostrophe; codes never change.
    EXPECT_THAT(bytes, HasSubstr("\r\nCOGE;01;007;;0020;'=SOMMA(A1:A3);2;;'-5% di sconto\r\n"));
}

TEST(CorrelationFileTest, CsvAndXlsxRoundTrip) {
    testsupport::TempDir dir;
    for (const char* name : {"giro.csv", "giro.xlsx"}) {
        SCOPED_TRACE(name);
        const auto file = dir.path() / name;
        auto rows = awkwardRows();
        mapping::writeCorrelationFile(file, rows);
        const ReadResult back = mapping::readCorrelationFile(file);
        EXPECT_EQ(problemsOf(back), "");
        if (mapping::formatOfPath(file) == mapping::FileFormat::Csv) {
            rows[3].accountDescription = "'=SOMMA(A1:A3)";
            rows[3].targetDescription = "'-5% di sconto";
        }
        EXPECT_EQ(cellsOf(back), rows);
        ASSERT_EQ(back.rows.size(), 4u);
        EXPECT_EQ(back.rows[0].line, 2);
        EXPECT_EQ(back.rows[3].line, 5);   // the line break inside a cell does not count as a row
    }
}

TEST(CorrelationFileTest, XlsxIsOneSheetOfTextsUnderAFrozenFilteredHeader) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "correlazioni.xlsx";
    mapping::writeCorrelationFile(file, awkwardRows());
    const auto sheets = testsupport::readXlsx(file);
    ASSERT_EQ(sheets.size(), 1u);
    const auto& sheet = sheets[0];
    EXPECT_EQ(sheet.title, "Correlazioni");
    EXPECT_EQ(sheet.freeze, "A2");
    EXPECT_EQ(sheet.filter, "A1:I5");
    EXPECT_TRUE(sheet.bold.count("A1") && sheet.bold.count("I1"));
    EXPECT_FALSE(sheet.bold.count("A2"));
    for (std::size_t c = 0; c < std::size(mapping::kFileColumns); ++c) EXPECT_EQ(sheet.text(0, c), mapping::kFileColumns[c]);
    EXPECT_TRUE(sheet.rows[1][1].is_string()) << "a code is a text, leading zeros kept";
    EXPECT_EQ(sheet.text(1, 4), "0010/0001");
    EXPECT_EQ(sheet.text(4, 5), "=SOMMA(A1:A3)");   // a text cell, never a formula
    EXPECT_GE(sheet.widths.at("F"), 30.0);
}

TEST(CorrelationFileTest, CommaSeparatedCsvInAnyColumnOrder) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "da-altro-programma.csv";
    // No byte-order mark, LF line ends, columns reordered and in other letter case, blank lines.
    writeBytes(file,
               "Conto,tipo,PdC,PdC riclassificazione,Struttura intercompany,Descrizione conto,SEGNO,Conto riclassificato,"
               "Descrizione conto riclassificato\n"
               "  0010 ,COGE,01,007,,\"Cassa, \"\"piccola\"\"\",1,C.IV.3,\"su\ndue righe\"\n"
               "\n"
               ",,,,,,,,\n"
               "0020,COGE,01,007,,Banca,2,C.IV.1,Depositi");
    const ReadResult r = mapping::readCorrelationFile(file);
    EXPECT_EQ(problemsOf(r), "");
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].cells, (SheetRow{"COGE", "01", "007", "", "0010", "Cassa, \"piccola\"", "1", "C.IV.3", "su\ndue righe"}));
    EXPECT_EQ(r.rows[1].line, 5);
    EXPECT_EQ(r.rows[1].cells.targetDescription, "Depositi");
}

TEST(CorrelationFileTest, RowsThatCannotBeUsedSayWhy) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "righe.csv";
    writeBytes(file, headerLine() + "\r\n" +
                         "COGE;01;007;;=A1;=B1 formula in una descrizione;1;C.IV.3;x\r\n"   // 2
                         "COGE;01;007;;0010;Cassa;1;C.IV.3\r\n"                             // 3: a cell short
                         "COGE;01;007;;0010;Cassa;1;C.IV.3;x;y\r\n"                         // 4: a cell more
                         "COGE;01;007;;\"00\t10\";Cassa\tcontanti;1;C.IV.3;x\r\n"           // 5: tab in a code
                         "COGE;01;007;;0030;Cassa" + std::string(1, '\0') + ";1;C.IV.3;x\r\n"   // 6: NUL
                         "COGE;01;007;;0040;\"Cassa\r\ncontanti\";2;;\r\n");                // 7: fine
    const ReadResult r = mapping::readCorrelationFile(file);
    EXPECT_THAT(r.fileProblems, IsEmpty());
    ASSERT_EQ(r.rows.size(), 6u);
    EXPECT_EQ(r.rows[0].problem, "Formula non ammessa nella colonna \"Conto\"");
    EXPECT_EQ(r.rows[1].problem, "La riga ha 8 celle, l'intestazione 9");
    EXPECT_EQ(r.rows[1].cells.sign, "1");
    EXPECT_EQ(r.rows[2].problem, "La riga ha 10 celle, l'intestazione 9");
    EXPECT_THAT(r.rows[3].problem, HasSubstr("Carattere di controllo (a capo, tabulazione…) nella colonna \"Conto\""));
    EXPECT_THAT(r.rows[4].problem, HasSubstr("Carattere nullo nella colonna \"Descrizione conto\""));
    EXPECT_EQ(r.rows[5].line, 7);
    EXPECT_EQ(r.rows[5].problem, "");
    EXPECT_EQ(r.rows[5].cells.accountDescription, "Cassa\r\ncontanti");
}

// A workbook written by another program (openpyxl): numbers, shared strings, a formula, gaps.
TEST(CorrelationFileTest, XlsxWrittenByAnotherProgram) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "openpyxl.xlsx";
    const std::string script = R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Foglio1"
ws.append(["Tipo", "PdC", "PdC riclassificazione", "Struttura intercompany", "Conto", "Descrizione conto",
           "Segno", "Conto riclassificato", "Descrizione conto riclassificato"])
ws.append(["COGE", 1, "007", None, 1010, "Attività finanziarie", 1, "C.III.6", 1.5])
ws.append(["COGE", 1, "007", None, "=A1", "=E2", 2, 0.1, None])
ws.append([])
ws["B5"] = "01"
ws["E5"] = 12345678901234
ws["F5"] = 2.000000000000001
ws.append([None] * 9 + ["oltre"])
wb.create_sheet("Secondo")["A1"] = "ignorato"
wb.save(sys.argv[1])
)";
    const auto made = testsupport::runCommand("/usr/bin/python3 - '" + file.string() + "'", script);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const ReadResult r = mapping::readCorrelationFile(file);
    EXPECT_THAT(r.fileProblems, IsEmpty());
    ASSERT_EQ(r.rows.size(), 4u);
    EXPECT_EQ(r.rows[0].cells, (SheetRow{"COGE", "1", "007", "", "1010", "Attività finanziarie", "1", "C.III.6", "1.5"}));
    EXPECT_EQ(r.rows[0].problem, "");
    EXPECT_EQ(r.rows[1].problem, "Formula non ammessa nella colonna \"Conto\"");   // not for the description
    EXPECT_EQ(r.rows[1].cells.target, "0.1");
    EXPECT_EQ(r.rows[2].line, 5);
    EXPECT_EQ(r.rows[2].cells, (SheetRow{"", "01", "", "", "12345678901234", "2.000000000000001", "", "", ""}));
    EXPECT_EQ(r.rows[3].line, 6);
    EXPECT_EQ(r.rows[3].problem, "La riga ha 10 celle, l'intestazione 9");
}

// The parts of the format other programs use: inline and rich-text strings, escaped
// characters, booleans, cells without references, a header out of order.
TEST(CorrelationFileTest, XlsxStringsOfEveryKind) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "parti.xlsx";
    std::string header = "<row r=\"3\">";
    const char* order[] = {"Conto", "Tipo", "PdC", "PdC riclassificazione", "Struttura intercompany", "Descrizione conto",
                           "Segno", "Conto riclassificato", "Descrizione conto riclassificato"};
    for (const char* c : order) header += std::string("<c t=\"inlineStr\"><is><t>") + c + "</t></is></c>";
    header += "</row>";
    writeXlsx(file,
              header +
                  "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>0</v></c><c r=\"B4\" t=\"s\"><v>1</v></c><c r=\"C4\"><v>1</v></c>"
                  "<c r=\"F4\" t=\"s\"><v>2</v></c><c r=\"G4\" t=\"b\"><v>1</v></c>"
                  "<c r=\"I4\" t=\"inlineStr\"><is><r><t xml:space=\"preserve\">Crediti </t></r><r><rPr><b/></rPr><t>v/clienti</t></r></is></c>"
                  "</row>"
                  "<row r=\"6\"><c r=\"A6\" t=\"str\"><f>A4</f><v>0010</v></c><c r=\"F6\" t=\"str\"><f>A4</f><v>calcolata</v></c></row>",
              "<si><t>0010</t></si>"
              "<si><r><t>CO</t></r><r><rPr><i/></rPr><t>GE</t></r><rPh><t>ふりがな</t></rPh></si>"
              "<si><t>a capo_x000D_\nqui, _x005F_x0041_ resta</t></si>");
    const ReadResult r = mapping::readCorrelationFile(file);
    EXPECT_EQ(problemsOf(r), "6: Formula non ammessa nella colonna \"Conto\"\n");
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].line, 4);
    EXPECT_EQ(r.rows[0].cells, (SheetRow{"COGE", "1", "", "", "0010", "a capo\r\nqui, _x0041_ resta", "VERO", "", "Crediti v/clienti"}));
    EXPECT_EQ(r.rows[1].cells.accountDescription, "calcolata");
}

TEST(CorrelationFileTest, HeaderOnlyIsAnEmptyList) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "vuoto.xlsx";
    mapping::writeCorrelationFile(file, {});
    const ReadResult r = mapping::readCorrelationFile(file);
    EXPECT_THAT(r.fileProblems, IsEmpty());
    EXPECT_THAT(r.rows, IsEmpty());
}

}  // namespace
