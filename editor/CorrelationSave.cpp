#include "editor/CorrelationSave.h"

#include "db/Connection.h"
#include "db/Trace.h"
#include "text/Text.h"
#include "journal/Journal.h"

namespace editor {

namespace {

void recordHistory(db::Connection& connection, CorrelationKind kind, const CorrelationKey& key,
                   const std::string& before, const std::string& after, std::string_view source) {
    try {
        journal::Step step;
        step.source = std::string(source);
        step.scope = journal::Scope{static_cast<int>(kind), text::trimSpaces(key.ledgerCode), text::trimSpaces(key.reclChart)};
        step.changes.push_back(journal::Change{journal::Rows::Correlation, text::trimSpaces(key.account), key.sign,
                                               text::trimSpaces(before), text::trimSpaces(after)});
        journal::session().record(connection, std::move(step));
    } catch (const std::exception& e) {
        // The row is stored; only its place in the history is lost.
        db::publishSwallowed(db::SwallowedError{"saveCorrelation", e.what()});
    }
}

}  // namespace

CorrelationKey correlationKey(CorrelationKind kind, const std::string& ledgerChart, const std::string& structure,
                              const std::string& reclChart, const std::string& account, int sign) {
    CorrelationKey key;
    key.ledgerCode = kind == CorrelationKind::CONS ? structure : ledgerChart;
    key.reclChart = reclChart;
    key.account = account;
    key.sign = sign;
    return key;
}

SaveOutcome saveCorrelation(db::Connection& connection, CorrelationKind kind, const CorrelationKey& key,
                            const std::string& newAccount, const std::string& previousAccount,
                            std::string_view source) {
    SaveOutcome outcome;
    if (newAccount.empty() && previousAccount.empty()) return outcome;
    outcome.operation = chooseSaveOperation(newAccount, previousAccount);
    const db::ExecuteResult run =
        connection.TryExecute(saveCorrelationStatement(kind, key, newAccount, previousAccount));
    connection.Errors().Clear();
    outcome.refused = !run.ok;
    outcome.errors = run.errors;
    outcome.rowsWritten = run.recordsAffected;
    if (run.ok && run.recordsAffected > 0 && previousAccount != newAccount)
        recordHistory(connection, kind, key, previousAccount, newAccount, source);
    return outcome;
}

void traceSwallowedErrors(const std::string& procedure, const std::vector<db::ErrorItem>& errors) {
    for (const auto& e : errors) db::publishSwallowed(db::SwallowedError{procedure, e.description});
}

}  // namespace editor
