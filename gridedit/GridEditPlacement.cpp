// Where CLSCG_GRIDEDIT puts its controls: over the cells of the grid's current row. The row's
// top is the grid's top, its border, the heading lines and the rows above it in view, each
// row with its grid line; the distances are design twips at the window's current scale.

#include <cmath>
#include <limits>
#include <stdexcept>

#include "editor/ErrorTrap.h"
#include "gridedit/CLSCG_GRIDEDIT.h"
#include "kit/Control.h"
#include "kit/QueryGrid.h"

namespace gridedit {

using editor::ErrorTrap;
using editor::suppressErrors;

namespace {

int twips(double v) {
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<int>::max()) throw std::overflow_error("overflow");
    return static_cast<int>(std::lround(v));
}

}  // namespace

void CLSCG_GRIDEDIT::Griglia_RowColChange() {
    ErrorTrap trap{"Griglia_RowColChange", suppressErrors()};
    std::int16_t row = 0, col = 0;
    trap([&] { row = db::Variant(grid().Row()).toInt16(); });
    trap([&] { col = db::Variant(grid().Col()).toInt16(); });
    if (row < 0) {
        for (int i = 0; i < static_cast<int>(editors_.size()); ++i)
            if (hasEditor(i)) trap([&] { editor(i).setVisible(false); });
        return;
    }
    for (int i = 0; i < columnCount_; ++i) {
        if (!hasEditor(i)) continue;
        std::shared_ptr<db::Recordset> recordset;
        trap([&] { recordset = grid().DataSource(); });
        trap([&] { grid().setRowHeight(editor(i).Height() - Y(15)); });
        bool hasRecords = false;
        trap([&] {
            if (!recordset) throw std::runtime_error("la griglia non ha un recordset");
            hasRecords = recordset->RecordCount() > 0;
        });
        if (hasRecords) place(i);
        recordset.reset();
        showIfInView(i, col);
    }
}

void CLSCG_GRIDEDIT::place(int i) {
    ErrorTrap trap{"Griglia_RowColChange", suppressErrors()};
    trap([&] { currentRow_ = db::Variant(grid().Row() + 1).toInt16(); });
    trap([&] {
        kit::QueryGrid& g = grid();
        editor(i).setTop(twips(g.Top() + Y(15) + g.HeadLines() * Y(200) + (currentRow_ - 1) * (g.RowHeight() + Y(13.5))));
    });
    trap([&] { editor(i).setLeft(twips(static_cast<double>(grid().Left()) + grid().Columns()(i).Left)); });
}

void CLSCG_GRIDEDIT::showIfInView(int i, int currentColumn) {
    ErrorTrap trap{"Griglia_RowColChange", suppressErrors()};
    // A column the grid cannot report any more counts as out of view.
    kit::ColumnPlace column;
    bool known = trap([&] { column = grid().Columns()(i); });
    trap([&] {
        kit::Control& control = editor(i);
        if (!known || column.Left == 0) {
            control.setVisible(false);
        } else if (column.Left + column.Width > grid().Width()) {
            control.setVisible(false);
        } else {
            control.setVisible(true);
            if (i == currentColumn && control.Enabled()) control.SetFocus();
        }
    });
}

// The resized column does not matter: every control is hidden and placed again.
void CLSCG_GRIDEDIT::Griglia_ColResize(std::int16_t) {
    ErrorTrap trap{"Griglia_ColResize", suppressErrors()};
    for (int i = 0; i < columnCount_; ++i) {
        if (hasEditor(i)) trap([&] { editor(i).setVisible(false); });
        Griglia_RowColChange();
    }
}

}  // namespace gridedit
