#include "journal/StoredTargets.h"

#include <cctype>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/Trace.h"
#include "statements/CorrelationStatements.h"
#include "text/Text.h"

namespace journal {

namespace {

bool isNumber(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::string trimmed(const db::Variant& v) {
    if (v.isNull() || v.isEmpty()) return "";
    return text::trimSpaces(v.toText());
}

}  // namespace

Targets storedTargets(db::Connection& conn, const Scope& scope) {
    Targets out;
    if (scope.kind < 0 || scope.kind > 3 || !isNumber(scope.ledger) || !isNumber(scope.reclChart)) return out;
    db::Untraced untraced;   // bookkeeping, not the caller's statements
    const auto& t = editor::correlationTable(static_cast<editor::CorrelationKind>(scope.kind));
    const std::string sql = std::string("SELECT ") + t.accountColumn + " AS CONTO, " + t.signColumn + " AS SEGNO, " +
                            t.targetColumn + " AS RICL FROM " + t.table + " WHERE " + t.ledgerColumn + " = " +
                            scope.ledger + " AND " + t.chartColumn + " = " + scope.reclChart;
    for (auto rs = conn.Execute(sql); rs && !rs->Eof(); rs->MoveNext()) {
        std::string target = trimmed(rs->value("RICL"));
        if (target.empty()) continue;
        out[{trimmed(rs->value("CONTO")), rs->value("SEGNO").toInt32()}] = std::move(target);
    }
    return out;
}

std::vector<Change> differences(const Targets& before, const Targets& after) {
    std::vector<Change> changes;
    auto add = [&](const std::pair<std::string, int>& key, const std::string& was, const std::string& is) {
        if (was != is) changes.push_back(Change{Rows::Correlation, key.first, key.second, was, is});
    };
    auto b = before.begin();
    auto a = after.begin();
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && b->first < a->first)) {
            add(b->first, b->second, "");
            ++b;
        } else if (b == before.end() || a->first < b->first) {
            add(a->first, "", a->second);
            ++a;
        } else {
            add(a->first, b->second, a->second);
            ++a, ++b;
        }
    }
    return changes;
}

}  // namespace journal
