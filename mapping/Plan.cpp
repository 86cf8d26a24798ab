#include "mapping/Plan.h"

#include <map>

#include "db/Connection.h"
#include "db/Transaction.h"
#include "statements/CorrelationStatements.h"
#include "statements/SqlValues.h"
#include "mapping/Rows.h"

namespace mapping {

namespace {

constexpr const char* kStatusNames[kRowStatusCount] = {"Aggiunta", "Modificata", "Eliminata", "Invariata", "Rifiutata"};

// "3 aggiunte" / "1 aggiunta".
std::string counted(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string accountAndSign(const Key& key) {
    return "il conto " + key.account + " in " + signName(key.sign);
}

}  // namespace

journal::Scope journalScope(const Scope& scope) {
    return journal::Scope{static_cast<int>(scope.kind), scope.ledgerCode(), scope.reclChart};
}

const char* statusName(RowStatus status) {
    const int s = static_cast<int>(status);
    return s >= 0 && s < kRowStatusCount ? kStatusNames[s] : "";
}

std::string Plan::summary() const {
    return counted(count(RowStatus::Added), "aggiunta", "aggiunte") + ", " +
           counted(count(RowStatus::Changed), "modificata", "modificate") + ", " +
           counted(count(RowStatus::Removed), "eliminata", "eliminate") + ", " +
           counted(count(RowStatus::Unchanged), "invariata", "invariate") + ", " +
           counted(count(RowStatus::Refused), "rifiutata", "rifiutate");
}

Plan makePlan(const ChartData& data, const std::vector<Desired>& desired, const RuleOptions& options) {
    // Rows naming one account and sign more than once say two things: none of them is taken.
    std::map<Key, std::vector<int>> linesOfKey;
    for (const auto& d : desired)
        if (d.refusal.empty()) linesOfKey[d.key].push_back(d.line);

    // What every key will hold once the plan is applied, for the masters' rule.
    std::map<Key, std::string> after = data.stored;
    for (const auto& d : desired) {
        if (!d.refusal.empty() || linesOfKey[d.key].size() > 1) continue;
        if (d.remove)
            after.erase(d.key);
        else if (!d.target.empty())
            after[d.key] = d.target;
    }
    const TargetAfter targetAfter = [&after](const Key& key) {
        auto it = after.find(key);
        return it == after.end() ? std::string() : it->second;
    };

    Plan plan;
    plan.scope = data.scope;
    plan.rows.reserve(desired.size());
    for (const auto& d : desired) {
        PlanRow row;
        row.line = d.line;
        row.key = d.key;
        const LedgerAccount* account = data.account(d.key.account);
        if (account) {
            row.shownAccount = account->shownCode;
            row.accountDescription = account->description;
        }
        row.before = data.storedTarget(d.key);
        row.after = row.before;
        row.wanted = d.remove ? std::string() : d.target;

        auto refuse = [&](std::string reason, int message = 0) {
            row.status = RowStatus::Refused;
            row.after = row.before;
            row.reason = std::move(reason);
            row.message = message;
        };
        const auto& lines = d.refusal.empty() ? linesOfKey[d.key] : std::vector<int>{};
        if (!d.refusal.empty()) {
            refuse(d.refusal);
        } else if (d.key.sign != 1 && d.key.sign != 2) {
            refuse("Segno non valido: indicare Dare o Avere.");
        } else if (!account) {
            refuse("Il conto " + d.key.account + " non è tra i conti da correlare del piano " + data.scope.chart + ".");
        } else if (lines.size() > 1) {
            std::string list;
            for (int l : lines) list += (list.empty() ? "" : ", ") + std::to_string(l);
            refuse("Il conto " + d.key.account + " compare più volte in " + signName(d.key.sign) +
                   (d.line > 0 ? " (righe " + list + ")" : "") + ": nessuna delle righe viene applicata.");
        } else if (d.remove) {
            if (row.before.empty()) {
                row.status = RowStatus::Unchanged;
                row.reason = "Nessuna correlazione da eliminare.";
            } else {
                row.status = RowStatus::Removed;
                row.after.clear();
            }
        } else if (d.target.empty() || d.target == row.before) {
            row.status = RowStatus::Unchanged;
        } else if (auto refusal = checkTarget(data, d.key, d.target, targetAfter, options)) {
            refuse(refusal->text, refusal->message);
        } else {
            row.status = row.before.empty() ? RowStatus::Added : RowStatus::Changed;
            row.after = d.target;
        }
        if (const ReclAccount* recl = row.after.empty() ? nullptr : data.reclAccount(row.after))
            row.afterDescription = recl->description;
        ++plan.counts[static_cast<int>(row.status)];
        plan.rows.push_back(std::move(row));
    }
    return plan;
}

namespace {

[[noreturn]] void outdated(const Key& key) {
    throw PlanOutdated("Le correlazioni sono cambiate dopo l'anteprima (" + accountAndSign(key) +
                       "): nulla è stato scritto. Ripetere l'operazione per vedere lo stato attuale.");
}

bool isConstraintViolation(const db::Error& e) {
    for (const auto& item : e.items())
        if (item.sqlState.rfind("23", 0) == 0) return true;   // integrity constraint, any engine
    return false;
}

// Whether the key holds a correlation now (in the transaction).
bool isStored(db::Connection& conn, const Scope& scope, const Key& key) {
    const auto& t = editor::correlationTable(scope.kind);
    try {
        return !detail::selectRows(conn, std::string("SELECT 1 FROM ") + t.table + " WHERE " + t.ledgerColumn + " = " +
                                             scope.ledgerCode() + " AND " + t.accountColumn + " = '" +
                                             editor::textValue(key.account) + "' AND " + t.chartColumn + " = " +
                                             scope.reclChart + " AND " + t.signColumn + " = " +
                                             std::to_string(key.sign))
                    .empty();
    } catch (const db::Error&) {
        return false;
    }
}

db::Variant code(const std::string& text) { return db::Variant(static_cast<long long>(std::stoll(text))); }

}  // namespace

long applyPlan(db::Connection& conn, const Plan& plan) {
    if (plan.writes() == 0) return 0;
    const Scope& s = plan.scope;
    if (!detail::isCode(s.ledgerCode()) || !detail::isCode(s.reclChart))
        throw ScopeRefused("Codici non validi per " + describeScope(s) + ".");
    const auto& t = editor::correlationTable(s.kind);
    const db::Variant ledger = code(s.ledgerCode()), chart = code(s.reclChart);

    journal::session().prepare(conn);
    journal::Step step;
    step.source = plan.source;
    step.scope = journalScope(s);
    for (const auto& row : plan.rows)
        if (row.status == RowStatus::Added || row.status == RowStatus::Changed || row.status == RowStatus::Removed)
            step.changes.push_back(journal::Change{journal::Rows::Correlation, row.key.account, row.key.sign, row.before, row.after});

    db::inTransaction(conn, [&] {
        // A changed or removed row goes out by naming what it held, as the editor's delete
        // does: a row someone changed meanwhile is not found.
        if (plan.count(RowStatus::Changed) + plan.count(RowStatus::Removed) > 0) {
            auto remove = conn.Prepare(std::string("DELETE FROM ") + t.table + " WHERE " + t.targetColumn +
                                       " = ? AND " + t.ledgerColumn + " = ? AND " + t.accountColumn + " = ? AND " +
                                       t.chartColumn + " = ? AND " + t.signColumn + " = ?");
            for (const auto& row : plan.rows)
                if (row.status == RowStatus::Changed || row.status == RowStatus::Removed)
                    if (remove->Execute({row.before, ledger, row.key.account, chart, row.key.sign}) != 1)
                        outdated(row.key);
        }
        // A row someone added meanwhile breaks the key.
        if (plan.count(RowStatus::Changed) + plan.count(RowStatus::Added) > 0) {
            auto insert = conn.Prepare(std::string("INSERT INTO ") + t.table + " (" + t.ledgerColumn + ", " +
                                       t.accountColumn + ", " + t.chartColumn + ", " + t.targetColumn + ", " +
                                       t.signColumn + ") VALUES (?, ?, ?, ?, ?)");
            for (const auto& row : plan.rows) {
                if (row.status != RowStatus::Changed && row.status != RowStatus::Added) continue;
                try {
                    insert->Execute({ledger, row.key.account, chart, row.after, row.key.sign});
                } catch (const db::Error& e) {
                    if (isConstraintViolation(e) && isStored(conn, s, row.key)) outdated(row.key);
                    throw;
                }
            }
        }
        step = journal::session().write(conn, std::move(step), plan.refersTo);
    });
    journal::session().remember(step, plan.role);
    return plan.writes();
}

}  // namespace mapping
