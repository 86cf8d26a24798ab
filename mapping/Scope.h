#pragma once
// Which correlations a mapping operation works on: a kind and the charts of the editor's
// header, and the keys and values of one correlation.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "statements/CorrelationKindNames.h"

namespace mapping {

using editor::CorrelationKind;
using editor::kindFromName;
using editor::kindName;

struct Scope {
    CorrelationKind kind = CorrelationKind::COGE;
    std::string chart;          // the ledger chart (COIN: the analytic chart; CONS: the structure's)
    std::string reclChart;      // the reclassification (Hyperion, intercompany reclassified) chart
    std::string intercompany;   // the intercompany structure, CONS only
    std::string company = "1";  // the company code the statements name

    // The first key column of the kind's correlation table: the structure in CONS, else the chart.
    const std::string& ledgerCode() const { return kind == CorrelationKind::CONS ? intercompany : chart; }
    bool sameCorrelations(const Scope& other) const {
        return kind == other.kind && ledgerCode() == other.ledgerCode() && reclChart == other.reclChart;
    }
};

// "COGE, PdC 10, PdC di riclassificazione 101" (CONS: "CONS, struttura 1, PdC 401, …").
std::string describeScope(const Scope& scope);

// "Dare" for 1, "Avere" for 2, "" otherwise.
const char* signName(int sign);
// "Dare", "D", "1" -> 1; "Avere", "A", "2" -> 2 (case and blanks ignored); nothing otherwise.
std::optional<int> signFromText(std::string_view text);

// One account and sign: the key of a correlation within a scope.
struct Key {
    std::string account;
    int sign = 1;
    auto operator<=>(const Key&) const = default;
};

}  // namespace mapping
