#pragma once
// The first sheet of an .xlsx workbook read as rows of text cells: shared and inline strings
// (rich text too), numbers in their shortest form (1010 stays "1010"), booleans as Italian
// Excel shows them; formulas are flagged. Gaps in the cell references are empty cells.

#include <cstdint>
#include <filesystem>

#include "mapping/SheetTable.h"

namespace mapping::detail {

// Feeds the rows to `table`; why the workbook cannot be read goes to its file problems.
// `maxPartBytes` bounds each part once inflated.
void readXlsx(const std::filesystem::path& file, std::uint64_t maxPartBytes, SheetTable& table);

}  // namespace mapping::detail
