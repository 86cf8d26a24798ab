#include "mapping/Plan.h"

#include <map>

#include "db/Connection.h"
#include "editor/CorrelationStatements.h"
#include "editor/SqlValues.h"
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

constexpr const char* kPlanTable = "#BREVANTO_PIANO";
constexpr std::size_t kRowsPerInsert = 500;
constexpr int kNoRecords = static_cast<int>(db::ado::adCmdText) | static_cast<int>(db::ado::adExecuteNoRecords);

bool isWrite(RowStatus s) { return s == RowStatus::Added || s == RowStatus::Changed || s == RowStatus::Removed; }

void dropPlanTable(db::Connection& conn) {
    try {
        conn.Execute(std::string("DROP TABLE ") + kPlanTable);
    } catch (const std::exception&) {
        conn.Errors().Clear();   // there was none
    }
}

// The rows to write go into a session table, from which three statements do the work.
void fillPlanTable(db::Connection& conn, const Plan& plan) {
    dropPlanTable(conn);
    conn.Execute(std::string("SELECT CAST('' AS NVARCHAR(15)) AS P_CONTO, CAST(0 AS TINYINT) AS P_SEGNO, "
                             "CAST('' AS NVARCHAR(15)) AS P_PRIMA, CAST('' AS NVARCHAR(15)) AS P_DOPO INTO ") +
                 kPlanTable + " WHERE 1 = 0");
    std::string sql;
    std::size_t inBatch = 0;
    auto flush = [&] {
        if (inBatch == 0) return;
        conn.Execute(sql, nullptr, kNoRecords);
        inBatch = 0;
    };
    for (const auto& row : plan.rows) {
        if (!isWrite(row.status)) continue;
        if (inBatch == 0)
            sql = std::string("INSERT INTO ") + kPlanTable + " (P_CONTO, P_SEGNO, P_PRIMA, P_DOPO) VALUES ";
        else
            sql += ", ";
        sql += "('" + editor::textValue(row.key.account) + "', " + std::to_string(row.key.sign) + ", '" +
               editor::textValue(row.before) + "', '" + editor::textValue(row.after) + "')";
        if (++inBatch == kRowsPerInsert) flush();
    }
    flush();
}

// Refuses the plan when a row no longer holds what the plan found.
void ensureStillAsPlanned(db::Connection& conn, const Plan& plan) {
    const auto& t = editor::correlationTable(plan.scope.kind);
    const std::string sql = std::string("SELECT TOP 3 P.P_CONTO, P.P_SEGNO FROM ") + kPlanTable + " P LEFT OUTER JOIN " +
                            t.table + " C ON C." + t.ledgerColumn + " = " + plan.scope.ledgerCode() + " AND C." +
                            t.accountColumn + " = P.P_CONTO AND C." + t.chartColumn + " = " + plan.scope.reclChart +
                            " AND C." + t.signColumn + " = P.P_SEGNO WHERE ISNULL(LTRIM(RTRIM(C." + t.targetColumn +
                            ")), '') <> P.P_PRIMA";
    auto changed = detail::selectRows(conn, sql);
    if (changed.empty()) return;
    std::string which;
    for (const auto& r : changed)
        which += (which.empty() ? "" : ", ") + accountAndSign(Key{detail::textOf(r[0]), detail::intOf(r[1], 0)});
    throw PlanOutdated("Le correlazioni sono cambiate dopo l'anteprima (" + which +
                       "): nulla è stato scritto. Ripetere l'operazione per vedere lo stato attuale.");
}

long execute(db::Connection& conn, const std::string& sql) {
    long affected = 0;
    conn.Execute(sql, &affected, kNoRecords);
    return affected;
}

}  // namespace

long applyPlan(db::Connection& conn, const Plan& plan) {
    const long removing = plan.count(RowStatus::Removed) + plan.count(RowStatus::Changed);
    const long inserting = plan.count(RowStatus::Added) + plan.count(RowStatus::Changed);
    if (removing + inserting == 0) return 0;
    const Scope& s = plan.scope;
    if (!detail::isCode(s.ledgerCode()) || !detail::isCode(s.reclChart))
        throw ScopeRefused("Codici non validi per " + describeScope(s) + ".");
    const auto& t = editor::correlationTable(s.kind);
    const std::string scopeCondition = std::string(t.ledgerColumn) + " = " + s.ledgerCode() + " AND " + t.chartColumn +
                                       " = " + s.reclChart;

    conn.BeginTrans();
    try {
        fillPlanTable(conn, plan);
        ensureStillAsPlanned(conn, plan);
        long removed = 0;
        for (int sign : {1, 2})
            removed += execute(conn, std::string("DELETE FROM ") + t.table + " WHERE " + scopeCondition + " AND " +
                                         t.signColumn + " = " + std::to_string(sign) + " AND " + t.accountColumn +
                                         " IN (SELECT P_CONTO FROM " + kPlanTable + " WHERE P_SEGNO = " +
                                         std::to_string(sign) + " AND P_PRIMA <> '')");
        const long inserted =
            execute(conn, std::string("INSERT INTO ") + t.table + " (" + t.ledgerColumn + ", " + t.accountColumn + ", " +
                              t.chartColumn + ", " + t.targetColumn + ", " + t.signColumn + ") SELECT " +
                              s.ledgerCode() + ", P_CONTO, " + s.reclChart + ", P_DOPO, P_SEGNO FROM " + kPlanTable +
                              " WHERE P_DOPO <> ''");
        if (removed != removing || inserted != inserting)
            throw PlanOutdated("Le correlazioni sono cambiate durante la scrittura: nulla è stato scritto.");
        dropPlanTable(conn);
        conn.CommitTrans();
    } catch (...) {
        try {
            conn.RollbackTrans();
        } catch (const std::exception&) {
            // the engine already gave the transaction up
        }
        dropPlanTable(conn);
        conn.Errors().Clear();
        throw;
    }
    return plan.writes();
}

}  // namespace mapping
