#pragma once
// Small helpers the benchmarks share to name sizes and summarise their measured times.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace benchdb {

// 1000 as "1k", 1000000 as "1M".
inline std::string sizeLabel(long n) {
    if (n >= 1000000 && n % 1000000 == 0) return std::to_string(n / 1000000) + "M";
    if (n >= 1000 && n % 1000 == 0) return std::to_string(n / 1000) + "k";
    return std::to_string(n);
}

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The medians of an editor side against its baseline, both measured in the same run.
struct MedianPair {
    double editorTime = 0, rawTime = 0, editorCpu = 0, rawCpu = 0;
    bool valid() const { return editorTime > 0 && rawTime > 0 && rawCpu > 0; }
    double ratio() const { return editorTime / rawTime; }
    double cpuRatio() const { return editorCpu / rawCpu; }
};

// Replays the baseline's measured times as this benchmark's iterations, reports its rows and
// peak RSS and, when both sides ran, the two ratios; returns the medians.
template <class Side>
MedianPair reportBaseline(benchmark::State& state, const Side& editor, const Side& raw) {
    std::size_t i = 0;
    for (auto _ : state) state.SetIterationTime(raw.seconds[i++ % raw.seconds.size()]);
    state.counters["rows"] = static_cast<double>(raw.rows);
    state.counters["peak_rss_MB"] = raw.peakRss / 1e6;
    const MedianPair m{median(editor.seconds), median(raw.seconds), median(editor.cpuSeconds), median(raw.cpuSeconds)};
    if (m.valid()) {
        state.counters["editor_over_raw"] = m.ratio();
        state.counters["cpu_editor_over_raw"] = m.cpuRatio();
    }
    return m;
}

}  // namespace benchdb
