#pragma once
// What the benchmarks on the generated chart share: its COGE scope on a reclassification chart
// of their own, and a steady-clock duration in seconds.

#include <chrono>
#include <string>

#include "mapping/Scope.h"

namespace bench {

inline mapping::Scope cogeScopeOfChart10(const std::string& reclChart) {
    mapping::Scope s;
    s.kind = mapping::CorrelationKind::COGE;
    s.chart = "10";
    s.reclChart = reclChart;
    return s;
}

inline double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace bench
