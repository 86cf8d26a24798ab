#pragma once
// Correlation files: the correlations of a kind and pair of charts as a sheet a spreadsheet
// program opens and edits, one correlation a row, in .csv (UTF-8, `;` separated as Italian
// Excel writes it) or .xlsx. This layer only reads and writes the cells: what a row means is
// decided by whoever validates it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mapping {

// The columns of a correlation file, in the order they are written. On reading, the header
// row must hold each of them exactly once, in any order (letter case aside); any other
// column is an error.
inline constexpr const char* kFileColumns[] = {
    "Tipo", "PdC", "PdC riclassificazione", "Struttura intercompany", "Conto", "Descrizione conto",
    "Segno", "Conto riclassificato", "Descrizione conto riclassificato"};

struct SheetRow {   // one correlation, cells as text
    std::string kind, chart, reclChart, intercompany, account, accountDescription, sign, target, targetDescription;
    bool operator==(const SheetRow&) const = default;
};

struct ReadRow {
    int line = 0;          // 1-based row/line number in the file as a spreadsheet shows it (header = 1)
    SheetRow cells;        // trimmed of blanks at both ends
    std::string problem;   // "" or why this row cannot be used (Italian)
};

struct ReadResult {
    std::vector<ReadRow> rows;              // data rows; fully blank rows are skipped
    std::vector<std::string> fileProblems;  // problems of the whole file (Italian); when not empty the file must not be used
};

enum class FileFormat { Csv, Xlsx };

// By extension, case-insensitive; nullopt for any other.
std::optional<FileFormat> formatOfPath(const std::filesystem::path&);

// Reads a correlation file. Never throws for bad content: every problem is reported (file or row level).
ReadResult readCorrelationFile(const std::filesystem::path& file);

// Writes rows under the header; throws std::runtime_error with an Italian message when the file cannot be written.
// Written under a temporary name in the same folder and renamed at the end: a failure leaves an existing file untouched.
void writeCorrelationFile(const std::filesystem::path& file, const std::vector<SheetRow>& rows);

inline constexpr std::uintmax_t kMaxFileBytes = 100u * 1024 * 1024;   // larger files are refused unread

}  // namespace mapping
