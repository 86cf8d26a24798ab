#include "mapping/CorrelationFile.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "mapping/CorrelationFileLimits.h"
#include "mapping/CsvSheet.h"
#include "standalone/FileReplacement.h"
#include "standalone/XlsxWorkbook.h"
#include "text/Text.h"

namespace mapping {

namespace {

void writeXlsx(const std::filesystem::path& file, const std::vector<SheetRow>& rows) {
    if (rows.size() >= standalone::kSheetRowLimit)   // refused before the cells are prepared
        standalone::failToWrite(file, "un foglio Excel contiene al massimo " + std::to_string(standalone::kSheetRowLimit - 1) +
                                          " correlazioni sotto l'intestazione e ne sono state chieste " +
                                          std::to_string(rows.size()));
    standalone::ExportSection table;
    table.kind = standalone::ExportSection::Kind::Detail;
    table.captions.assign(std::begin(kFileColumns), std::end(kFileColumns));
    table.rows.reserve(rows.size());
    for (const SheetRow& r : rows) {
        auto& cells = table.rows.emplace_back();
        cells.reserve(detail::kFieldCount);
        for (const auto field : detail::kSheetRowFields) cells.emplace_back(r.*field);
    }
    standalone::writeWorkbook(file, "", {std::move(table)});
}

}  // namespace

std::optional<FileFormat> formatOfPath(const std::filesystem::path& path) {
    const std::string ext = text::toLowerAscii(path.extension().string());
    if (ext == ".csv") return FileFormat::Csv;
    if (ext == ".xlsx") return FileFormat::Xlsx;
    return std::nullopt;
}

ReadResult readCorrelationFile(const std::filesystem::path& file) { return detail::readCorrelationFile(file, {}); }

ReadResult detail::readCorrelationFile(const std::filesystem::path& file, const ReadLimits& limits) {
    SheetLayout layout;
    for (std::size_t f = 0; f < kFieldCount; ++f) layout.push_back({kFileColumns[f], true, isDescriptionField(f)});
    TableContent table = readSheetFile(file, layout, limits);
    ReadResult result;
    result.fileProblems = std::move(table.fileProblems);
    result.rows.reserve(table.rows.size());
    for (auto& row : table.rows) {
        ReadRow& r = result.rows.emplace_back();
        r.line = row.line;
        r.problem = std::move(row.problem);
        for (std::size_t f = 0; f < kFieldCount; ++f) r.cells.*kSheetRowFields[f] = std::move(row.cells[f]);
    }
    return result;
}

void writeCorrelationFile(const std::filesystem::path& file, const std::vector<SheetRow>& rows) {
    const auto format = formatOfPath(file);
    if (!format) standalone::failToWrite(file, "il nome deve finire in .csv o .xlsx");
    if (*format == FileFormat::Csv) detail::writeCsv(file, rows);
    else writeXlsx(file, rows);
}

}  // namespace mapping
