#pragma once
// "Verifica correlazioni": how complete and consistent the correlations of one scope are.
// Accounts without a correlation per sign, accounts correlated differently in Dare and in
// Avere (information only: a sign-dependent classification is legitimate), stored
// correlations the typing rules would now refuse, correlations of accounts that left the
// chart, and customers'/suppliers' masters whose intermediaries are only partly correlated.

#include <string>
#include <vector>

#include "mapping/ChartData.h"

namespace db {
class Connection;
}

namespace mapping {

enum class CheckGroup { MissingDebit, MissingCredit, SignsDiffer, InvalidTarget, OrphanCorrelation, PartialIntermediaries };
inline constexpr int kCheckGroupCount = 6;
inline constexpr CheckGroup kCheckGroups[kCheckGroupCount] = {
    CheckGroup::MissingDebit,      CheckGroup::MissingCredit,     CheckGroup::SignsDiffer,
    CheckGroup::InvalidTarget,     CheckGroup::OrphanCorrelation, CheckGroup::PartialIntermediaries,
};

// "Conti senza correlazione in Dare", … (the heading of the group, for the user).
const char* groupTitle(CheckGroup group);
// "senza-dare", "senza-avere", "segni-diversi", "non-valide", "orfane", "intermedi-parziali".
const char* groupId(CheckGroup group);
// A finding of this group is worth knowing, not a problem (only SignsDiffer).
bool isInformation(CheckGroup group);

struct Finding {
    CheckGroup group = CheckGroup::MissingDebit;
    Key key;                    // sign 0: both signs (SignsDiffer)
    std::string shownAccount;   // through the chart's mask
    std::string description;    // the account's ("" for an account no longer in the chart)
    std::string target;         // the stored target ("" for a missing one)
    std::string detail;         // why, for the user (the rule's refusal, "2 intermediari su 3 …")
};

struct CheckReport {
    Scope scope;
    std::vector<Finding> findings;   // by group (kCheckGroups); within one, the editor's order (orphans by code)

    long count(CheckGroup group) const;
    // Anything found outside the information group.
    bool hasProblems() const;
};

// Checks the correlations of data.scope. Reads, on `conn`, the ledger (or analytic) chart's
// account codes when some stored correlation is for an account the editor does not list, and
// in COGE and CONS the intermediaries and their correlations. db::Error when the database
// fails.
CheckReport checkCorrelations(db::Connection& conn, const ChartData& data);

}  // namespace mapping
