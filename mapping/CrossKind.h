#pragma once
// One ledger chart's accounts with their targets in the kinds that correlate ledger accounts,
// side by side: COGE (a reclassification chart), HYPE (a Hyperion chart) and CONS (an
// intercompany structure whose company keeps this chart), both signs each.

#include <string>
#include <vector>

#include "mapping/Scope.h"

namespace db {
class Connection;
}

namespace mapping {

struct CrossKindRequest {
    std::string chart;           // the ledger chart
    std::string reclChart;       // COGE: the reclassification chart ("" = no COGE column)
    std::string hyperionChart;   // HYPE: the Hyperion chart ("" = no HYPE column)
    std::string intercompany;    // CONS: the structure ("" = no CONS column)
    std::string consChart;       // CONS: the intercompany reclassified chart
    std::string company = "1";
};

struct CrossTargets {
    bool listed = false;         // the kind's editor lists the account (at its level)
    std::string debit, credit;   // stored targets, "" for none
};

struct CrossKindRow {
    std::string account, shownAccount, description;
    std::vector<CrossTargets> targets;   // one per scope of the view, in its order
};

struct CrossKindView {
    std::string chart, chartDescription;
    std::vector<Scope> scopes;           // the kinds shown: COGE, HYPE, CONS as requested
    std::vector<CrossKindRow> rows;      // every account some kind lists, by code
};

// Reads each requested kind's accounts and stored correlations on `conn` (which must be a
// connection of its own: the accounts are listed through the editor's working table).
// ScopeRefused when no kind is requested, a chart is refused as the editor refuses it, or the
// structure's company keeps another chart; db::Error when the database fails.
CrossKindView crossKindView(db::Connection& conn, const CrossKindRequest& request);

}  // namespace mapping
