#pragma once
// The trial balances as the database keeps them (table BRV_SALDI), created on first write.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace balances {

// Whose balance: a company's ledger chart at a date ("AAAA-MM-GG").
struct BalanceTarget {
    int company = 0;
    int chart = 0;
    std::string date;
};

struct StoredAmounts {
    long long debit = 0;   // cents
    long long credit = 0;
    bool operator==(const StoredAmounts&) const = default;
};
using StoredBalance = std::map<std::string, StoredAmounts>;   // by account as CG24 stores it

// True when the table exists (a SELECT on it works).
bool balanceTableExists(db::Connection& conn);
// Creates the table unless it exists; db::Error when the database refuses.
void ensureBalanceTable(db::Connection& conn);

// The balance stored for the target; empty when none (or no table yet).
StoredBalance readStoredBalance(db::Connection& conn, const BalanceTarget& target);

struct KeptBalance {
    int chart = 0;
    std::string date;
    long rows = 0;
    long long debit = 0;   // cents
    long long credit = 0;
};
// The dates kept for a company (of one chart, or all), by chart and date.
std::vector<KeptBalance> listBalances(db::Connection& conn, int company, std::optional<int> chart = std::nullopt);

// A decimal(18,2) read back as cents.
long long centsOf(double value);

}  // namespace balances
