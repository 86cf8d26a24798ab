#pragma once
// The statements that build and read the correlation editor's working table: the level
// filter, the SELECT ... INTO #CORRPDCRICL of the ledger kinds, its reading query and the
// analytic kind's query. Pure text builders: the editor gathers the inputs.

#include <string>

#include "editor/CorrelationKind.h"

namespace editor {

inline constexpr const char* kWorkingTable = "#CORRPDCRICL";
inline constexpr const char* kCrLf = "\r\n";

// Keeps the accounts of one level of the ledger chart: the lowest level, or for HYPE and CONS
// a consolidation level. `mask` is the account edit mask ("@@/@@@@/@@@@").
std::string levelFilter(CorrelationKind kind, int levels, int consolidationLevels, const std::string& mask);

// "[" + name + "].dbo." when the ledger tables live in another database, "" otherwise.
std::string databasePrefix(const std::string& databaseName);

struct WorkingTableInput {
    CorrelationKind kind = CorrelationKind::COGE;
    std::string chartCode;          // TXT_CODICE_PDC ("" -> 0)
    std::string reclChartCode;      // TXT_CODICE_RICL ("" -> 0)
    std::string intercompanyCode;   // TXT_CODINTERCOMPANY ("" -> 0), CONS only
    int levels = 0;                 // TXT_NUM_LIVELLI
    int consolidationLevels = 0;    // TXT_NUM_LIVELLI_CONS
    std::string mask;               // MascheraConto
    std::string customersMaster;    // "" when missing
    std::string suppliersMaster;
    std::string intercompanyDatabase;   // NomeDatabaseIntercompany
    std::string companyCode;            // replaces <DITTA>
};

// The SELECT ... INTO #CORRPDCRICL statement, with <DITTA> already replaced.
std::string workingTableStatement(const WorkingTableInput& in);

// " SELECT *" CRLF " FROM #table" CRLF " ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO" CRLF
std::string workingTableReadingQuery(const std::string& table = kWorkingTable);

// The analytic kind's query over PC03_ANAGPDC and PC07_COLLRICL (codes as they stand).
std::string analyticRowsQuery(const std::string& analyticChart, const std::string& reclChart,
                              const std::string& companyCode);

// "DROP TABLE " + table
std::string dropTableStatement(const std::string& table);

}  // namespace editor
