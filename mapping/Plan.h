#pragma once
// A set of wanted correlations (from a file or a bulk fill) compared with what is stored:
// every row is added, changed, removed, unchanged or refused with its reason, by the rules of
// typing. Applying writes the added, changed and removed rows in one transaction.

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "journal/Journal.h"
#include "mapping/ChartData.h"
#include "mapping/Rules.h"

namespace db {
class Connection;
}

namespace mapping {

enum class RowStatus { Added = 0, Changed, Removed, Unchanged, Refused };
inline constexpr int kRowStatusCount = 5;
// "Aggiunta", "Modificata", "Eliminata", "Invariata", "Rifiutata".
const char* statusName(RowStatus status);

// One wanted correlation.
struct Desired {
    int line = 0;            // the file's row (as a spreadsheet numbers it), 0 when not from a file
    Key key;
    std::string target;      // the account wanted; "" leaves the stored correlation as it is
    bool remove = false;     // remove the stored correlation (target ignored)
    std::string refusal;     // set when the source already refuses the row (a bad cell, a duplicate…)
};

struct PlanRow {
    int line = 0;
    Key key;
    std::string shownAccount;        // through the chart's mask ("" for an account not in the chart)
    std::string accountDescription;
    std::string before;              // stored target ("" none)
    std::string after;               // target once applied
    std::string wanted;              // what the source asked for (a refused row keeps `before`)
    std::string afterDescription;
    RowStatus status = RowStatus::Unchanged;
    std::string reason;              // why it is refused (or, for some unchanged rows, why nothing changes)
    int message = 0;                 // the editor's message of a refusal by the typing rules
};

struct Plan {
    Scope scope;
    // How the history records the write: the source word, and for an undo or redo the step
    // it reverts or reapplies.
    std::string source = "riempimento";
    journal::Role role = journal::Role::New;
    long refersTo = 0;
    std::vector<PlanRow> rows;   // in the order of the wanted rows
    std::array<long, kRowStatusCount> counts{};

    long count(RowStatus s) const { return counts[static_cast<int>(s)]; }
    long writes() const { return count(RowStatus::Added) + count(RowStatus::Changed) + count(RowStatus::Removed); }
    // "3 aggiunte, 1 modificata, 0 eliminate, 200 invariate, 2 rifiutate".
    std::string summary() const;
};

// The history's scope of a mapping scope.
journal::Scope journalScope(const Scope& scope);

// Compares the wanted rows with data.stored and checks every row that would change.
Plan makePlan(const ChartData& data, const std::vector<Desired>& desired, const RuleOptions& options = {});

// The correlations changed since the plan was made (by another user or window): nothing was
// written. The text is for the user.
class PlanOutdated : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the plan's added, changed and removed rows in one transaction on `conn`, after
// checking inside it that every row still holds what the plan found, and records them as one
// step of the session's history (in the same transaction). All or nothing: PlanOutdated or
// db::Error leave the tables as they were. Returns the rows written.
long applyPlan(db::Connection& conn, const Plan& plan);

}  // namespace mapping
