#include "apps/cli/PreviewJson.h"

#include "statement/PreviewExport.h"

namespace brevanto::cli {

nlohmann::ordered_json previewJson(const statement::LoadedPreview& loaded) {
    const auto& p = loaded.preview;
    nlohmann::ordered_json out;
    nlohmann::ordered_json scope;
    scope["kind"] = mapping::kindName(loaded.scope.kind);
    scope["chart"] = loaded.scope.chart;
    scope["reclChart"] = loaded.scope.reclChart;
    if (loaded.scope.kind == mapping::CorrelationKind::CONS) scope["intercompany"] = loaded.scope.intercompany;
    scope["company"] = loaded.scope.company;
    out["scope"] = std::move(scope);
    out["date"] = p.date();
    out["dates"] = p.dates();
    if (!loaded.notice.empty()) out["notice"] = loaded.notice;
    auto lines = nlohmann::ordered_json::array();
    for (const auto& l : p.lines()) {
        nlohmann::ordered_json j;
        j["code"] = l.code;
        j["shownCode"] = l.inChart ? loaded.shownTarget(l.code) : l.code;
        j["description"] = l.description;
        j["level"] = l.level;
        j["parent"] = l.parent >= 0 ? nlohmann::ordered_json(p.lines()[static_cast<std::size_t>(l.parent)].code)
                                    : nlohmann::ordered_json();
        j["amount"] = statement::amountValue(l.total);
        j["text"] = statement::formatAmount(l.total);
        j["accounts"] = l.accounts;
        if (!l.inChart) j["unmapped"] = l.code.empty();
        lines.push_back(std::move(j));
    }
    out["lines"] = std::move(lines);
    auto warnings = nlohmann::ordered_json::array();
    for (const auto& w : p.warnings()) {
        nlohmann::ordered_json j;
        j["account"] = w.account;
        j["shownAccount"] = loaded.shownAccount(w.account);
        j["description"] = loaded.accountDescription(w.account);
        j["date"] = w.date;
        j["sign"] = w.sign;
        j["amount"] = statement::amountValue(w.amount);
        j["text"] = statement::describeWarning(loaded, w);
        warnings.push_back(std::move(j));
    }
    out["warnings"] = std::move(warnings);
    return out;
}

}  // namespace brevanto::cli
