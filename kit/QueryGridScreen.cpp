// The grid's members about where it shows its rows and columns.

#include <algorithm>
#include <string>

#include "kit/QueryGrid.h"

namespace kit {

int GridColumns::Count() const { return static_cast<int>(grid_.columns().size()); }

ColumnPlace GridColumns::Item(int index) const {
    if (index < 0 || index >= Count())
        throw KitError("grid " + grid_.name() + " has no column " + std::to_string(index));
    const GridLayout& layout = grid_.layout();
    return ColumnPlace{layout.columnLeft(index), layout.columnWidth(index), grid_.columns()[index].shown};
}

int QueryGrid::Row() const {
    long current = currentRow();
    return current < 0 ? -1 : layout().placeInView(current);
}

void QueryGrid::setCol(int column) {
    if (column < -1 || column >= static_cast<int>(columns().size()))
        throw KitError("grid " + name() + " has no column " + std::to_string(column));
    if (column == col_) return;
    col_ = column;
    RowColChange.raise();
}

void QueryGrid::resizeColumn(int column, int twips) {
    if (column < 0 || column >= static_cast<int>(columns().size()))
        throw KitError("grid " + name() + " has no column " + std::to_string(column));
    twips = std::max(0, twips);
    if (columns_[column].width != twips) {
        columns_[column].width = twips;
        changed("ColumnWidth");
    }
    ColResize.raise(column);
}

void QueryGrid::reportRowChanged() {
    long current = currentRow();
    if (current >= 0) layout().showRow(current);
    RowChanged.raise();
    RowColChange.raise();
}

}  // namespace kit
