#pragma once
// Statements behind the editor's header fields: chart mask, chart type and configuration,
// account existence and description, master accounts, intercompany structure and company chart.

#include <optional>
#include <string>

namespace editor {

// CG10_MASKEDIT / CG10_NUMLIVELLI of a ledger chart ("" -> -1).
std::string maskQuery(const std::string& chartCode);
// The stored edit mask as the editor uses it: blanks trimmed, every "x" and "0" made "@".
std::string maskFromStored(const std::string& stored);
// The mask of a chart with that many levels (2 to 5), or nothing.
std::optional<std::string> maskForLevels(int levels);

// Description of a reclassified account through FNPC03_ANAGPDC_COGE.
std::string accountDescriptionQuery(const std::string& reclChart, const std::string& account,
                                    const std::string& companyCode);
// Existence of an account in a PC01 chart.
std::string accountExistsQuery(const std::string& chart, const std::string& account);
// PC01_INDTIPOPDC of a chart.
std::string chartTypeQuery(const std::string& chart);
// PC02_CONFIGPDC row of a chart ("" -> 0).
std::string chartConfiguredQuery(const std::string& chart);
// CG36_PRSPDC settings of a ledger chart, with the cross-database prefix.
std::string masterAccountsQuery(const std::string& chartCode, const std::string& intercompanyDatabase);
// The structure with its intercompany database (lines joined by CR).
std::string intercompanyStructureQuery(const std::string& structureCode);
// The chart of the structure's company (lines joined by CR).
std::string intercompanyChartQuery(const std::string& companyCode, const std::string& intercompanyDatabase);

// The host connection string with its "database=" item (exact, lower case, ended by ";")
// pointing at `database`; unchanged when there is no such item or no database.
std::string intercompanyConnectionString(const std::string& hostConnectionString, const std::string& database);

}  // namespace editor
