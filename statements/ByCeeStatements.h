#pragma once
// The two statements of the interim-balance correlation by CEE scheme: whether a chart is
// correlated with a scheme, and the batch that merges the derived correlations into
// CG83_COLLRICL and returns how many rows it inserted or updated (field ELABORATI).

#include <string>
#include <vector>

namespace bycee {

inline constexpr int kStandardLedgerChart = 80;

std::string pdcCorrelatedWithCeeQuery(int pdc, int cee);
std::string bulkCorrelationScript(int pdcStd, int pdcElab, int ceeStd, int biStd);

}  // namespace bycee
