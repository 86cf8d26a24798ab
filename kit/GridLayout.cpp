#include "kit/GridLayout.h"

#include <algorithm>
#include <cmath>

#include "kit/QueryGrid.h"

namespace kit {

void DesignGridLayout::setFirstRow(long row) {
    row = std::max(0L, row);
    if (row == firstRow_) return;
    firstRow_ = row;
    grid_.scrolled();
}

void DesignGridLayout::setLeftCol(int column) {
    column = std::max(0, column);
    if (column == leftCol_) return;
    leftCol_ = column;
    grid_.scrolled();
}

double DesignGridLayout::rowsArea() const {
    return grid_.Height() - 2 * gridmetrics::Border - headLines_ * gridmetrics::HeadLine;
}

bool DesignGridLayout::rowInView(long row) const {
    if (row < firstRow_) return false;
    if (grid_.Height() <= 0) return true;
    return (row - firstRow_) * pitch() < rowsArea();
}

void DesignGridLayout::showRow(long row) {
    if (row < 0 || rowInView(row)) return;
    if (row < firstRow_) {
        setFirstRow(row);
        return;
    }
    // The row becomes the last one whose top is in view.
    long fitting = pitch() > 0 ? static_cast<long>(std::ceil(rowsArea() / pitch())) : 1;
    setFirstRow(row - std::max(1L, fitting) + 1);
}

int DesignGridLayout::columnLeft(int column) const {
    const auto& columns = grid_.columns();
    if (column < 0 || column >= static_cast<int>(columns.size())) return 0;
    if (!columns[column].shown || column < leftCol_) return 0;
    double left = gridmetrics::Border;
    for (int i = leftCol_; i < column; ++i)
        if (columns[i].shown) left += columns[i].width;
    return static_cast<int>(left);
}

int DesignGridLayout::columnWidth(int column) const {
    const auto& columns = grid_.columns();
    if (column < 0 || column >= static_cast<int>(columns.size())) return 0;
    return columns[column].width;
}

}  // namespace kit
