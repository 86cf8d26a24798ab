#pragma once
// Importing a trial balance: the file's rows checked against the ledger chart and compared
// with the balance stored for the same company, chart and date, which the import replaces
// (accounts missing from the file are removed). Applying writes the differences in one
// transaction, and only when no row is refused: a balance written in part would be wrong.

#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "balances/BalanceStore.h"
#include "mapping/Plan.h"
#include "mapping/SheetFile.h"

namespace db {
class Connection;
}

namespace balances {

using mapping::RowStatus;

struct BalanceRow {
    int line = 0;                // the file's row; 0 for a removed account
    std::string account;         // as CG24 stores it (as the file wrote it when refused)
    std::string description;     // from the chart
    StoredAmounts before;        // what is stored (zero when nothing)
    StoredAmounts after;         // what the file gives
    RowStatus status = RowStatus::Unchanged;
    std::string reason;          // why it is refused
};

struct BalancePreview {
    BalanceTarget target;
    std::filesystem::path file;
    std::vector<std::string> fileProblems;   // the file cannot be used at all
    std::vector<BalanceRow> rows;            // the file's rows in order, then the removed accounts
    std::array<long, mapping::kRowStatusCount> counts{};
    long long totalDebit = 0, totalCredit = 0;   // of the accepted rows
    std::vector<std::string> notes;          // what the user should know before applying (Italian)

    long count(RowStatus s) const { return counts[static_cast<int>(s)]; }
    long writes() const { return count(RowStatus::Added) + count(RowStatus::Changed) + count(RowStatus::Removed); }
    // Nothing is written while the file or any row is refused.
    bool applicable() const { return fileProblems.empty() && count(RowStatus::Refused) == 0 && writes() > 0; }
    // "3 aggiunte, 1 modificata, …".
    std::string summary() const;
};

// "Ditta 1, piano dei conti 10, bilancio al 31/12/2025".
std::string describeTarget(const BalanceTarget& target);

// Reads the file and compares it with what is stored. Problems of the target (a date that is
// not a date, a chart without accounts) are file problems too. db::Error when the database fails.
BalancePreview previewBalanceImport(db::Connection& conn, const std::filesystem::path& file, const BalanceTarget& target,
                                    const mapping::detail::ReadLimits& limits = {});

// The stored balance changed after the preview was made: nothing was written.
class BalanceOutdated : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the preview's added, changed and removed rows in one transaction (creating the table
// on first use), after checking inside it that the stored balance is still the one previewed.
// std::logic_error for a preview that is not applicable; BalanceOutdated or db::Error leave the
// table as it was. Returns the rows written.
long applyBalanceImport(db::Connection& conn, const BalancePreview& preview);

}  // namespace balances
