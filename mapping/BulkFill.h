#pragma once
// Bulk fills: each makes the wanted rows of a plan (see Plan.h), which the user previews
// before it is applied.

#include <map>
#include <string>
#include <vector>

#include "mapping/ChartData.h"
#include "mapping/Plan.h"

namespace db {
class Connection;
}

namespace mapping {

// Each account's correlation of sign `fromSign` copied to the other sign where that is empty.
std::vector<Desired> copyOtherSign(const ChartData& data, int fromSign);

// Where the correlations to copy come from.
struct CopySource {
    enum class From {
        LedgerChart,   // another ledger chart (COIN: analytic chart; CONS: structure), same account codes
        ReclChart,     // another reclassification chart, same target codes
        Database,      // the same charts in another company's database on the same server
    };
    From from = From::LedgerChart;
    std::string code;   // the other chart or structure code, or the database name
};
// "PdC 11", "PdC di riclassificazione 102", "database DITTA2".
std::string describeSource(const CopySource& source);

// The source's correlations, read on `conn`. ScopeRefused for a code that is not a chart
// code or a database name that cannot be written into a statement.
std::map<Key, std::string> readCopySource(db::Connection& conn, const Scope& scope, const CopySource& source);

// The source's targets for the accounts of `data` (the same codes); rows that already have a
// correlation keep it unless `overwrite`.
std::vector<Desired> copyFrom(const ChartData& data, const std::map<Key, std::string>& source, bool overwrite);

// One target for the chosen rows.
std::vector<Desired> assignTarget(const std::vector<Key>& rows, const std::string& target);

}  // namespace mapping
