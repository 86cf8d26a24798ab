#include "balances/BalanceFile.h"

#include "balances/Amounts.h"

namespace balances {

namespace {

enum Column { Account, Debit, Credit, Balance, Date, Description, AccountDescription };

const mapping::detail::SheetLayout& layout() {
    static const mapping::detail::SheetLayout columns = {
        {"Conto", true, false}, {"Dare", false, false},        {"Avere", false, false},
        {"Saldo", false, false}, {"Data", false, false}, {"Descrizione", false, true},
        {"Descrizione conto", false, true}};
    return columns;
}

void addProblem(std::string& problems, const std::string& problem) {
    if (!problems.empty()) problems += "; ";
    problems += problem;
}

// The amount of a cell, or nothing after adding why not to `problem`.
std::optional<long long> amount(const std::string& text, const char* column, bool mayBeNegative, std::string& problem) {
    if (text.empty()) return 0;
    ParsedAmount parsed = parseAmount(text, column);
    if (!parsed.cents) {
        addProblem(problem, parsed.problem);
        return std::nullopt;
    }
    if (!mayBeNegative && *parsed.cents < 0) {
        addProblem(problem, std::string("Importo negativo nella colonna \"") + column + "\": \"" + text +
                                "\" (i totali Dare e Avere sono positivi; per un saldo con segno usare la colonna \"Saldo\")");
        return std::nullopt;
    }
    return parsed.cents;
}

void readRow(const mapping::detail::TableRow& in, bool signedBalance, bool hasDate, FileBalance& out) {
    out.line = in.line;
    out.problem = in.problem;
    out.account = in.cells[Account];
    if (out.account.empty()) addProblem(out.problem, "Conto mancante");
    if (signedBalance) {
        if (in.cells[Balance].empty()) addProblem(out.problem, "Saldo mancante");
        else if (auto b = amount(in.cells[Balance], "Saldo", true, out.problem)) {
            if (*b >= 0) out.debit = *b;
            else out.credit = -*b;
        }
    } else if (in.cells[Debit].empty() && in.cells[Credit].empty()) {
        addProblem(out.problem, "Importi mancanti: \"Dare\" e \"Avere\" sono vuoti");
    } else {
        if (auto d = amount(in.cells[Debit], "Dare", false, out.problem)) out.debit = *d;
        if (auto c = amount(in.cells[Credit], "Avere", false, out.problem)) out.credit = *c;
    }
    if (hasDate) {
        if (in.cells[Date].empty()) addProblem(out.problem, "Data mancante");
        else if (auto d = dateOfCell(in.cells[Date])) out.date = *d;
        else addProblem(out.problem, "Data non valida: \"" + in.cells[Date] + "\" (scrivere GG/MM/AAAA)");
    }
}

}  // namespace

BalanceFile readBalanceFile(const std::filesystem::path& file, const mapping::detail::ReadLimits& limits) {
    mapping::detail::TableContent table = mapping::detail::readSheetFile(file, layout(), limits);
    BalanceFile out;
    out.fileProblems = std::move(table.fileProblems);
    if (!out.fileProblems.empty()) return out;
    const auto& present = table.present;
    out.signedBalance = present[Balance];
    if (present[Balance] && (present[Debit] || present[Credit]))
        out.fileProblems.push_back("Il file ha sia la colonna \"Saldo\" sia \"Dare\"/\"Avere\": usare \"Dare\" e \"Avere\" "
                                   "oppure solo \"Saldo\".");
    else if (!present[Balance] && !(present[Debit] && present[Credit]))
        out.fileProblems.push_back(std::string("Colonne degli importi mancanti: ") +
                                   (present[Debit] ? "\"Avere\"" : present[Credit] ? "\"Dare\"" : "\"Dare\" e \"Avere\"") +
                                   " (oppure una colonna \"Saldo\" con segno).");
    if (!out.fileProblems.empty()) return out;
    out.rows.reserve(table.rows.size());
    for (const auto& row : table.rows) readRow(row, out.signedBalance, present[Date], out.rows.emplace_back());
    return out;
}

}  // namespace balances
