// The printed list of correlations as a user reads it: each kind that prints written to a PDF
// and read back with poppler (heading, rows, column headings and page numbers on every page,
// an account's two rows on one page, totals that agree with the rows), the empty chart, the
// prints that are refused and the files that cannot be written.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "ReportTestData.h"
#include "db/Connection.h"
#include "report/PdfFile.h"
#include "report/ReportContent.h"
#include "support/TestSupport.h"

using namespace report;
using reporttest::PdfText;
using testing::HasSubstr;
using testing::StartsWith;

namespace {

ReportContent contentOf(Kind kind, const std::string& pdc, const std::string& ricl, const std::string& structure = "") {
    auto conn = db::Connection::create();
    conn->Open(reporttest::reportConnectionString());
    ReportRequest request;
    request.kind = kind;
    request.ledgerChart = pdc;
    request.reclChart = ricl;
    request.intercompany = structure;
    auto content = buildReportContent(*conn, request);
    content.printedAt = "07/12/2026 10:30";
    return content;
}

// A data row as pdftotext lays it out: an optional account and description, the sign, then
// the reclassified account and its description when there is one.
struct PrintedRow {
    std::string account;
    std::string sign;
    bool correlated = false;
};

std::vector<PrintedRow> rowsOf(const std::string& page) {
    static const std::regex row(R"(^\s*(\S+)?.*?\s(Dare|Avere)(\s{2,}\S.*)?\s*$)");
    std::vector<PrintedRow> out;
    for (const auto& line : reporttest::lines(page)) {
        std::smatch m;
        if (line.find(':') != std::string::npos || !std::regex_match(line, m, row)) continue;
        out.push_back({m[2] == "Dare" ? m[1].str() : std::string(), m[2], m[3].matched});
    }
    return out;
}

class ReportPdf : public ::testing::Test {
protected:
    PdfText print(const ReportContent& content, int* pages = nullptr) {
        const auto file = dir.path() / "stampa.pdf";
        const int written = writePdf(content, file);
        if (pages) *pages = written;
        return reporttest::readPdf(file);
    }
    testsupport::TempDir dir;
};

TEST_F(ReportPdf, CogeListsEveryAccountTwiceUnderTheHeadingOfEachPageAndClosesWithTotals) {
    auto content = contentOf(Kind::COGE, "10", "101");
    int pages = 0;
    PdfText pdf = print(content, &pages);
    ASSERT_GT(pages, 3);
    EXPECT_EQ(pdf.pages, pages);
    ASSERT_EQ(pdf.page.size(), static_cast<std::size_t>(pages));

    const std::string& first = pdf.page[0];
    EXPECT_THAT(first, HasSubstr("Correlazioni PdC contabile - riclassificazione di bilancio"));
    EXPECT_THAT(first, HasSubstr("Ditta: 1 - Rossi S.p.A."));
    EXPECT_THAT(first, HasSubstr("Stampata il 07/12/2026 10:30"));
    EXPECT_THAT(first, HasSubstr("PdC contabile: 10 - Piano dei conti Rossi S.p.A."));
    EXPECT_THAT(first, HasSubstr("PdC riclassificazione: 101 - "));
    // The first account as the editor lists it: the code through the chart's mask and the
    // demo's correlation on the Dare row, only the sign and its correlation on the Avere row.
    EXPECT_TRUE(std::regex_search(first, std::regex(R"(01/01/01/0001\s+Costi di impianto e ampliamento\s+Dare\s+0101001\s)")));
    EXPECT_TRUE(std::regex_search(first, std::regex(R"(\n\s+Avere\s+0101001\s)")));
    EXPECT_THAT(first, HasSubstr("Attività è à ù € in prova"));

    PrintedRow previous;
    std::array<long, 2> correlated{}, uncorrelated{};
    long accounts = 0;
    for (int p = 0; p < pages; ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const std::string& text = pdf.page[static_cast<std::size_t>(p)];
        EXPECT_THAT(text, HasSubstr("Pagina " + std::to_string(p + 1) + " di " + std::to_string(pages)));
        for (const char* heading : {"Conto contabile", "Descrizione conto contabile", "Segno", "Conto riclassificato",
                                    "Descrizione conto riclassificato"})
            EXPECT_THAT(text, HasSubstr(heading));
        auto rows = rowsOf(text);
        ASSERT_FALSE(rows.empty());
        // An account's Dare and Avere rows never part: every page starts with a Dare row that
        // names its account and ends with an Avere row.
        EXPECT_EQ(rows.front().sign, "Dare");
        EXPECT_EQ(rows.back().sign, "Avere");
        for (const auto& r : rows) {
            EXPECT_NE(r.sign, previous.sign) << "after account " << previous.account;
            if (r.sign == "Dare") {
                EXPECT_FALSE(r.account.empty());
                ++accounts;
            }
            ++(r.correlated ? correlated : uncorrelated)[r.sign == "Dare" ? 0 : 1];
            previous = r;
        }
    }
    EXPECT_EQ(static_cast<std::size_t>(accounts) * 2, content.rows.size());

    const std::string& last = pdf.page.back();
    EXPECT_THAT(last, HasSubstr("Totali"));
    EXPECT_THAT(last, HasSubstr("Conti: " + std::to_string(accounts)));
    EXPECT_THAT(last, HasSubstr("Dare: " + std::to_string(correlated[0]) + " righe correlate, " +
                                std::to_string(uncorrelated[0]) + " senza correlazione"));
    EXPECT_THAT(last, HasSubstr("Avere: " + std::to_string(correlated[1]) + " righe correlate, " +
                                std::to_string(uncorrelated[1]) + " senza correlazione"));
    EXPECT_GT(correlated[0], 0);
    EXPECT_GT(uncorrelated[1], 0);
}

TEST_F(ReportPdf, HyperionAndIntercompanyPrintTheirChartsAndTheStructure) {
    PdfText hype = print(contentOf(Kind::HYPE, "80", "301"));
    EXPECT_THAT(hype.page[0], HasSubstr("Correlazioni PdC contabile - PdC Hyperion"));
    EXPECT_THAT(hype.page[0], HasSubstr("PdC contabile: 80 - Piano dei conti standard"));
    EXPECT_THAT(hype.page[0], HasSubstr("PdC Hyperion: 301 - "));
    EXPECT_FALSE(rowsOf(hype.page[0]).empty());

    // In CONS the ledger chart is the structure company's, in the structure's database,
    // whatever chart code was handed over.
    PdfText cons = print(contentOf(Kind::CONS, "", "401", "1"));
    const std::string& page = cons.page[0];
    EXPECT_THAT(page, HasSubstr("Correlazioni PdC contabile - riclassificato intercompany"));
    EXPECT_THAT(page, HasSubstr("Struttura intercompany: 1 - Gruppo Rossi"));
    EXPECT_THAT(page, HasSubstr("PdC contabile: 80 - Piano dei conti standard (database GRUPPO)"));
    EXPECT_THAT(page, HasSubstr("PdC riclassificato intercompany: 401 - "));
    EXPECT_LT(page.find("Struttura intercompany"), page.find("PdC contabile:"));
    auto rows = rowsOf(page);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().account, "01/0100/0000");
}

TEST_F(ReportPdf, AChartWithoutAccountsPrintsOneHeadingPageWithZeroTotals) {
    auto content = contentOf(Kind::COGE, "50", "101");
    EXPECT_TRUE(content.rows.empty());
    int pages = 0;
    PdfText pdf = print(content, &pages);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_THAT(pdf.page[0], HasSubstr("PdC contabile: 50 - Piano senza conti"));
    EXPECT_THAT(pdf.page[0], HasSubstr("Descrizione conto riclassificato"));
    EXPECT_THAT(pdf.page[0], HasSubstr("Pagina 1 di 1"));
    EXPECT_THAT(pdf.page[0], HasSubstr("Nessun conto da stampare"));
    EXPECT_THAT(pdf.page[0], HasSubstr("Conti: 0"));
    EXPECT_TRUE(rowsOf(pdf.page[0]).empty());
}

TEST_F(ReportPdf, ALongDescriptionIsCutToItsColumn) {
    PdfText pdf = print(contentOf(Kind::COGE, "10", "101"));
    auto at = pdf.page[0].find("Descrizione lunghissima");
    ASSERT_NE(at, std::string::npos);
    const std::string line = pdf.page[0].substr(at, pdf.page[0].find('\n', at) - at);
    EXPECT_THAT(line, HasSubstr("…"));
    EXPECT_THAT(line, testing::Not(HasSubstr("fine della descrizione")));
    EXPECT_TRUE(std::regex_search(line, std::regex(R"(…\s+Dare\b)"))) << line;
}

TEST(ReportRequests, RefusedWithTheReasonBeforeAnythingIsWritten) {
    auto refused = [](Kind kind, const std::string& pdc, const std::string& ricl, const std::string& structure = "") {
        try {
            contentOf(kind, pdc, ricl, structure);
        } catch (const ReportRefused& e) {
            return std::string(e.what());
        }
        return std::string("(printed)");
    };
    EXPECT_EQ(refused(Kind::COGE, "", ""), "Indicare il piano dei conti da stampare.");
    EXPECT_EQ(refused(Kind::COGE, "10", ""), "Indicare il piano di riclassificazione da stampare.");
    EXPECT_EQ(refused(Kind::CONS, "80", "401"), "Indicare la struttura intercompany da stampare.");
    EXPECT_EQ(refused(Kind::COGE, "99", "101"), "Il piano dei conti 99 non esiste.");
    EXPECT_EQ(refused(Kind::COGE, "10", "999"), "Il piano di riclassificazione 999 non esiste.");
    EXPECT_EQ(refused(Kind::HYPE, "80", "1'; DROP TABLE CG10_DESPDC; --"),
              "Il piano dei conti Hyperion 1'; DROP TABLE CG10_DESPDC; -- non esiste.");
    EXPECT_EQ(refused(Kind::CONS, "", "401", "7"), "La struttura intercompany 7 non esiste.");
    EXPECT_EQ(refused(Kind::COGE, "10", "401"), "Il piano dei conti deve essere di tipo 'Riclassificazione di bilancio'!");
    EXPECT_THAT(refused(Kind::COIN, "201", "102"), HasSubstr("non prevede la stampa"));
}

TEST(ReportFiles, AFileThatCannotBeWrittenIsAClearMessage) {
    auto content = contentOf(Kind::COGE, "50", "101");
    testsupport::TempDir dir;
    auto message = [&](const std::filesystem::path& file) {
        try {
            writePdf(content, file);
        } catch (const ReportError& e) {
            return std::string(e.what());
        }
        return std::string("(written)");
    };
    EXPECT_EQ(message(dir.path() / "manca" / "x.pdf"),
              "Impossibile scrivere il file " + (dir.path() / "manca" / "x.pdf").string() + ": la cartella " +
                  (dir.path() / "manca").string() + " non esiste.");
    EXPECT_EQ(message(dir.path()), "Impossibile scrivere il file " + dir.str() + ": il percorso indica una cartella.");
    EXPECT_THAT(message("/proc/stampa.pdf"), StartsWith("Impossibile scrivere il file /proc/stampa.pdf: "));

    // An old file of the same name is replaced.
    const auto kept = dir.path() / "vecchia.pdf";
    { std::ofstream(kept) << "vecchia stampa"; }
    EXPECT_EQ(writePdf(content, kept), 1);
    EXPECT_EQ(reporttest::readPdf(kept).pages, 1);
}

}  // namespace
