#include "mapping/Undo.h"

#include <algorithm>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/SqlText.h"
#include "statements/IntermediStatements.h"
#include "journal/Journal.h"
#include "mapping/ChartData.h"
#include "mapping/Plan.h"
#include "mapping/Rows.h"

namespace mapping {

namespace {

using journal::Change;
using journal::Role;
using journal::Rows;
using journal::Step;

std::string heldText(const std::string& target) {
    return target.empty() ? "ora non ha correlazione" : "ora è correlato a " + target;
}

[[noreturn]] void changedMeanwhile(const Step& step, const Change& c, const std::string& now, bool undo) {
    throw UndoRefused(std::string(undo ? "Impossibile annullare" : "Impossibile ripetere") + " \"" +
                      journal::describe(step) + "\": " + (c.rows == Rows::Intermediary ? "l'intermediario " : "il conto ") +
                      c.account + " in " + signName(c.sign) + " è stato cambiato da un'altra sessione (" +
                      heldText(now) + "). Nulla è stato scritto.");
}

// An intermediary's key from its history text "owner/TIPOCF/intermediary".
intermedi::IntermediKey intermediaryKey(const Change& c, const Scope& scope) {
    intermedi::IntermediKey key;
    key.cons = scope.kind == CorrelationKind::CONS;
    key.reclChart = scope.reclChart;
    key.sign = c.sign;
    const auto first = c.account.find('/'), second = c.account.find('/', first == std::string::npos ? 0 : first + 1);
    if (first == std::string::npos || second == std::string::npos)
        throw UndoRefused("Chiave dell'intermediario non valida nello storico: " + c.account);
    key.owner = c.account.substr(0, first);
    key.tipoCf = std::stoi(c.account.substr(first + 1, second - first - 1));
    key.intermediary = std::stoi(c.account.substr(second + 1));
    if (!detail::isCode(key.owner) || !detail::isCode(key.reclChart))
        throw UndoRefused("Chiave dell'intermediario non valida nello storico: " + c.account);
    return key;
}

// The accounts an intermediary's key holds now.
std::vector<std::string> intermediaryTargets(db::Connection& conn, const intermedi::IntermediKey& k) {
    const bool cons = k.cons;
    const std::string sql =
        std::string("SELECT ") + (cons ? "CGB4_CONTO_PC03" : "CG93_CONTO_PC03") + " FROM " +
        (cons ? "CGB4_CORRINTERMEDICONS WHERE CGB4_CODICE_CGC0 = " : "CG93_CORRINTERMEDIRICL WHERE CG93_DITTA_CG18 = ") +
        k.owner + (cons ? " AND CGB4_TIPOCF_CG40 = " : " AND CG93_TIPOCF_CG40 = ") + std::to_string(k.tipoCf) +
        (cons ? " AND CGB4_INTERMEDIO_CG40 = " : " AND CG93_INTERMEDIO_CG40 = ") + std::to_string(k.intermediary) +
        (cons ? " AND CGB4_CODICE_PC01 = " : " AND CG93_CODICE_PC01 = ") + k.reclChart +
        (cons ? " AND CGB4_INDSEGNO = " : " AND CG93_INDSEGNO = ") + std::to_string(k.sign);
    std::vector<std::string> out;
    for (auto& row : detail::selectRows(conn, sql))
        if (std::string t = detail::textOf(row[0]); !t.empty()) out.push_back(t);
    return out;
}

bool reclAccountExists(db::Connection& conn, const std::string& chart, const std::string& account) {
    return !detail::selectRows(conn, "SELECT 1 FROM PC03_ANAGPDC WHERE PC03_CODICE_PC01 = " + chart +
                                         " AND PC03_CONTO = " + db::sqlQuoted(account))
                .empty();
}

// Moves the step's rows from `from` to `to` (before -> after for a redo, after -> before for
// an undo), recording the write as `role` of the step.
void rewrite(db::Connection& conn, const Scope& scope, const Step& step, Role role) {
    const bool undo = role == Role::Undo;
    auto from = [undo](const Change& c) -> const std::string& { return undo ? c.after : c.before; };
    auto to = [undo](const Change& c) -> const std::string& { return undo ? c.before : c.after; };

    std::vector<Desired> desired;
    std::vector<std::pair<intermedi::IntermediKey, const Change*>> intermediaries;
    for (const Change& c : step.changes) {
        if (c.rows == Rows::Intermediary)
            intermediaries.emplace_back(intermediaryKey(c, scope), &c);
        else
            desired.push_back(Desired{0, Key{c.account, c.sign}, to(c), to(c).empty(), {}});
    }

    // The program writes the two tables in separate steps.
    if (!desired.empty() && !intermediaries.empty())
        throw UndoRefused("Il passo \"" + journal::describe(step) + "\" non si può ripercorrere.");

    // Every row is checked before anything is written.
    std::optional<ChartData> data;
    if (!desired.empty()) {
        data = ChartData::load(conn, scope);
        for (const Change& c : step.changes)
            if (c.rows == Rows::Correlation)
                if (const std::string& now = data->storedTarget(Key{c.account, c.sign}); now != from(c))
                    changedMeanwhile(step, c, now, undo);
    }
    for (const auto& [key, c] : intermediaries) {
        const auto now = intermediaryTargets(conn, key);
        const bool holds = from(*c).empty() ? now.empty() : std::find(now.begin(), now.end(), from(*c)) != now.end();
        if (!holds) changedMeanwhile(step, *c, now.empty() ? "" : now.front(), undo);
        if (!to(*c).empty() && !reclAccountExists(conn, scope.reclChart, to(*c)))
            throw UndoRefused("Impossibile " + std::string(undo ? "annullare" : "ripetere") + " \"" +
                              journal::describe(step) + "\": il conto " + to(*c) + " non esiste più nel piano " +
                              scope.reclChart + ". Nulla è stato scritto.");
    }

    Step again;
    again.source = undo ? journal::kUndoSource : journal::kRedoSource;
    again.scope = step.scope;
    if (!desired.empty()) {
        Plan plan = makePlan(*data, desired);
        for (const auto& row : plan.rows)
            if (row.status == RowStatus::Refused)
                throw UndoRefused("Impossibile " + std::string(undo ? "annullare" : "ripetere") + " \"" +
                                  journal::describe(step) + "\": il conto " + row.key.account + " in " +
                                  signName(row.key.sign) + " non si può correlare (" + row.reason +
                                  "). Nulla è stato scritto.");
        plan.source = again.source;
        plan.role = role;
        plan.refersTo = step.id;
        applyPlan(conn, plan);
        return;
    }
    for (const auto& [key, c] : intermediaries) {
        const std::string& target = to(*c);
        const std::string statement = target.empty()       ? intermedi::deleteIntermediStatement(key, from(*c))
                                      : from(*c).empty()   ? intermedi::conditionalInsertIntermediStatement(key, target)
                                                           : intermedi::updateIntermediStatement(key, target, from(*c));
        conn.Execute(statement, nullptr, static_cast<int>(db::ado::adCmdText) | static_cast<int>(db::ado::adExecuteNoRecords));
        again.changes.push_back(Change{Rows::Intermediary, c->account, c->sign, from(*c), target});
    }
    journal::session().record(conn, std::move(again), role, step.id);
}

std::string stepText(const char* verb, const std::optional<Step>& step) {
    return step ? std::string(verb) + ": " + journal::describe(*step) : std::string();
}

}  // namespace

std::optional<journal::Step> undoLast(db::Connection& conn, const Scope& scope) {
    auto step = journal::session().nextUndo(journalScope(scope));
    if (step) rewrite(conn, scope, *step, Role::Undo);
    return step;
}

std::optional<journal::Step> redoLast(db::Connection& conn, const Scope& scope) {
    auto step = journal::session().nextRedo(journalScope(scope));
    if (step) rewrite(conn, scope, *step, Role::Redo);
    return step;
}

int undoAll(db::Connection& conn, const Scope& scope) {
    int done = 0;
    for (const Step& step : journal::session().undoable(journalScope(scope))) {
        try {
            rewrite(conn, scope, step, Role::Undo);
        } catch (const std::exception& e) {
            if (done == 0) throw;
            throw UndoRefused(std::string(e.what()) + "\n" +
                              (done == 1 ? std::string("1 modifica precedente è stata annullata.")
                                         : std::to_string(done) + " modifiche precedenti sono state annullate."));
        }
        ++done;
    }
    return done;
}

std::string undoText(const Scope& scope) { return stepText("Annulla", journal::session().nextUndo(journalScope(scope))); }
std::string redoText(const Scope& scope) { return stepText("Ripeti", journal::session().nextRedo(journalScope(scope))); }

}  // namespace mapping
