#pragma once
// The columns of the correlation editor's grid over the working rows (tests/support/WorkingRows.h),
// as the editor sets them up: the hidden key, the account, its description, the sign and the
// reclassified account.

#include "kit/QueryGrid.h"

namespace testsupport {

inline void addWorkingColumns(kit::QueryGrid& grid) {
    grid.AddColumn("FAKEID", "Key", 1, 100, false);
    grid.AddColumn("CONTOPDC", "Conto contabile", 1, 2025, true);
    grid.AddColumn("DESCRPDC", "Descrizione conto contabile", 1, 3405, true);
    grid.AddValueListColumn("SEGNO", 3, {{1, "Dare"}, {2, "Avere"}}, "Segno", 645, true);
    grid.AddColumn("CONTORICL", "Conto riclassificato", 1, 2055, true);
    grid.EndColumns();
    grid.CloseColumns();
}

}  // namespace testsupport
