#pragma once
// What the report tests share: the demo database with what the printed list needs beyond it,
// made once per test binary, and the text of a written PDF as poppler reads it.

#include <filesystem>
#include <string>
#include <vector>

namespace reporttest {

// The demo database plus 300 generated accounts in chart 10 (several pages), the description
// "Attività è à ù € in prova" on account 0101010002 of chart 10, one too long for its column
// on 0101020001, and the ledger chart 50 "Piano senza conti" that has no account.
const std::string& reportFolder();
std::string reportConnectionString();

struct PdfText {
    int pages = 0;                     // as pdfinfo counts them
    std::vector<std::string> page;     // pdftotext -layout, one text per page
    std::string all() const;
};

PdfText readPdf(const std::filesystem::path& file);

// The lines of `text`.
std::vector<std::string> lines(const std::string& text);

}  // namespace reporttest
