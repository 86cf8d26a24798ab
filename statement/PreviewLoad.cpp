#include "statement/PreviewLoad.h"

#include <algorithm>

#include "apps/cli/WorkingRows.h"
#include "statements/CorrelationStatements.h"
#include "mapping/Rows.h"
#include "statement/ReclChart.h"
#include "statement/TrialBalances.h"
#include "text/Mask.h"

namespace statement {

std::string LoadedPreview::shownAccount(const std::string& code) const {
    auto it = ledger.find(code);
    return it == ledger.end() || it->second.first.empty() ? code : it->second.first;
}

std::string LoadedPreview::accountDescription(const std::string& code) const {
    auto it = ledger.find(code);
    return it == ledger.end() ? std::string() : it->second.second;
}

std::string LoadedPreview::shownTarget(const std::string& code) const {
    return text::applyMask(reclMask, code, text::MaskFill::FromLeft);
}

std::string noBalancesMessage(const mapping::Scope& scope) {
    return "Nessun bilancio di verifica importato per la ditta " + scope.company + " e il PdC " + scope.chart + ".";
}

std::vector<Correlation> readCorrelations(db::Connection& conn, const mapping::Scope& scope) {
    if (!mapping::detail::isCode(scope.ledgerCode()) || !mapping::detail::isCode(scope.reclChart))
        throw mapping::ScopeRefused("Codici non validi per " + mapping::describeScope(scope) + ".");
    const auto& t = editor::correlationTable(scope.kind);
    auto rows = mapping::detail::selectRows(
        conn, std::string("SELECT ") + t.accountColumn + ", " + t.signColumn + ", " + t.targetColumn + " FROM " + t.table +
                  " WITH(NOLOCK) WHERE " + t.ledgerColumn + " = " + scope.ledgerCode() + " AND " + t.chartColumn + " = " +
                  scope.reclChart);
    std::vector<Correlation> out;
    out.reserve(rows.size());
    for (auto& r : rows) {
        std::string target = mapping::detail::textOf(r[2]);
        if (!target.empty()) out.push_back({{mapping::detail::textOf(r[0]), mapping::detail::intOf(r[1], 0)}, std::move(target)});
    }
    return out;
}

void checkPreviewRequest(const mapping::Scope& scope, const std::optional<std::string>& date) {
    if (scope.kind == mapping::CorrelationKind::COIN) throw PreviewRefused(kAnalyticRefusedMessage);
    if (date && !isIsoDate(*date))
        throw PreviewRefused("Data non valida: \"" + *date + "\". Indicare la data del bilancio come AAAA-MM-GG.");
}

LoadedPreview loadPreview(db::Connection& conn, const mapping::ChartData& data, const std::optional<std::string>& date) {
    checkPreviewRequest(data.scope, date);
    LoadedPreview out;
    out.scope = data.scope;
    out.chartDescription = data.chartDescription;
    out.reclChartDescription = data.reclChartDescription;
    out.reclMask = readReclMask(conn, data.scope.reclChart);
    TrialBalances balances = TrialBalances::read(conn, data.scope.company, data.scope.chart);
    if (balances.tableMissing())
        out.notice = kNoBalancesTableMessage;
    else if (balances.empty())
        out.notice = noBalancesMessage(data.scope);
    if (date && !balances.empty()) {
        const auto& dates = balances.dates();
        if (std::find(dates.begin(), dates.end(), *date) == dates.end()) {
            std::string kept;
            for (const auto& d : dates) kept += (kept.empty() ? "" : ", ") + italianDate(d);
            throw PreviewRefused("Nessun bilancio di verifica alla data " + italianDate(*date) +
                                 ". Date disponibili: " + kept + ".");
        }
    }
    out.ledger.reserve(data.accounts.size());
    for (const auto& a : data.accounts) out.ledger.emplace(a.code, std::make_pair(a.shownCode, a.description));
    out.preview = Preview(ReclChart(data.reclAccounts(), out.reclMask), std::move(balances), data.stored, date);
    return out;
}

}  // namespace statement
