#include "mapping/Scope.h"

#include "mapping/Rows.h"

#include <algorithm>
#include <cctype>

namespace mapping {

std::string describeScope(const Scope& scope) {
    std::string out = kindName(scope.kind);
    if (scope.kind == CorrelationKind::CONS) {
        out += ", struttura " + scope.intercompany;
        if (!scope.chart.empty()) out += ", PdC " + scope.chart;
        out += ", PdC riclassificato intercompany " + scope.reclChart;
    } else if (scope.kind == CorrelationKind::COIN) {
        out += ", PdC analitico " + scope.chart + ", PdC di riclassificazione " + scope.reclChart;
    } else if (scope.kind == CorrelationKind::HYPE) {
        out += ", PdC " + scope.chart + ", PdC Hyperion " + scope.reclChart;
    } else {
        out += ", PdC " + scope.chart + ", PdC di riclassificazione " + scope.reclChart;
    }
    return out;
}

const char* signName(int sign) {
    switch (sign) {
        case 1: return "Dare";
        case 2: return "Avere";
        default: return "";
    }
}

std::optional<int> signFromText(std::string_view text) {
    const std::string s = detail::folded(text);
    if (s == "DARE" || s == "D" || s == "1") return 1;
    if (s == "AVERE" || s == "A" || s == "2") return 2;
    return std::nullopt;
}

}  // namespace mapping
