#include "ReportTestData.h"

#include <sstream>
#include <stdexcept>

#include "db/Connection.h"
#include "support/TestSupport.h"

namespace reporttest {

const std::string& reportFolder() {
    static const std::string folder = [] {
        static const testsupport::TempDir dir;   // removed when the process ends
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " db init --demo --accounts 300 --dir '" +
                                         dir.str() + "'");
        if (r.exitCode != 0) throw std::runtime_error("db init failed: " + r.err);
        auto conn = db::Connection::create();
        conn->Open("Provider=SQLite;database=BREVANTO;Data Source=" + dir.str());
        conn->Execute("UPDATE CG24_TABPDC SET CG24_DESCR = 'Attività è à ù € in prova' "
                      "WHERE CG24_GRUPPO_CG10 = 10 AND CG24_CONTO = '0101010002'");
        conn->Execute("UPDATE CG24_TABPDC SET CG24_DESCR = 'Descrizione lunghissima che non entra nella sua colonna: "
                      "fine della descrizione' WHERE CG24_GRUPPO_CG10 = 10 AND CG24_CONTO = '0101020001'");
        conn->Execute("INSERT INTO CG10_DESPDC (CG10_GRUPPO, CG10_DESCR, CG10_MASKEDIT, CG10_NUMLIVELLI, CG10_NUMLIVCONS) "
                      "VALUES (50, 'Piano senza conti', 'xx/xx/xx/xxxx', 4, 2)");
        conn->Close();
        return dir.str();
    }();
    return folder;
}

std::string reportConnectionString() { return "Provider=SQLite;database=BREVANTO;Data Source=" + reportFolder(); }

std::string PdfText::all() const {
    std::string out;
    for (const auto& p : page) out += p + "\f";
    return out;
}

PdfText readPdf(const std::filesystem::path& file) {
    PdfText pdf;
    auto info = testsupport::runCommand("pdfinfo '" + file.string() + "'");
    if (info.exitCode != 0) throw std::runtime_error("pdfinfo: " + info.err);
    auto at = info.out.find("Pages:");
    if (at == std::string::npos) throw std::runtime_error("pdfinfo gave no page count");
    pdf.pages = std::stoi(info.out.substr(at + 6));
    auto text = testsupport::runCommand("pdftotext -layout -enc UTF-8 '" + file.string() + "' -");
    if (text.exitCode != 0) throw std::runtime_error("pdftotext: " + text.err);
    std::size_t start = 0;
    for (std::size_t end; (end = text.out.find('\f', start)) != std::string::npos; start = end + 1)
        pdf.page.push_back(text.out.substr(start, end - start));
    return pdf;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace reporttest
