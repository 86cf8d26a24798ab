#include "balances/BalanceImport.h"

#include <map>
#include <set>

#include "balances/Amounts.h"
#include "balances/BalanceFile.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "mapping/Rows.h"

namespace balances {

namespace {

using mapping::detail::selectRows;
using mapping::detail::textOf;

struct ChartAccounts {
    std::map<std::string, std::string> descriptions;   // by code as stored
    std::map<std::string, std::string> bySqueezed;     // code without separators -> stored code
};

// Only letters and digits: "18/01/01/0002" as the mask shows it finds "1801010002".
std::string squeezed(const std::string& code) {
    std::string out;
    for (char c : code)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) out += c;
    return out;
}

ChartAccounts readChart(db::Connection& conn, int chart) {
    ChartAccounts out;
    for (const auto& r : selectRows(conn, "SELECT CG24_CONTO, CG24_DESCR FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = " +
                                              std::to_string(chart))) {
        const std::string code = textOf(r[0]);
        out.descriptions[code] = textOf(r[1]);
        out.bySqueezed.emplace(squeezed(code), code);
    }
    return out;
}

std::string plural(long n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

void refuse(BalanceRow& row, std::string reason) {
    row.status = RowStatus::Refused;
    row.reason = std::move(reason);
}

}  // namespace

std::string BalancePreview::summary() const {
    return plural(count(RowStatus::Added), "aggiunta", "aggiunte") + ", " + plural(count(RowStatus::Changed), "modificata", "modificate") +
           ", " + plural(count(RowStatus::Removed), "eliminata", "eliminate") + ", " +
           plural(count(RowStatus::Unchanged), "invariata", "invariate") + ", " +
           plural(count(RowStatus::Refused), "rifiutata", "rifiutate");
}

std::string describeTarget(const BalanceTarget& t) {
    return "Ditta " + std::to_string(t.company) + ", piano dei conti " + std::to_string(t.chart) + ", bilancio al " +
           italianDate(t.date);
}

BalancePreview previewBalanceImport(db::Connection& conn, const std::filesystem::path& file, const BalanceTarget& target,
                                    const mapping::detail::ReadLimits& limits) {
    BalancePreview preview;
    preview.target = target;
    preview.file = file;
    if (!isoDate(target.date)) {
        preview.fileProblems.push_back("Data del bilancio non valida: \"" + target.date + "\" (scrivere AAAA-MM-GG).");
        return preview;
    }
    const ChartAccounts chart = readChart(conn, target.chart);
    if (chart.descriptions.empty()) {
        preview.fileProblems.push_back("Il piano dei conti " + std::to_string(target.chart) + " non ha conti.");
        return preview;
    }
    BalanceFile read = readBalanceFile(file, limits);
    preview.fileProblems = std::move(read.fileProblems);
    if (!preview.fileProblems.empty()) return preview;
    if (read.rows.empty()) {
        preview.fileProblems.push_back("Il file non contiene righe di bilancio sotto l'intestazione.");
        return preview;
    }

    StoredBalance stored = readStoredBalance(conn, target);
    std::map<std::string, int> lineOf;   // accounts already in the file
    for (const FileBalance& in : read.rows) {
        BalanceRow& row = preview.rows.emplace_back();
        row.line = in.line;
        row.account = in.account;
        row.after = {in.debit, in.credit};
        if (!in.problem.empty()) {
            refuse(row, in.problem);
            continue;
        }
        auto found = chart.descriptions.find(in.account);
        if (found == chart.descriptions.end())
            if (auto s = chart.bySqueezed.find(squeezed(in.account)); s != chart.bySqueezed.end() && !s->first.empty())
                found = chart.descriptions.find(s->second);
        if (found == chart.descriptions.end()) {
            refuse(row, "Conto non presente nel piano dei conti " + std::to_string(target.chart));
            continue;
        }
        row.account = found->first;
        row.description = found->second;
        if (!in.date.empty() && in.date != target.date) {
            refuse(row, "La data della riga (" + italianDate(in.date) + ") non è quella del bilancio (" + italianDate(target.date) + ")");
            continue;
        }
        if (auto [at, fresh] = lineOf.emplace(row.account, row.line); !fresh) {
            refuse(row, "Conto ripetuto: è già alla riga " + std::to_string(at->second));
            continue;
        }
        preview.totalDebit += row.after.debit;
        preview.totalCredit += row.after.credit;
        auto was = stored.find(row.account);
        if (was == stored.end()) {
            row.status = RowStatus::Added;
        } else {
            row.before = was->second;
            row.status = was->second == row.after ? RowStatus::Unchanged : RowStatus::Changed;
        }
    }
    for (const auto& [account, amounts] : stored) {
        if (lineOf.count(account)) continue;
        BalanceRow& row = preview.rows.emplace_back();
        row.account = account;
        if (auto d = chart.descriptions.find(account); d != chart.descriptions.end()) row.description = d->second;
        row.before = amounts;
        row.status = RowStatus::Removed;
    }
    for (const auto& row : preview.rows) ++preview.counts[static_cast<int>(row.status)];

    if (!stored.empty())
        preview.notes.push_back("L'importazione sostituisce il bilancio già presente alla stessa data (" +
                                std::to_string(stored.size()) + " conti): i conti assenti dal file vengono eliminati.");
    if (preview.totalDebit != preview.totalCredit)
        preview.notes.push_back("Attenzione: il bilancio non quadra. Totale Dare " + formatAmount(preview.totalDebit) +
                                ", totale Avere " + formatAmount(preview.totalCredit) + " (differenza " +
                                formatAmount(preview.totalDebit - preview.totalCredit) + ").");
    if (preview.count(RowStatus::Refused) > 0)
        preview.notes.push_back("Ci sono righe rifiutate: il bilancio non può essere scritto finché il file non è corretto.");
    return preview;
}

long applyBalanceImport(db::Connection& conn, const BalancePreview& preview) {
    if (!preview.applicable()) throw std::logic_error("anteprima del bilancio non applicabile");
    const BalanceTarget& t = preview.target;
    const db::Variant company(t.company), chart(t.chart), date(t.date);
    const auto amount = [](long long cents) { return db::Variant::decimal(static_cast<double>(cents) / 100.0); };

    db::inTransaction(conn, [&] {
        ensureBalanceTable(conn);
        const StoredBalance now = readStoredBalance(conn, t);
        const auto outdated = [&](const std::string& account) {
            return BalanceOutdated("Il bilancio di " + describeTarget(t) + " è cambiato dopo l'anteprima" +
                                   (account.empty() ? "" : " (conto " + account + ")") + ": rileggere il file. Nulla è stato scritto.");
        };
        if (now.size() != static_cast<std::size_t>(preview.count(RowStatus::Changed) + preview.count(RowStatus::Removed) +
                                                   preview.count(RowStatus::Unchanged)))
            throw outdated("");
        for (const auto& row : preview.rows) {
            const auto found = now.find(row.account);
            const bool same = row.status == RowStatus::Added ? found == now.end()
                                                             : found != now.end() && found->second == row.before;
            if (!same) throw outdated(row.account);
        }
        if (preview.count(RowStatus::Added) > 0) {
            auto insert = conn.Prepare("INSERT INTO BRV_SALDI (BRV_DITTA, BRV_PDC, BRV_DATA, BRV_CONTO, BRV_DARE, BRV_AVERE) "
                                       "VALUES (?, ?, ?, ?, ?, ?)");
            for (const auto& row : preview.rows)
                if (row.status == RowStatus::Added)
                    insert->Execute({company, chart, date, row.account, amount(row.after.debit), amount(row.after.credit)});
        }
        if (preview.count(RowStatus::Changed) > 0) {
            auto update = conn.Prepare("UPDATE BRV_SALDI SET BRV_DARE = ?, BRV_AVERE = ? "
                                       "WHERE BRV_DITTA = ? AND BRV_PDC = ? AND BRV_DATA = ? AND BRV_CONTO = ?");
            for (const auto& row : preview.rows)
                if (row.status == RowStatus::Changed)
                    update->Execute({amount(row.after.debit), amount(row.after.credit), company, chart, date, row.account});
        }
        if (preview.count(RowStatus::Removed) > 0) {
            auto remove = conn.Prepare("DELETE FROM BRV_SALDI WHERE BRV_DITTA = ? AND BRV_PDC = ? AND BRV_DATA = ? AND BRV_CONTO = ?");
            for (const auto& row : preview.rows)
                if (row.status == RowStatus::Removed) remove->Execute({company, chart, date, row.account});
        }
    });
    return preview.writes();
}

}  // namespace balances
