#include "mapping/Transfer.h"

#include <algorithm>
#include <cctype>

#include "db/Connection.h"
#include "mapping/Rows.h"

namespace mapping {

namespace {

// The scope a row names, for comparison with the file's.
Scope scopeOfRow(const SheetRow& cells, CorrelationKind kind) {
    Scope s;
    s.kind = kind;
    s.chart = cells.chart;
    s.reclChart = cells.reclChart;
    s.intercompany = cells.intercompany;
    return s;
}

std::string rowScopeProblem(const SheetRow& cells, const Scope& scope) {
    auto kind = kindFromName(cells.kind);
    if (!kind) return "Tipo di correlazione \"" + cells.kind + "\" sconosciuto (" + editor::kCorrelationKindChoices + ").";
    const Scope rowScope = scopeOfRow(cells, *kind);
    const bool sameChart = scope.kind == CorrelationKind::CONS ? (cells.chart.empty() || cells.chart == scope.chart)
                                                               : cells.chart == scope.chart;
    if (*kind != scope.kind || !sameChart || cells.reclChart != scope.reclChart ||
        (scope.kind == CorrelationKind::CONS && cells.intercompany != scope.intercompany))
        return "La riga è di un'altra correlazione (" + describeScope(rowScope) + ") e non di " + describeScope(scope) +
               ".";
    return {};
}

}  // namespace

std::vector<SheetRow> exportRows(const ChartData& data) {
    std::vector<SheetRow> rows;
    rows.reserve(data.accounts.size() * 2);
    for (const auto& a : data.accounts) {
        for (int sign : {1, 2}) {
            SheetRow r;
            r.kind = kindName(data.scope.kind);
            r.chart = data.scope.chart;
            r.reclChart = data.scope.reclChart;
            r.intercompany = data.scope.kind == CorrelationKind::CONS ? data.scope.intercompany : "";
            r.account = a.code;
            r.accountDescription = a.description;
            r.sign = signName(sign);
            r.target = data.storedTarget(Key{a.code, sign});
            if (const ReclAccount* recl = r.target.empty() ? nullptr : data.reclAccount(r.target))
                r.targetDescription = recl->description;
            rows.push_back(std::move(r));
        }
    }
    return rows;
}

long exportCorrelations(const ChartData& data, const std::filesystem::path& file) {
    auto rows = exportRows(data);
    writeCorrelationFile(file, rows);
    return static_cast<long>(rows.size());
}

std::optional<Scope> scopeOfFile(const ReadResult& file, std::string* problem) {
    for (const auto& row : file.rows) {
        if (!row.problem.empty()) continue;
        auto kind = kindFromName(row.cells.kind);
        if (!kind) continue;
        Scope s = scopeOfRow(row.cells, *kind);
        if (!detail::isCode(s.ledgerCode()) || !detail::isCode(s.reclChart)) continue;
        return s;
    }
    if (problem)
        *problem = file.rows.empty() ? "Il file non contiene righe di correlazioni."
                                     : "Nessuna riga del file indica un tipo di correlazione e piani dei conti validi.";
    return std::nullopt;
}

std::vector<Desired> desiredFromFile(const ReadResult& file, const Scope& scope) {
    std::vector<Desired> out;
    out.reserve(file.rows.size());
    for (const auto& row : file.rows) {
        Desired d;
        d.line = row.line;
        d.key.account = row.cells.account;
        auto sign = signFromText(row.cells.sign);
        d.key.sign = sign.value_or(0);
        if (!row.problem.empty()) {
            d.refusal = row.problem;
        } else if (auto problem = rowScopeProblem(row.cells, scope); !problem.empty()) {
            d.refusal = problem;
        } else if (row.cells.account.empty()) {
            d.refusal = "Manca il conto da correlare (colonna \"Conto\").";
        } else if (!sign) {
            d.refusal = "Segno \"" + row.cells.sign + "\" non valido: indicare Dare o Avere.";
        } else if (detail::folded(row.cells.target) == kRemoveMarker) {
            d.remove = true;
        } else {
            d.target = row.cells.target;
        }
        out.push_back(std::move(d));
    }
    return out;
}

ImportPreview previewImport(db::Connection& conn, const std::filesystem::path& file,
                            const std::optional<Scope>& expected, const std::string& company,
                            const RuleOptions& options) {
    ImportPreview preview;
    preview.file = file;
    ReadResult read = readCorrelationFile(file);
    preview.fileProblems = read.fileProblems;
    if (!preview.fileProblems.empty()) return preview;
    std::string problem;
    auto scope = scopeOfFile(read, &problem);
    if (!scope) {
        preview.fileProblems.push_back(problem);
        return preview;
    }
    scope->company = company;
    if (expected && !expected->sameCorrelations(*scope)) {
        preview.fileProblems.push_back("Il file contiene correlazioni di " + describeScope(*scope) +
                                       ", non di " + describeScope(*expected) + ".");
        return preview;
    }
    ChartData data = ChartData::load(conn, *scope);
    preview.scope = data.scope;
    preview.plan = makePlan(data, desiredFromFile(read, data.scope), options);
    preview.plan.source = "importazione";
    return preview;
}

}  // namespace mapping
