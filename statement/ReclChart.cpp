#include "statement/ReclChart.h"

#include <algorithm>

#include "mapping/Rows.h"

namespace statement {

ReclChart::ReclChart(const std::unordered_map<std::string, mapping::ReclAccount>& accounts, const std::string& mask) {
    std::size_t width = 0;
    for (char c : mask) {
        if (c == '/') {
            if (width > 0 && (levelEnds_.empty() || levelEnds_.back() != width)) levelEnds_.push_back(width);
        } else {
            ++width;
        }
    }
    if (width > 0 && (levelEnds_.empty() || levelEnds_.back() != width)) levelEnds_.push_back(width);

    std::vector<std::string> codes;
    codes.reserve(accounts.size());
    for (const auto& [code, _] : accounts) codes.push_back(code);
    // A prefix sorts before the codes it starts: every parent comes before its children.
    std::sort(codes.begin(), codes.end());
    lines_.reserve(codes.size());
    for (const auto& code : codes) {
        const auto& a = accounts.at(code);
        ReclLine line{code, a.description, a.analytic};
        for (std::size_t length = code.size(); length-- > 1;) {
            if (!levelEnds_.empty() && !std::binary_search(levelEnds_.begin(), levelEnds_.end(), length)) continue;
            auto it = index_.find(code.substr(0, length));
            if (it == index_.end()) continue;
            line.parent = it->second;
            line.level = lines_[static_cast<std::size_t>(it->second)].level + 1;
            break;
        }
        index_.emplace(code, static_cast<int>(lines_.size()));
        lines_.push_back(std::move(line));
    }
}

int ReclChart::find(const std::string& code) const {
    auto it = index_.find(code);
    return it == index_.end() ? -1 : it->second;
}

std::string readReclMask(db::Connection& conn, const std::string& chart) {
    if (!mapping::detail::isCode(chart)) return {};
    auto rows = mapping::detail::selectRows(
        conn, "SELECT PC01_MASKEDIT FROM PC01_DESCRPDC WITH(NOLOCK) WHERE PC01_CODICE = " + chart);
    return rows.empty() ? std::string() : mapping::detail::textOf(rows.front()[0]);
}

}  // namespace statement
