#pragma once
// A sheet file (.csv or .xlsx) read under the limits that keep a hostile file harmless: its
// size, each inflated part of a workbook, the rows and columns a spreadsheet holds. What the
// columns are is the caller's layout.

#include <cstdint>
#include <filesystem>

#include "mapping/CorrelationFile.h"
#include "mapping/SheetTable.h"

namespace mapping::detail {

struct ReadLimits {
    std::uintmax_t maxFileBytes = kMaxFileBytes;
    std::uint64_t maxXlsxPartBytes = 512ull * 1024 * 1024;   // one part of the workbook, once inflated
};

// Never throws for bad content: a file that cannot be used has file problems (Italian).
TableContent readSheetFile(const std::filesystem::path& file, const SheetLayout& layout, const ReadLimits& limits = {});

}  // namespace mapping::detail
