#pragma once
// Correlation files as CSV: UTF-8 with a byte-order mark, `;` separated, CRLF line ends,
// fields quoted as RFC 4180 says, as Italian Excel reads and writes them. `,` separated
// files are read too.

#include <filesystem>
#include <string_view>
#include <vector>

#include "mapping/CorrelationFile.h"
#include "mapping/SheetTable.h"

namespace mapping::detail {

// Feeds the records of `bytes` (a whole file) to `table`, numbered as a spreadsheet shows them.
void readCsv(std::string_view bytes, SheetTable& table);

// Writes the header and `rows`; ExportError (a std::runtime_error) when the file cannot be written.
void writeCsv(const std::filesystem::path& file, const std::vector<SheetRow>& rows);

}  // namespace mapping::detail
