#pragma once
// The trial balances kept for a company and ledger chart (table BRV_SALDI): the dates kept and
// each account's balance (Dare total minus Avere total) at each of them. A database without
// the table simply has none: that is not an error.

#include <optional>
#include <string>
#include <vector>

#include "statement/Amount.h"

namespace db {
class Connection;
}

namespace statement {

inline constexpr const char* kBalancesTable = "BRV_SALDI";

class TrialBalances {
public:
    // Every date kept for `company` and `chart`, or only `date` when given. An unknown code
    // reads nothing. db::Error when the database fails (a missing table does not).
    static TrialBalances read(db::Connection& conn, const std::string& company, const std::string& chart,
                              const std::optional<std::string>& date = std::nullopt);
    // For tests and tools that have the figures already: rows of account, date, balance.
    struct Row {
        std::string account;
        std::string date;
        Cents balance = 0;
    };
    static TrialBalances fromRows(const std::vector<Row>& rows);

    bool tableMissing() const { return tableMissing_; }
    bool empty() const { return dates_.empty(); }
    const std::vector<std::string>& dates() const { return dates_; }   // ascending
    const std::vector<std::string>& accounts() const { return accounts_; }
    // The balance of account `account` (index in accounts()) at date `date` (index in dates()).
    Cents balance(std::size_t account, std::size_t date) const { return amounts_[account * dates_.size() + date]; }

private:
    bool tableMissing_ = false;
    std::vector<std::string> dates_;
    std::vector<std::string> accounts_;
    std::vector<Cents> amounts_;
};

// Whether `text` is a date written AAAA-MM-GG with a real month and day.
bool isIsoDate(const std::string& text);
// "31/12/2025" for "2025-12-31" (the text itself when it is not such a date).
std::string italianDate(const std::string& isoDate);

}  // namespace statement
