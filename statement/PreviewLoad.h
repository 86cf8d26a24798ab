#pragma once
// The preview of a scope read from the database: the chart data the editor works on, the
// reclassification chart's shape, the kept trial balances and the preview built on them,
// with the ledger accounts' codes as shown and descriptions for the drill-down and the
// warnings.

#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "mapping/ChartData.h"
#include "statement/Preview.h"

namespace db {
class Connection;
}

namespace statement {

inline constexpr const char* kNoBalancesTableMessage =
    "Nessun bilancio di verifica importato: il database non ha ancora la tabella dei saldi (BRV_SALDI).";
inline constexpr const char* kAnalyticRefusedMessage =
    "L'anteprima del bilancio riclassificato non è disponibile per la correlazione analitica (COIN).";

// A preview that cannot be made as asked (COIN, a date not written AAAA-MM-GG or not kept);
// the text is for the user.
class PreviewRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LoadedPreview {
    mapping::Scope scope;                 // CONS: chart filled in from the structure
    std::string chartDescription, reclChartDescription, reclMask;
    Preview preview;
    std::string notice;                   // why there are no amounts ("" when there are)
    std::unordered_map<std::string, std::pair<std::string, std::string>> ledger;   // code -> shown, description

    // The account as the grid shows it, and its description ("" when the chart lacks it).
    std::string shownAccount(const std::string& code) const;
    std::string accountDescription(const std::string& code) const;
    // A reclassified code through the chart's mask.
    std::string shownTarget(const std::string& code) const;
};

// "Nessun bilancio di verifica importato per la ditta 1 e il PdC 10."
std::string noBalancesMessage(const mapping::Scope& scope);

// Builds the preview of `data` (ChartData::load of the scope) at `date` (the latest kept when
// not given). PreviewRefused for COIN or a date that is malformed or not kept; db::Error when
// the database fails. No balances (no table, nothing for the chart) gives an empty preview
// with `notice` set.
LoadedPreview loadPreview(db::Connection& conn, const mapping::ChartData& data,
                          const std::optional<std::string>& date = std::nullopt);

// The correlations stored for the scope's key columns in the host database, read as they
// come (blanks trimmed, empty targets left out): what a full recomputation needs, without the
// ordered map ChartData keeps. ScopeRefused for codes that are not numbers.
std::vector<Correlation> readCorrelations(db::Connection& conn, const mapping::Scope& scope);

// Refuses COIN and a date not written AAAA-MM-GG (PreviewRefused).
void checkPreviewRequest(const mapping::Scope& scope, const std::optional<std::string>& date);

}  // namespace statement
