// Files that cannot be used: each gets a message saying why, and none crashes the reader,
// makes it hang or makes it read more than it must.

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mapping/CorrelationFile.h"
#include "mapping/CorrelationFileLimits.h"
#include "mapping/SheetFiles.h"
#include "support/TestSupport.h"

namespace {

using mapping::ReadResult;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using namespace mappingtest;

std::string fileProblem(const std::filesystem::path& file, const mapping::detail::ReadLimits& limits = {}) {
    const ReadResult r = mapping::detail::readCorrelationFile(file, limits);
    EXPECT_THAT(r.rows, IsEmpty());
    EXPECT_EQ(r.fileProblems.size(), 1u);
    return r.fileProblems.empty() ? "" : r.fileProblems.front();
}

const std::string kDataRow = "COGE;01;007;;0010;Cassa;1;C.IV.3;Denaro\r\n";

TEST(HostileFileTest, CsvInAnotherEncodingOrMalformed) {
    testsupport::TempDir dir;
    const auto latin1 = dir.path() / "latin1.csv";
    writeBytes(latin1, headerLine() + "\r\n" + kDataRow + "COGE;01;007;;0020;\"Attivit\xE0\r\nfinanziarie\";1;C.IV.3;x\r\n");
    EXPECT_EQ(fileProblem(latin1), "Il file non è in UTF-8 (riga 3): salvarlo come \"CSV UTF-8\".");

    const auto utf16 = dir.path() / "utf16.csv";
    writeBytes(utf16, std::string("\xFF\xFET\0i\0p\0o\0", 10));
    EXPECT_THAT(fileProblem(utf16), HasSubstr("UTF-16"));

    // More lines than a sheet has rows.
    const auto tall = dir.path() / "alto.csv";
    writeBytes(tall, headerLine() + "\r\n" + kDataRow + std::string(1048576, '\n'));
    EXPECT_EQ(fileProblem(tall), "Il file ha più di 1048576 righe, più di quante un foglio di calcolo ne contenga.");

    const auto quote = dir.path() / "virgolette.csv";
    writeBytes(quote, headerLine() + "\r\n" + kDataRow + "COGE;01;007;;0020;\"Cassa;1;C.IV.3;x\r\n" + kDataRow);
    EXPECT_EQ(fileProblem(quote), "Virgolette non chiuse: la cella che inizia alla riga 3 prosegue fino alla fine del file.");
}

TEST(HostileFileTest, WrongHeaderIsOneProblemListingEveryColumn) {
    testsupport::TempDir dir;
    const auto file = dir.path() / "intestazione.csv";
    writeBytes(file, "\r\nTipo;PdC;Tipo;PdC riclassificazione;Conto;Descrizione;Segno;Conto riclassificato;"
                     "Descrizione conto riclassificato;Struttura intercompany\r\n" + kDataRow);
    EXPECT_EQ(fileProblem(file), "Intestazione non valida (riga 2): Colonne mancanti: \"Descrizione conto\"; colonne in più: "
                                 "\"Descrizione\"; colonne ripetute: \"Tipo\". Le colonne devono essere: \"Tipo\", \"PdC\", "
                                 "\"PdC riclassificazione\", \"Struttura intercompany\", \"Conto\", \"Descrizione conto\", "
                                 "\"Segno\", \"Conto riclassificato\", \"Descrizione conto riclassificato\".");
    // A column without a header is accepted while it stays empty.
    writeBytes(file, headerLine() + ";\r\n" + "COGE;01;007;;0010;Cassa;1;C.IV.3;Denaro;\r\n" +
                         "COGE;01;007;;0020;Banca;1;C.IV.3;Denaro;nota\r\n");
    const ReadResult r = mapping::readCorrelationFile(file);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].problem, "");
    EXPECT_EQ(r.rows[1].problem, "Valore nella colonna J, che non ha intestazione");
}

TEST(HostileFileTest, MissingEmptyAndOversizedFiles) {
    testsupport::TempDir dir;
    EXPECT_EQ(fileProblem(dir.path() / "manca.csv"), "Il file \"" + (dir.path() / "manca.csv").string() + "\" non esiste.");
    EXPECT_THAT(fileProblem(dir.path() / "nota.txt"), HasSubstr("non è un file .csv o .xlsx"));
    for (const char* name : {"vuoto.csv", "vuoto.xlsx"}) {
        writeBytes(dir.path() / name, "");
        EXPECT_EQ(fileProblem(dir.path() / name), "Il file è vuoto.");
    }
    writeBytes(dir.path() / "bianco.csv", "\xEF\xBB\xBF\r\n;;;\r\n  \r\n");
    EXPECT_THAT(fileProblem(dir.path() / "bianco.csv"), StartsWith("Il file non contiene la riga di intestazione"));

    // Larger than allowed: refused on its size, unread (a sparse file of 100 MB and a byte).
    for (const char* name : {"enorme.csv", "enorme.xlsx"}) {
        const auto file = dir.path() / name;
        writeBytes(file, headerLine() + "\r\n");
        std::filesystem::resize_file(file, mapping::kMaxFileBytes + 1);
        EXPECT_EQ(fileProblem(file), "Il file è troppo grande (101 MB; al massimo 100 MB).");
    }
}

TEST(HostileFileTest, XlsxThatIsNoWorkbook) {
    testsupport::TempDir dir;
    const std::string prefix = "Il file non è un file Excel (.xlsx) leggibile: ";
    const auto text = dir.path() / "testo.xlsx";
    writeBytes(text, headerLine() + "\r\n");
    EXPECT_EQ(fileProblem(text), prefix + "non è un archivio zip (un file .xls o protetto da password va salvato come .xlsx senza password).");

    const auto good = dir.path() / "buono.xlsx";
    std::vector<mapping::SheetRow> rows(2000, {"COGE", "01", "007", "", "0010", "Cassa", "1", "C.IV.3", "Denaro"});
    mapping::writeCorrelationFile(good, rows);
    const std::string bytes = testsupport::readFile(good);
    const auto truncated = dir.path() / "troncato.xlsx";
    writeBytes(truncated, bytes.substr(0, bytes.size() / 2));
    EXPECT_THAT(fileProblem(truncated), StartsWith(prefix));
    // Damaged inside: the compressed data of the sheet overwritten, the directory intact.
    std::string damaged = bytes;
    for (std::size_t i = damaged.size() / 3; i < damaged.size() / 3 + 64; ++i) damaged[i] = static_cast<char>(i * 7);
    writeBytes(truncated, damaged);
    EXPECT_THAT(mapping::readCorrelationFile(truncated).fileProblems, ElementsAre(StartsWith(prefix)));

    const auto noWorkbook = dir.path() / "senza.xlsx";
    writeXlsx(noWorkbook, headerXml(), "", {{"xl/workbook.xml", "<workbook/>"}});
    EXPECT_EQ(fileProblem(noWorkbook), prefix + "la cartella di lavoro non contiene fogli.");
    writeXlsx(noWorkbook, headerXml(), "", {{"xl/_rels/workbook.xml.rels", "<Relationships/>"}});
    EXPECT_EQ(fileProblem(noWorkbook), prefix + "il primo foglio non ha una parte nell'archivio.");
    writeXlsx(noWorkbook, headerXml(), "", {{"xl/worksheets/dati.xml", "<worksheet><sheetData><row>"}});
    EXPECT_THAT(fileProblem(noWorkbook), StartsWith(prefix + "la parte \"xl/worksheets/dati.xml\" non è XML valido (riga 1: "));
}

TEST(HostileFileTest, XlsxWithEntitiesOrAbsurdReferences) {
    testsupport::TempDir dir;
    const std::string prefix = "Il file non è un file Excel (.xlsx) leggibile: ";
    const auto file = dir.path() / "ostile.xlsx";
    const std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
                               "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><sst><si><t>&c;</t></si></sst>";
    writeXlsx(file, headerXml(), "", {{"xl/sharedStrings.xml", laughs}});
    EXPECT_EQ(fileProblem(file), prefix + "la parte \"xl/sharedStrings.xml\" contiene una dichiarazione DOCTYPE, che non è ammessa.");

    writeXlsx(file, headerXml() + "<row r=\"2\"><c r=\"XFE2\"><v>1</v></c></row>");
    EXPECT_EQ(fileProblem(file), prefix + "riferimento di cella non valido (\"XFE2\").");
    writeXlsx(file, headerXml() + "<row r=\"1048577\"><c><v>1</v></c></row>");
    EXPECT_EQ(fileProblem(file), prefix + "numero di riga non valido (\"1048577\").");
    writeXlsx(file, headerXml() + "<row r=\"2\"><c r=\"A" + std::string(200, '9') + "\"><v>1</v></c></row>");
    EXPECT_EQ(fileProblem(file), prefix + "riferimento di cella non valido (\"A9999999999999999999…\").");
    // Each row once and in order: a part repeating one row cannot make the list grow without end.
    writeXlsx(file, headerXml() + "<row r=\"3\"><c><v>1</v></c></row><row r=\"3\"><c><v>1</v></c></row>");
    EXPECT_EQ(fileProblem(file), prefix + "la riga 3 segue la riga 3.");
    writeXlsx(file, headerXml() + "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>5</v></c></row>", "<si><t>a</t></si>");
    EXPECT_EQ(fileProblem(file), prefix + "la cella della riga 2 rimanda a un testo condiviso inesistente.");
    // The last row Excel has is still a row.
    writeXlsx(file, headerXml() + "<row r=\"1048576\"><c r=\"XFD1048576\" t=\"inlineStr\"><is><t>x</t></is></c></row>");
    const ReadResult last = mapping::readCorrelationFile(file);
    ASSERT_EQ(last.rows.size(), 1u);
    EXPECT_EQ(last.rows[0].line, 1048576);
    EXPECT_EQ(last.rows[0].problem, "La riga ha 16384 celle, l'intestazione 9");
}

// A part that inflates beyond the limit is refused, whatever size the archive declares for it.
TEST(HostileFileTest, XlsxZipBomb) {
    testsupport::TempDir dir;
    const auto bomb = dir.path() / "bomba.xlsx";
    writeXlsx(bomb, headerXml() + "<row r=\"2\"><c><v>1</v></c></row>" + std::string(3 * 1024 * 1024, ' '));
    mapping::detail::ReadLimits limits;
    limits.maxXlsxPartBytes = 1024 * 1024;
    EXPECT_EQ(fileProblem(bomb, limits), "Il file non è un file Excel (.xlsx) leggibile: la parte \"xl/worksheets/dati.xml\" "
                                         "supera 1 MB una volta decompressa (archivio malformato o ostile).");

    // The same archive declaring a small size for the part, in its local and central headers.
    std::string bytes = testsupport::readFile(bomb);
    const std::string name = "xl/worksheets/dati.xml";
    for (std::size_t at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at + 1)) {
        const bool central = bytes.compare(at - 46, 4, "PK\x01\x02") == 0;
        const bool local = bytes.compare(at - 30, 4, "PK\x03\x04") == 0;
        if (central) bytes.replace(at - 46 + 24, 4, std::string("\x00\x01\x00\x00", 4));
        if (local) bytes.replace(at - 30 + 22, 4, std::string("\x00\x01\x00\x00", 4));
    }
    const auto lying = dir.path() / "bugiarda.xlsx";
    writeBytes(lying, bytes);
    EXPECT_THAT(fileProblem(lying, limits), StartsWith("Il file non è un file Excel (.xlsx) leggibile: la parte \"xl/worksheets/dati.xml\""));
}

TEST(HostileFileTest, UnwritableTargetLeavesTheOldFile) {
    testsupport::TempDir dir;
    const std::vector<mapping::SheetRow> rows(3, {"COGE", "01", "007", "", "0010", "Cassa", "1", "C.IV.3", "Denaro"});
    for (const char* name : {"vecchio.csv", "vecchio.xlsx"}) {
        SCOPED_TRACE(name);
        const auto file = dir.path() / name;
        writeBytes(file, "contenuto di prima");
        // The name the new content is first written under is taken by a folder: the write fails midway.
        const auto blocker = dir.path() / ("." + std::string(name) + "." + std::to_string(::getpid()) + ".tmp");
        std::filesystem::create_directory(blocker);
        try {
            mapping::writeCorrelationFile(file, rows);
            ADD_FAILURE() << "written";
        } catch (const std::runtime_error& e) {
            EXPECT_THAT(e.what(), StartsWith("Impossibile scrivere il file \"" + file.string() + "\": "));
        }
        EXPECT_EQ(testsupport::readFile(file), "contenuto di prima");
        std::filesystem::remove(blocker);
    }
    try {
        mapping::writeCorrelationFile(dir.path() / "manca" / "nuovo.csv", rows);
        ADD_FAILURE() << "written";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), HasSubstr("la cartella \"" + (dir.path() / "manca").string() + "\" non esiste."));
    }
}

}  // namespace
