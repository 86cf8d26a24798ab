#include "journal/HistoryTable.h"

#include "db/Connection.h"
#include "db/Recordset.h"
#include "db/SqlText.h"
#include "statements/CorrelationKindNames.h"

namespace journal {

namespace {

constexpr const char* kCreate =
    "CREATE TABLE BRV_STORICO ("
    " BRV_PASSO int NOT NULL,"
    " BRV_RIGA int NOT NULL,"
    " BRV_ORIGINE nvarchar(20) NOT NULL,"
    " BRV_UTENTE nvarchar(128) NOT NULL,"
    " BRV_DATAORA nvarchar(19) NOT NULL,"
    " BRV_TIPO nvarchar(4) NOT NULL,"
    " BRV_PDC nvarchar(10) NOT NULL,"
    " BRV_PDCRICL nvarchar(10) NOT NULL,"
    " BRV_TABELLA nvarchar(1) NOT NULL,"
    " BRV_CONTO nvarchar(40) NOT NULL,"
    " BRV_SEGNO smallint NOT NULL,"
    " BRV_PRIMA nvarchar(15) NOT NULL,"
    " BRV_DOPO nvarchar(15) NOT NULL,"
    " BRV_RIFERIMENTO int NOT NULL,"
    " PRIMARY KEY (BRV_PASSO, BRV_RIGA))";

constexpr const char* kInsert =
    "INSERT INTO BRV_STORICO (BRV_PASSO, BRV_RIGA, BRV_ORIGINE, BRV_UTENTE, BRV_DATAORA, BRV_TIPO, BRV_PDC, "
    "BRV_PDCRICL, BRV_TABELLA, BRV_CONTO, BRV_SEGNO, BRV_PRIMA, BRV_DOPO, BRV_RIFERIMENTO) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

constexpr const char* kColumns =
    "SELECT BRV_PASSO, BRV_ORIGINE, BRV_UTENTE, BRV_DATAORA, BRV_TIPO, BRV_PDC, BRV_PDCRICL, BRV_TABELLA, "
    "BRV_CONTO, BRV_SEGNO, BRV_PRIMA, BRV_DOPO, BRV_RIFERIMENTO FROM BRV_STORICO";

long numberOf(const db::Variant& v) {
    try {
        return v.isNull() ? 0 : static_cast<long>(v.toInt32());
    } catch (const std::exception&) {
        return 0;
    }
}

std::string textOf(const db::Variant& v) { return v.isNull() ? std::string() : v.toText(); }

int kindOf(const std::string& text) {
    for (int k = 0; k < 4; ++k)
        if (text == editor::kindName(k)) return k;
    return -1;
}

}  // namespace

bool historyTableExists(db::Connection& conn) {
    try {
        conn.Execute("SELECT COUNT(*) FROM BRV_STORICO WHERE 1 = 0");
        return true;
    } catch (const std::exception&) {
        conn.Errors().Clear();
        return false;
    }
}

std::string ensureHistoryTable(db::Connection& conn) {
    if (historyTableExists(conn)) return "";
    try {
        conn.Execute(kCreate, nullptr, static_cast<int>(db::ado::adCmdText) | static_cast<int>(db::ado::adExecuteNoRecords));
        return "";
    } catch (const std::exception& e) {
        conn.Errors().Clear();
        return std::string("la tabella ") + kHistoryTable + " non si può creare (" + e.what() + ")";
    }
}

namespace {

long nextStepNumber(db::Connection& conn) {
    if (auto rs = conn.Execute("SELECT MAX(BRV_PASSO) AS ULTIMO FROM BRV_STORICO"); rs && !rs->Eof())
        return numberOf(rs->value("ULTIMO")) + 1;
    return 1;
}

// Sessions racing for one step number: the key refuses all but one first line, and the
// others try again with the next free number.
constexpr int kStepNumberAttempts = 50;

}  // namespace

long writeHistory(db::Connection& conn, const Step& step, long refersTo) {
    auto insert = conn.Prepare(kInsert);
    auto insertLine = [&](long number, long line, const Change& c) {
        insert->Execute({db::Variant(static_cast<long long>(number)), db::Variant(static_cast<long long>(line)),
                         step.source, step.user, step.time, std::string(editor::kindName(step.scope.kind)), step.scope.ledger,
                         step.scope.reclChart, std::string(c.rows == Rows::Intermediary ? "I" : "C"), c.account,
                         db::Variant(static_cast<long long>(c.sign)), c.before, c.after,
                         db::Variant(static_cast<long long>(refersTo))});
    };
    long number = nextStepNumber(conn);
    if (step.changes.empty()) return number;
    for (int attempt = 1;; ++attempt) {
        try {
            insertLine(number, 1, step.changes.front());
            break;
        } catch (const std::exception&) {
            conn.Errors().Clear();
            const long next = nextStepNumber(conn);
            // Refused for another reason than a number taken meanwhile: the caller says so.
            if (next <= number || attempt == kStepNumberAttempts) throw;
            number = next;
        }
    }
    for (std::size_t i = 1; i < step.changes.size(); ++i) insertLine(number, static_cast<long>(i) + 1, step.changes[i]);
    return number;
}

std::vector<Step> readHistory(db::Connection& conn, const HistoryFilter& filter) {
    std::string sql = kColumns;
    std::string where;
    if (filter.kind) where += std::string(where.empty() ? " WHERE " : " AND ") + "BRV_TIPO = " + db::sqlQuoted(editor::kindName(*filter.kind));
    if (!filter.since.empty()) where += std::string(where.empty() ? " WHERE " : " AND ") + "BRV_DATAORA >= " + db::sqlQuoted(filter.since);
    sql += where + " ORDER BY BRV_PASSO, BRV_RIGA";
    std::vector<Step> steps;
    for (auto rs = conn.Execute(sql); rs && !rs->Eof(); rs->MoveNext()) {
        const long number = numberOf(rs->value("BRV_PASSO"));
        if (steps.empty() || steps.back().id != number) {
            Step s;
            s.id = number;
            s.source = textOf(rs->value("BRV_ORIGINE"));
            s.user = textOf(rs->value("BRV_UTENTE"));
            s.time = textOf(rs->value("BRV_DATAORA"));
            s.scope = Scope{kindOf(textOf(rs->value("BRV_TIPO"))), textOf(rs->value("BRV_PDC")), textOf(rs->value("BRV_PDCRICL"))};
            s.refersTo = numberOf(rs->value("BRV_RIFERIMENTO"));
            steps.push_back(std::move(s));
        }
        Change c;
        c.rows = textOf(rs->value("BRV_TABELLA")) == "I" ? Rows::Intermediary : Rows::Correlation;
        c.account = textOf(rs->value("BRV_CONTO"));
        c.sign = static_cast<int>(numberOf(rs->value("BRV_SEGNO")));
        c.before = textOf(rs->value("BRV_PRIMA"));
        c.after = textOf(rs->value("BRV_DOPO"));
        steps.back().changes.push_back(std::move(c));
    }
    return steps;
}

}  // namespace journal
