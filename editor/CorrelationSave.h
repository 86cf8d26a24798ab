#pragma once
// Storing one correlation (an account and sign of the kind's correlation table) as the
// editors save a row: the single DELETE, UPDATE or INSERT the statement builder picks, run
// without raising, and the history step of a write that changed the account. The window that
// saves gathers the inputs and applies the outcome to its row and fields.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Error.h"
#include "editor/CorrelationKind.h"
#include "statements/CorrelationStatements.h"

namespace db {
class Connection;
}

namespace editor {

struct SaveOutcome {
    std::optional<SaveOperation> operation;  // the statement run; none: nothing to store
    long rowsWritten = 0;
    bool refused = false;                    // the database refused the statement
    std::vector<db::ErrorItem> errors;       // its refusal, as the connection's Errors held it
};

// The key of a row's correlation as the editor's header names it: the intercompany structure
// in CONS, the ledger chart otherwise.
CorrelationKey correlationKey(CorrelationKind kind, const std::string& ledgerChart, const std::string& structure,
                              const std::string& reclChart, const std::string& account, int sign);

// Stores `newAccount` ("" removes the correlation) for `key`, where `previousAccount` is what
// the database holds ("" none); both empty store nothing. A write that changed the account is
// recorded in the session's history with `source` ("editor", "intermediari"). The connection's
// Errors are empty afterwards: a refusal travels in the outcome.
SaveOutcome saveCorrelation(db::Connection& connection, CorrelationKind kind, const CorrelationKey& key,
                            const std::string& newAccount, const std::string& previousAccount,
                            std::string_view source);

// Puts a refusal the user is told of only by a message number into the trace, with the
// procedure that saved.
void traceSwallowedErrors(const std::string& procedure, const std::vector<db::ErrorItem>& errors);

}  // namespace editor
