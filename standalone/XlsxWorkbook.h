#pragma once
// The export as an .xlsx workbook of one sheet, "Correlazioni": the title, each master
// section as caption/value pairs, then each detail section as a table under a bold header
// row. The first table's header row stays frozen and carries the autofilter; columns are as
// wide as their texts. Texts stay texts (account codes keep their leading zeros), numbers
// are numbers. Rows are streamed (constant memory), so a list of any length Excel can hold
// is written in one sheet.
//
// The workbook is written next to the target under a temporary name and renamed over it
// only when complete: a failed export leaves an existing file as it was.

#include <filesystem>
#include <string>
#include <vector>

#include "standalone/OfficeExport.h"

namespace standalone {

inline constexpr const char* kExportSheetName = "Correlazioni";
// Rows of one Excel sheet.
inline constexpr std::size_t kSheetRowLimit = 1048576;

// ExportError with an Italian reason when the file cannot be written (missing folder, no
// permission, a folder of that name, a full disk, more rows than a sheet holds).
void writeWorkbook(const std::filesystem::path& file, const std::string& title,
                   const std::vector<ExportSection>& sections);

}  // namespace standalone
