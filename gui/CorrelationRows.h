#pragma once
// What the desktop reads from a correlation editor's grid rows without touching them: the
// counts its status bar shows, which rows have no reclassified account yet, and the rows a
// find bar's text matches. Everything works on the grid's recordset view in place, so that
// 200,000 rows are read in a few milliseconds.

#include <string>

#include "kit/QueryGrid.h"

namespace gui {

// The grid columns of a correlation editor, as indexes in QueryGrid::columns() (-1: missing).
struct CorrelationColumns {
    int account = -1;       // CONTOPDC, the plain account code
    int shownAccount = -1;  // CONTOPDCGRID, shown through the chart's mask
    int description = -1;   // DESCRPDC (on both sign rows; DESCRPDCGRID shows it on the first)
    int sign = -1;          // SEGNO: 1 Dare, 2 Avere
    int reclassified = -1;  // CONTORICL
    explicit CorrelationColumns(const kit::QueryGrid& grid);
    bool complete() const { return account >= 0 && sign >= 0 && reclassified >= 0; }
};

// Whether a row has no reclassified account. An account the editor only proposes on the
// current row (nothing stored yet) does not count as one.
bool isUnmapped(const kit::QueryGrid& grid, const CorrelationColumns& columns, long row);

struct CorrelationCounts {
    long rows = 0;
    long accounts = 0;
    long signRows[2] = {0, 0};   // rows of sign 1 (Dare) and 2 (Avere)
    long mapped[2] = {0, 0};     // of those, rows with a reclassified account
};
CorrelationCounts countCorrelations(const kit::QueryGrid& grid);
// "204 conti, 408 righe · Dare 180/204 · Avere 150/204"; "Nessun conto" for no rows.
std::string describeCounts(const CorrelationCounts& counts);

// The first unmapped row after `from` going `direction` (+1 or -1), wrapping around the
// ends; `from` itself is looked at last. -1 when every row has an account.
long nextUnmapped(const kit::QueryGrid& grid, long from, int direction);

// Folds a text for a search that ignores case and accents ("Città" and "CITTA" match).
std::string foldForSearch(const std::string& text);

// Whether a row matches a find text: the start of its account code typed plain or through
// the mask ("01/01" and "0101" both match "0101010001"), or part of its description.
// `folded` is foldForSearch of what the user typed.
bool rowMatches(const kit::QueryGrid& grid, const CorrelationColumns& columns, long row, const std::string& folded);
// The first matching row after `from` (-1: from the first row), wrapping; `from` itself is
// looked at last. -1 when no row matches.
long findRow(const kit::QueryGrid& grid, long from, const std::string& text);

}  // namespace gui
