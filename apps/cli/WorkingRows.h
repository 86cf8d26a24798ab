#pragma once
// The correlation editor's working rows, built by the command line from the same statements
// the editor issues: CreaTabella's SELECT ... INTO #CORRPDCRICL for the kinds COGE, HYPE and
// CONS, and ValorizzaGridOld's query for COIN, written by the editor's own statement builders.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "statements/CorrelationKindNames.h"

namespace db {
class Connection;
class Recordset;
}

namespace brevanto::cli {

// The editor's kinds, by the editor's names.
using Kind = editor::CorrelationKind;
using editor::kindFromName;
using editor::kindName;

// --- Statement pieces ------------------------------------------------------------------------

struct WorkingTableInput {
    Kind kind = Kind::COGE;
    std::string chart;              // ledger chart code as typed ("" = 0)
    std::string reclChart;          // reclassification chart code ("" = 0)
    std::string intercompany;       // structure code, CONS only ("" = 0)
    int levels = 0;
    int consLevels = 0;
    std::string mask;               // "@@/@@@@/@@@@"
    std::string customersMaster;    // "" when missing
    std::string suppliersMaster;    // "" when missing
    std::string database;           // intercompany database name, "" for the host database
    std::string company = "1";      // replaces <DITTA>
};

// The whole SELECT ... INTO #CORRPDCRICL text, <DITTA> already replaced.
std::string creaTabellaSql(const WorkingTableInput& in);

// The reading query of ValorizzaGridNew.
std::string readingQuerySql();

// ValorizzaGridOld's query (kind COIN), <DITTA> already replaced.
std::string coinQuerySql(const std::string& analyticChart, const std::string& reclChart,
                         const std::string& company);

// CG10_MASKEDIT -> the "@" mask: trimmed, every "x" and "0" made "@" (case-sensitive).
std::string ledgerMaskFromEdit(const std::string& maskEdit);
// The mask for a level count when the chart has no mask row ("" for another count).
std::string ledgerMaskForLevels(int levels);

// --- Building the rows -----------------------------------------------------------------------

struct ListRequest {
    Kind kind = Kind::COGE;
    std::string chart;         // --pdc (ignored in CONS: taken from the structure's company)
    std::string reclChart;     // --ricl
    std::string intercompany;  // --intercompany (CONS)
    std::string company = "1";
    // A chart without accounts gives an empty set instead of the editor's message 107.
    bool allowEmpty = false;
};

struct WorkingRow {
    std::string contoPdc, descrPdc;
    std::optional<std::string> contoPdcGrid, descrPdcGrid;   // sign-1 rows only
    std::optional<std::string> contoRicl, descrRicl;
    int segno = 0;
    std::optional<int> indTipoConto, tipoCF;                 // NULL in COIN
    std::string displayCode;                                 // contoPdcGrid through the mask
};

struct WorkingSet {
    std::string chart;          // the chart actually listed (CONS: the structure's)
    std::string chartDescr;
    std::string mask;           // "@" mask used for display
    std::string database;       // intercompany database, "" for the host one
    std::string customersMaster, suppliersMaster;
    std::string statement;      // the T-SQL text that built the rows
    std::vector<WorkingRow> rows;
};

// A refusal the editor would show as a message (the text is for the user).
class ListRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The checks the editor makes of the header and what they establish: the chart and its
// description, levels, mask, masters and (CONS) database. The rows are not read.
struct PreparedChart {
    WorkingSet set;   // without rows or statement
    int levels = 0, consLevels = 0;
};
PreparedChart prepareChart(db::Connection& conn, const ListRequest& request);

// COGE, HYPE, CONS: the ledger accounts the working table lists (code, description, type),
// in its order, read without building it.
std::string ledgerAccountsSql(const ListRequest& request, const PreparedChart& prepared);

// The working rows read one at a time from the recordset the statements return, without a
// copy of them: the command line prints them as they come.
class WorkingRowReader {
public:
    // Runs the statements as the editor would after the reclassification chart is confirmed.
    // ListRefused for a refused chart, structure or an empty chart (message 107, unless the
    // request allows an empty set); db::Error when the database refuses a statement.
    WorkingRowReader(db::Connection& conn, const ListRequest& request);

    const WorkingSet& set() const { return set_; }   // the chart's details and statement; no rows
    std::size_t count() const { return count_; }     // the rows forEach gives
    // Calls `visit` with each row in order, at most `limit` of them (0: all). The row passed
    // is reused from one call to the next.
    void forEach(const std::function<void(const WorkingRow&)>& visit, std::size_t limit = 0) const;

private:
    void forEachCoin(const std::function<void(const WorkingRow&)>& visit, std::size_t limit) const;

    WorkingSet set_;
    Kind kind_ = Kind::COGE;
    std::shared_ptr<db::Recordset> rows_;   // as the statements returned them
    std::map<std::string, bool> analytic_;  // COIN: the analytic chart's accounts
    std::size_t count_ = 0;
};

// The same rows, all held in the set.
WorkingSet loadWorkingRows(db::Connection& conn, const ListRequest& request);

}  // namespace brevanto::cli
