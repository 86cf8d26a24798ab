#pragma once
// Undo and redo of the session's correlation writes, one step at a time per scope. The
// inverse goes through the same checks and transaction as an import (makePlan, applyPlan)
// and is itself a step of the history; a row someone else changed since the step stops the
// whole step before anything is written.

#include <optional>
#include <stdexcept>
#include <string>

#include "journal/Change.h"
#include "mapping/Scope.h"

namespace db {
class Connection;
}

namespace mapping {

// The step cannot be reverted (or reapplied) now; nothing was written. The text is for the user.
class UndoRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reverts the scope's latest step on `conn`; the step reverted, nothing when there was none.
// UndoRefused, ScopeRefused, PlanOutdated or db::Error leave the tables as they were.
std::optional<journal::Step> undoLast(db::Connection& conn, const Scope& scope);
// Reapplies the scope's latest reverted step, as undoLast.
std::optional<journal::Step> redoLast(db::Connection& conn, const Scope& scope);
// Reverts every step of the scope, newest first; the steps reverted. A refusal stops it at
// that step: UndoRefused saying how many were reverted before.
int undoAll(db::Connection& conn, const Scope& scope);

// "Annulla: importazione, 12 correlazioni"; "" when nothing.
std::string undoText(const Scope& scope);
std::string redoText(const Scope& scope);

}  // namespace mapping
