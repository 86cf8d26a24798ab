#pragma once
// The figures the benchmarks of a run hand in for the table printed at its end: each ratio
// (or amount) with the target it is held to, when it has one.

#include <cstdio>
#include <string>
#include <vector>

namespace bench {

struct SummaryLine {
    std::string what;
    double value = 0;
    std::string unit;          // "x" for a ratio
    double target = 0;         // the most the value may be; 0: no target
    std::string detail;        // the measured sides, for the reader
};

inline std::vector<SummaryLine>& summaryLines() {
    static std::vector<SummaryLine> lines;
    return lines;
}

inline void addSummary(SummaryLine line) {
    for (auto& l : summaryLines())
        if (l.what == line.what) {
            l = std::move(line);
            return;
        }
    summaryLines().push_back(std::move(line));
}

inline void printSummary() {
    const auto& lines = summaryLines();
    if (lines.empty()) return;
    std::printf("\n%-44s %12s %10s  %-8s %s\n", "Summary", "measured", "target", "", "detail");
    for (const auto& l : lines) {
        char value[32], target[32] = "";
        std::snprintf(value, sizeof value, "%.2f %s", l.value, l.unit.c_str());
        if (l.target > 0) std::snprintf(target, sizeof target, "<= %.4g", l.target);
        const char* verdict = l.target <= 0 ? "" : l.value <= l.target ? "ok" : "MISSED";
        std::printf("%-44s %12s %10s  %-8s %s\n", l.what.c_str(), value, target, verdict, l.detail.c_str());
    }
}

}  // namespace bench
