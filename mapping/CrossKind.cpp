#include "mapping/CrossKind.h"

#include <map>

#include "mapping/ChartData.h"

namespace mapping {

CrossKindView crossKindView(db::Connection& conn, const CrossKindRequest& request) {
    if (request.chart.empty()) throw ScopeRefused("Indicare il piano dei conti (--pdc).");
    if (!request.intercompany.empty() && request.consChart.empty())
        throw ScopeRefused("Indicare il piano riclassificato intercompany della struttura " + request.intercompany + ".");

    CrossKindView view;
    view.chart = request.chart;
    auto want = [&](CorrelationKind kind, const std::string& reclChart, const std::string& structure = {}) {
        if (reclChart.empty()) return;
        Scope s;
        s.kind = kind;
        s.chart = request.chart;
        s.reclChart = reclChart;
        s.intercompany = structure;
        s.company = request.company;
        view.scopes.push_back(std::move(s));
    };
    want(CorrelationKind::COGE, request.reclChart);
    want(CorrelationKind::HYPE, request.hyperionChart);
    if (!request.intercompany.empty()) want(CorrelationKind::CONS, request.consChart, request.intercompany);
    if (view.scopes.empty())
        throw ScopeRefused("Indicare almeno un tipo da confrontare: --ricl (COGE), --hyperion (HYPE) o "
                           "--intercompany con --ricl-cons (CONS).");

    std::vector<ChartData> data;
    data.reserve(view.scopes.size());
    for (const auto& scope : view.scopes) {
        data.push_back(ChartData::load(conn, scope));
        if (view.chartDescription.empty()) view.chartDescription = data.back().chartDescription;
    }

    std::map<std::string, CrossKindRow> rows;
    for (const auto& d : data)
        for (const auto& account : d.accounts) {
            auto [it, added] = rows.try_emplace(account.code);
            if (added) it->second = {account.code, account.shownCode, account.description, {}};
        }
    view.rows.reserve(rows.size());
    for (auto& [code, row] : rows) {
        row.targets.reserve(data.size());
        for (const auto& d : data)
            row.targets.push_back({d.account(code) != nullptr, d.storedTarget({code, 1}), d.storedTarget({code, 2})});
        view.rows.push_back(std::move(row));
    }
    return view;
}

}  // namespace mapping
