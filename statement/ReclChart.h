#pragma once
// The shape of a reclassification chart as the statement shows it: its accounts in code
// order, each with the account it totals into and its depth.
//
// A code's parent is the longest shorter code of the same chart that starts it. When the
// chart has an edit mask (PC01_MASKEDIT, "xx/xx/xxx": levels of 2, 4 and 7 characters) only
// prefixes ending on a level of the mask count, so "0101001" totals into "0101" and that into
// "01"; a chart without a mask ("BS", "BS1100") takes any prefix that is one of its codes. A
// code without such a prefix is a top line. The mask is the only place the chart states its
// levels (PC01_NUMLIVELLI is the count of its segments), so it is all that is read.

#include <string>
#include <unordered_map>
#include <vector>

#include "mapping/ChartData.h"

namespace db {
class Connection;
}

namespace statement {

struct ReclLine {
    std::string code;
    std::string description;
    bool analytic = false;
    int parent = -1;   // index of the total it goes into, -1 for a top line
    int level = 1;     // 1 for a top line
};

class ReclChart {
public:
    ReclChart() = default;
    // `mask` as PC01_MASKEDIT stores it ("" when the chart has none).
    ReclChart(const std::unordered_map<std::string, mapping::ReclAccount>& accounts, const std::string& mask);

    const std::vector<ReclLine>& lines() const { return lines_; }
    // The line of a code, -1 when the chart has none.
    int find(const std::string& code) const;
    // The lengths at which the mask's levels end ({2, 4, 7}); empty without a mask.
    const std::vector<std::size_t>& levelEnds() const { return levelEnds_; }

private:
    std::vector<ReclLine> lines_;
    std::unordered_map<std::string, int> index_;
    std::vector<std::size_t> levelEnds_;
};

// The edit mask of reclassification chart `chart` ("" when it has none or the chart is
// unknown). db::Error when the database fails.
std::string readReclMask(db::Connection& conn, const std::string& chart);

}  // namespace statement
