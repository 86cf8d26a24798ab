#pragma once
// The preview as the user takes it away: the sections of an .xlsx sheet (heading, the lines
// with their amounts as numbers, the sign-coverage warnings) and the HTML page a print lays
// out (amounts written 1.234,56).

#include <filesystem>
#include <string>
#include <vector>

#include "standalone/OfficeExport.h"
#include "statement/PreviewLoad.h"

namespace statement {

inline constexpr const char* kPreviewTitle = "Anteprima bilancio riclassificato";

// "Anteprima bilancio riclassificato - COGE, PdC 10, PdC di riclassificazione 101 al 31/12/2025"
std::string previewTitle(const LoadedPreview& loaded);
// Caption and value pairs of the heading.
std::vector<std::pair<std::string, std::string>> previewHeading(const LoadedPreview& loaded);
// "Conto 1801000001 Banca: saldo Avere -1.200,00 al 31/12/2025, riga Avere non correlata"
std::string describeWarning(const LoadedPreview& loaded, const SignWarning& warning);

std::vector<standalone::ExportSection> previewSections(const LoadedPreview& loaded);
// standalone::ExportError when the file cannot be written.
void writePreviewXlsx(const LoadedPreview& loaded, const std::filesystem::path& file);
// A complete HTML page; `printedAt` goes into the heading.
std::string previewHtml(const LoadedPreview& loaded, const std::string& printedAt);

}  // namespace statement
