#pragma once
// The round trip of a scope's correlations through a file (.xlsx or .csv): the export writes
// every account of the scope on both signs, the import reads a file back into a plan.
//
// In the file, an empty "Conto riclassificato" leaves the stored correlation as it is; only
// the word ELIMINA removes one.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "mapping/ChartData.h"
#include "mapping/CorrelationFile.h"
#include "mapping/Plan.h"

namespace mapping {

inline constexpr const char* kRemoveMarker = "ELIMINA";

// The rows of the export: each account of the editor's list, "Dare" then "Avere".
std::vector<SheetRow> exportRows(const ChartData& data);
// Writes them; std::runtime_error with the reason when the file cannot be written. Returns
// the rows written.
long exportCorrelations(const ChartData& data, const std::filesystem::path& file);

// The scope a file's rows name (the first usable row's), or why there is none.
std::optional<Scope> scopeOfFile(const ReadResult& file, std::string* problem);

// The wanted rows of a file for `scope`: a row of another scope, an unknown sign, an empty
// account or two rows for one account and sign are refused with their reason.
std::vector<Desired> desiredFromFile(const ReadResult& file, const Scope& scope);

struct ImportPreview {
    std::filesystem::path file;
    std::vector<std::string> fileProblems;   // when not empty, nothing can be applied
    std::optional<Scope> scope;
    Plan plan;
    bool applicable() const { return fileProblems.empty() && plan.writes() > 0; }
};

// Reads `file` and compares it with the database. `expected` (the editor's scope) refuses a
// file of another scope. ScopeRefused and db::Error pass through.
ImportPreview previewImport(db::Connection& conn, const std::filesystem::path& file,
                            const std::optional<Scope>& expected, const std::string& company = "1",
                            const RuleOptions& options = {});

}  // namespace mapping
