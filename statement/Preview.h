#pragma once
// "Anteprima bilancio riclassificato": the reclassified chart with an amount per account, as
// the correlations of a scope make it from the trial balance of one date.
//
// Each ledger account's balance goes through the correlation of the sign it has at that
// date: a debit balance (Dare > Avere) through its Dare row, a credit balance through its
// Avere row; the amount keeps its sign (credit balances are negative). A line's total is its
// own amount plus its children's totals. Balances whose sign row has no correlation go to the
// "Non correlato" line, the last one; a correlation to a code the chart does not have gets a
// line of its own before it.
//
// A change of one correlation moves one balance along two paths of totals (setTarget), so
// the preview can follow every save of an editor with 100,000 accounts.

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "mapping/Scope.h"
#include "statement/Amount.h"
#include "statement/ReclChart.h"
#include "statement/TrialBalances.h"

namespace statement {

inline constexpr const char* kUnmappedCaption = "Non correlato";
inline constexpr const char* kUnknownTargetCaption = "(conto non presente nel piano di riclassificazione)";

struct PreviewLine {
    std::string code;          // "" for "Non correlato"
    std::string description;
    int parent = -1;
    int level = 1;
    bool analytic = false;
    bool inChart = true;       // false: a correlated code the chart lacks, or "Non correlato"
    Cents own = 0;             // balances correlated to this code itself
    Cents total = 0;           // own plus the children's totals
    long accounts = 0;         // ledger accounts behind `own`
};

// A ledger account behind a line at the chosen date.
struct Contribution {
    std::string account;
    int sign = 1;              // the sign of its balance, whose row took it there
    Cents amount = 0;
    std::string target;        // the code it is correlated to ("" under "Non correlato")
};

// An account whose balance at a kept date has a sign whose row is not correlated.
struct SignWarning {
    std::string account;
    std::string date;
    int sign = 1;
    Cents amount = 0;
};

// One stored correlation of the scope.
struct Correlation {
    mapping::Key key;
    std::string target;
};

class Preview {
public:
    Preview() = default;
    // `date` must be one of the balances' dates (the latest when not given or unknown).
    Preview(ReclChart chart, TrialBalances balances, const std::vector<Correlation>& correlations,
            const std::optional<std::string>& date = std::nullopt);
    // The correlations as ChartData holds them.
    Preview(ReclChart chart, TrialBalances balances, const std::map<mapping::Key, std::string>& correlations,
            const std::optional<std::string>& date = std::nullopt);

    const std::vector<PreviewLine>& lines() const { return lines_; }
    int unmappedLine() const { return static_cast<int>(lines_.size()) - 1; }
    // The line of a code, -1 when none.
    int lineOf(const std::string& code) const;
    const TrialBalances& balances() const { return balances_; }
    const std::vector<std::string>& dates() const { return balances_.dates(); }
    // The date shown ("" when no balances are kept).
    std::string date() const;
    // Computes the amounts at another kept date; false (nothing changed) for a date not kept.
    bool setDate(const std::string& date);

    // One correlation of the scope now has `target` ("" for none): the balance it carries
    // moves from the old line's path to the new one's. Keys of accounts without balances
    // change nothing.
    void setTarget(const mapping::Key& key, const std::string& target);
    // The target the preview holds for a key ("" for none).
    std::string target(const mapping::Key& key) const;

    // The accounts behind a line and the lines it totals, largest amount first.
    std::vector<Contribution> drillDown(int line) const;
    // Every account and date whose sign row is not correlated, by account then date.
    std::vector<SignWarning> warnings() const;
    long warningCount() const { return warningCount_; }

private:
    struct Account {
        int target[2] = {-1, -1};   // line of the Dare and Avere correlations, -1 none
    };
    int lineForTarget(const std::string& code);
    int lineOfBalance(const Account& account, Cents balance) const;
    void add(int line, Cents amount, long accounts);
    void recompute();

    std::vector<PreviewLine> lines_;
    std::unordered_map<std::string, int> lineIndex_;
    TrialBalances balances_;
    std::vector<Account> accounts_;   // as balances_.accounts()
    std::unordered_map<std::string, std::size_t> accountIndex_;
    std::size_t date_ = 0;
    long warningCount_ = 0;
};

inline int signOfBalance(Cents balance) { return balance > 0 ? 1 : balance < 0 ? 2 : 0; }

}  // namespace statement
