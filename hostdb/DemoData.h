#pragma once
// Demonstration data for a new Brevanto database: an Italian standard ledger chart (80) and a
// company chart (10), the reclassification, analytic, Hyperion and intercompany charts, the
// intermediaries of two companies, an intercompany structure whose company lives in a second
// database, a CEE scheme correlated with both ledger charts, some correlations of every kind,
// so that a first look at the editor shows filled rows, and two trial balances of chart 10.
//
// Every row is written as T-SQL text (INSERT ... VALUES batches) through the database client,
// with each value quoted by db::sqlQuoted.

#include <cstddef>
#include <string>

namespace db {
class Connection;
}

namespace hostdb {

struct DemoOptions {
    // Leaf accounts added to the company chart 10 ("Cliente 000001" ...), for volume tests; each
    // is correlated on both signs with an item of the CEE scheme 82, the items taken in turn.
    long generatedAccounts = 0;
    // Rows per INSERT ... VALUES statement.
    std::size_t batchRows = 500;
};

// What fillDemo wrote, for the caller's summary.
struct DemoSummary {
    long hostRows = 0;
    long groupRows = 0;
    long ledgerAccounts10 = 0;   // accounts of chart 10, generated ones included
    bool usedTransaction = false;
};

// Codes used by the demo, for tests and documentation.
inline constexpr int kDemoCompany = 1;              // "Rossi S.p.A.", chart 10, host database
inline constexpr int kDemoGroupCompany = 2;         // "Gruppo Rossi Holding S.r.l.", GRUPPO.db
inline constexpr int kDemoStandardChart = 80;
inline constexpr int kDemoCompanyChart = 10;
inline constexpr const char* kDemoGroupDatabase = "GRUPPO";
// The trial balances of chart 10 (table BRV_SALDI) are at these dates: the bank is in debit at
// the first and in credit at the second, the customer account in credit at the second.
inline constexpr const char* kDemoBalanceDates[] = {"2025-12-31", "2026-06-30"};
inline constexpr const char* kDemoOverdrawnBank = "1801010002";
inline constexpr const char* kDemoCustomerInCredit = "1401010002";

// Fills the host database (schema already created) and the intercompany database GRUPPO
// (schema already created). Throws db::Error when the database refuses a statement.
DemoSummary fillDemo(db::Connection& host, db::Connection& group, const DemoOptions& options = {});

// Only the generated accounts of chart 10 (used by fillDemo; exposed for benchmarks).
long insertGeneratedAccounts(db::Connection& host, long count, std::size_t batchRows = 500);
// Their correlations with the CEE scheme 82 (rows of CG20_COLLPDCRICL).
long insertGeneratedCeeLinks(db::Connection& host, long count, std::size_t batchRows = 500);

}  // namespace hostdb
