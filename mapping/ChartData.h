#pragma once
// Everything the mapping operations need to know about one scope, read once: the accounts
// the editor lists for it (in its order, with their type), the accounts of the
// reclassification chart (level and type), the customers' and suppliers' masters and the
// correlations stored for the scope.
//
// Loading only reads: the accounts are the ones the editor's working table lists, read
// without building it, so it may run beside an open editor.

#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "mapping/Scope.h"

namespace db {
class Connection;
}

namespace mapping {

// A scope the editor's header would refuse (unknown chart, wrong chart type, …); the text is
// for the user.
class ScopeRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LedgerAccount {
    std::string code;          // as stored (CONTOPDC)
    std::string shownCode;     // through the chart's mask
    std::string description;
    int type = -1;             // 0 memorandum, 1 balance sheet, 2 profit and loss, 3 other; -1 unknown
    int customerSupplier = -1; // TIPOCF: 0 customers' master, 1 suppliers' master, -1 neither
};

struct ReclAccount {
    std::string description;
    bool analytic = false;
    int type = -1;
};

class ChartData {
public:
    // Reads the scope on `conn`. ScopeRefused for a scope the editor refuses; db::Error when
    // the database fails. A chart without accounts gives no accounts (no refusal).
    static ChartData load(db::Connection& conn, const Scope& scope);

    Scope scope;   // CONS: chart filled in from the structure
    std::string chartDescription, reclChartDescription;
    std::string mask;              // the ledger chart's "@" mask
    std::string database;          // CONS: the intercompany database ("" = the host database)
    std::string customersMaster, suppliersMaster;
    std::vector<LedgerAccount> accounts;   // in the editor's order
    std::map<Key, std::string> stored;     // every correlation stored for the scope (blanks trimmed)

    const LedgerAccount* account(const std::string& code) const;
    const ReclAccount* reclAccount(const std::string& code) const;
    // The stored target of a key, "" for none.
    const std::string& storedTarget(const Key& key) const;
    const std::unordered_map<std::string, ReclAccount>& reclAccounts() const { return recl_; }
    // For tests and tools that build the data themselves.
    void setAccounts(std::vector<LedgerAccount> accounts);
    void setReclAccounts(std::unordered_map<std::string, ReclAccount> accounts) { recl_ = std::move(accounts); }

private:
    std::unordered_map<std::string, std::size_t> index_;
    std::unordered_map<std::string, ReclAccount> recl_;
};

// The correlations stored for a scope's key columns, read from the host database or, with
// `database`, from that database on the same server (another company's). Blanks trimmed.
std::map<Key, std::string> readStoredCorrelations(db::Connection& conn, const Scope& scope,
                                                  const std::string& database = "");

}  // namespace mapping
