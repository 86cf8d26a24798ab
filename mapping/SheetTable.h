#pragma once
// The rows of a sheet as a file reader finds them, turned into rows of named cells: the first
// non-blank row is the header and says which column holds which of the layout's columns;
// every later row is checked cell by cell (formulas and control characters in cells that are
// not free text, cell count). Both the CSV and the XLSX reader feed it; the correlation files
// and the trial balances each give their layout.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "mapping/CorrelationFile.h"

namespace mapping::detail {

inline constexpr std::size_t kFieldCount = std::size(kFileColumns);

// What a spreadsheet sheet holds: no file is read beyond it.
inline constexpr int kMaxSheetRows = 1048576;
inline constexpr std::size_t kMaxSheetColumns = 16384;   // A … XFD

// The fields of SheetRow in the order of kFileColumns.
inline constexpr std::string SheetRow::*kSheetRowFields[kFieldCount] = {
    &SheetRow::kind,    &SheetRow::chart,   &SheetRow::reclChart, &SheetRow::intercompany,     &SheetRow::account,
    &SheetRow::accountDescription,          &SheetRow::sign,      &SheetRow::target,           &SheetRow::targetDescription};

// Descriptions are there to be read: they may hold anything a text holds.
constexpr bool isDescriptionField(std::size_t field) {
    return kSheetRowFields[field] == &SheetRow::accountDescription || kSheetRowFields[field] == &SheetRow::targetDescription;
}

// The columns a header may name (letter case aside, each at most once, any order); any other
// column is an error.
struct SheetColumn {
    const char* name;
    bool required = true;    // the header must name it
    bool freeText = false;   // may hold anything a text holds (a description)
};
using SheetLayout = std::vector<SheetColumn>;

struct TableRow {
    int line = 0;                     // as a spreadsheet numbers it (header = 1)
    std::vector<std::string> cells;   // one per layout column, trimmed; "" for a column the header lacks
    std::string problem;              // "" or why the row cannot be used (Italian)
};

struct TableContent {
    std::vector<TableRow> rows;              // fully blank rows are skipped
    std::vector<std::string> fileProblems;   // when not empty the file must not be used (and rows is empty)
    std::vector<bool> present;               // per layout column: the header names it
};

struct RawCell {
    std::string text;
    bool formula = false;   // the spreadsheet computes it
};

class SheetTable {
public:
    // `exactCellCount`: every row must have as many cells as the header (CSV); otherwise a
    // row may end early and only cells beyond the header's are refused (XLSX).
    SheetTable(SheetLayout layout, bool exactCellCount) : layout_(std::move(layout)), exactCellCount_(exactCellCount) {}

    // One row of the file at spreadsheet row `line`: `cellCount` cells, of which the first
    // min(cellCount, cells.size()) are given; a reader keeping fewer (cellsToKeep) passes
    // only blank cells beyond `cells`. Returns false when reading can stop (the
    // header is unusable).
    bool addRow(int line, const std::vector<RawCell>& cells, std::size_t cellCount);
    void addFileProblem(std::string problem) { result_.fileProblems.push_back(std::move(problem)); }

    bool hasHeader() const { return headerWidth_ > 0; }
    // The cells a reader needs to keep of a row: the header's, or all of them before it.
    std::size_t cellsToKeep(std::size_t columnsInSheet) const { return hasHeader() ? headerWidth_ : columnsInSheet; }

    // The rows read and the problems found; "no header" when the file had no non-blank row.
    // No rows when the file has a problem.
    TableContent finish();

private:
    bool takeHeader(int line, const std::vector<RawCell>& cells, std::size_t cellCount);
    void takeRow(int line, const std::vector<RawCell>& cells, std::size_t cellCount);

    SheetLayout layout_;
    bool exactCellCount_;
    std::size_t headerWidth_ = 0;
    std::vector<std::size_t> columnOfField_;
    std::vector<bool> unnamedColumn_;   // header cells left blank: their cells must stay blank
    TableContent result_;
};

}  // namespace mapping::detail
