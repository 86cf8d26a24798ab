#pragma once
// Small helpers the benchmarks share to name sizes and summarise their measured times.

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

}  // namespace benchdb
