#include "gui/TableGridLayout.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/QueryGridModel.h"
#include "gui/Support.h"

namespace gui {

using namespace kit::gridmetrics;

TableGridLayout::TableGridLayout(std::shared_ptr<kit::QueryGrid> grid, QTableView* table, QueryGridModel* model,
                                 QObject* parent)
    : QObject(parent), grid_(std::move(grid)), table_(table), model_(model) {
    // Whole rows and columns scroll, so the first row in view starts right below the headings.
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    table_->verticalHeader()->setMinimumSectionSize(1);
    auto scrolled = [this] {
        if (grid_) grid_->scrolled();
    };
    QObject::connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this, scrolled);
    QObject::connect(table_->horizontalScrollBar(), &QScrollBar::valueChanged, this, scrolled);
    QObject::connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this,
                     [this](int section, int, int) { tableColumnResized(section); });
    QObject::connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                     [this](const QModelIndex& current) {
                         if (current.isValid()) currentCellMoved(current.column());
                     });
    QObject::connect(table, &QObject::destroyed, this, [this] { uninstall(); });
    grid_->setViewLayout(this);
}

TableGridLayout::~TableGridLayout() { uninstall(); }

void TableGridLayout::uninstall() {
    if (grid_ && &grid_->layout() == this) grid_->setViewLayout(nullptr);
    grid_.reset();
}

int TableGridLayout::tableColumn(int gridColumn) const {
    for (int c = 0; c < model_->columnCount(); ++c)
        if (model_->gridColumn(c) == gridColumn) return c;
    return -1;
}

int TableGridLayout::currentTableColumn() const {
    int c = grid_ ? tableColumn(grid_->Col()) : -1;
    return c >= 0 ? c : std::max(0, table_->columnAt(0));
}

long TableGridLayout::firstRow() const {
    const long row = model_->recordsetRow(std::max(0, table_->rowAt(0)));
    return std::max(0L, row);
}

void TableGridLayout::setFirstRow(long row) {
    const int shown = model_->modelRow(row);
    if (shown >= 0) table_->verticalScrollBar()->setValue(shown);
}

int TableGridLayout::leftCol() const { return std::max(0, model_->gridColumn(std::max(0, table_->columnAt(0)))); }

void TableGridLayout::setLeftCol(int column) {
    int c = tableColumn(column);
    if (c >= 0) table_->horizontalScrollBar()->setValue(c);
}

double TableGridLayout::rowHeight() const {
    return pixelsToTwips(table_->verticalHeader()->defaultSectionSize()) - GridLine;
}

void TableGridLayout::setRowHeight(double twips) {
    int pitch = std::max(1, static_cast<int>(std::lround((twips + GridLine) / kTwipsPerPixel)));
    if (pitch != table_->verticalHeader()->defaultSectionSize()) table_->verticalHeader()->setDefaultSectionSize(pitch);
}

double TableGridLayout::headLines() const {
    return (pixelsToTwips(table_->viewport()->geometry().top()) - Border) / HeadLine;
}

void TableGridLayout::setHeadLines(double lines) {
    int height = std::max(0, static_cast<int>(std::lround(lines * HeadLine / kTwipsPerPixel)));
    if (height == table_->horizontalHeader()->height()) return;
    table_->horizontalHeader()->setFixedHeight(height);
    // The table places its viewport below the heading only when it lays itself out again.
    QMetaObject::invokeMethod(table_, "updateGeometries", Qt::DirectConnection);
}

bool TableGridLayout::rowInView(long row) const {
    const int shown = model_->modelRow(row);
    if (shown < 0) return false;
    int y = table_->rowViewportPosition(shown);
    return y >= 0 && y < table_->viewport()->height();
}

void TableGridLayout::showRow(long row) {
    const int shown = model_->modelRow(row);
    if (shown >= 0 && model_->columnCount() > 0) table_->scrollTo(model_->index(shown, currentTableColumn()));
}

int TableGridLayout::placeInView(long row) const {
    if (!rowInView(row)) return -1;
    return model_->modelRow(row) - std::max(0, table_->rowAt(0));
}

long TableGridLayout::rowAway(long row, long steps, long rows) const {
    const int shown = model_->modelRow(row);
    if (!model_->filtered() || shown < 0) return GridLayout::rowAway(row, steps, rows);
    const long last = model_->rowCount() - 1;
    return model_->recordsetRow(static_cast<int>(std::clamp(shown + steps, 0L, last)));
}

int TableGridLayout::columnLeft(int column) const {
    int c = tableColumn(column);
    if (c < 0) return 0;
    int x = table_->columnViewportPosition(c);
    if (x < 0) return 0;
    return pixelsToTwips(table_->viewport()->geometry().left() + x);
}

int TableGridLayout::columnWidth(int column) const {
    int c = tableColumn(column);
    if (c >= 0) return pixelsToTwips(table_->columnWidth(c));
    // A column the table does not show keeps its design width.
    const auto& columns = grid_->columns();
    return column >= 0 && column < static_cast<int>(columns.size()) ? columns[column].width : 0;
}

int TableGridLayout::headingWidth(int tableColumn) const {
    QHeaderView* header = table_->horizontalHeader();
    // The heading of the current cell's column is drawn bold: measure that one.
    QFont font = header->font();
    font.setBold(true);
    const QString text = model_->headerData(tableColumn, Qt::Horizontal, Qt::DisplayRole).toString();
    return QFontMetrics(font).horizontalAdvance(text) +
           2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 2;
}

void TableGridLayout::applyColumnWidths() {
    std::vector<int> widened;
    applyingWidths_ = true;
    for (int c = 0; c < model_->columnCount(); ++c) {
        int w = model_->columnWidthTwips(c);
        if (w <= 0) continue;
        // A column is never narrower than its heading.
        int pixels = std::max(twipsToPixels(w), headingWidth(c));
        table_->setColumnWidth(c, pixels);
        if (pixels > twipsToPixels(w)) widened.push_back(c);
    }
    applyingWidths_ = false;
    // The grid learns the widths the table drew, as it does when the user drags a column.
    for (int c : widened) tableColumnResized(c);
}

void TableGridLayout::showCurrent(int row) {
    const int shown = model_->modelRow(row);
    if (shown < 0 || model_->columnCount() == 0) {
        table_->clearSelection();
        return;
    }
    QModelIndex index = model_->index(shown, currentTableColumn());
    followingGrid_ = true;
    table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    followingGrid_ = false;
    table_->scrollTo(index);
}

void TableGridLayout::tableColumnResized(int tableColumn) {
    if (applyingWidths_ || !grid_) return;
    QHeaderView* header = table_->horizontalHeader();
    // The last column stretches with the table: that is no resize of the user's.
    if (header->stretchLastSection() && tableColumn == model_->columnCount() - 1) return;
    int column = model_->gridColumn(tableColumn);
    if (column >= 0) grid_->resizeColumn(column, pixelsToTwips(header->sectionSize(tableColumn)));
}

void TableGridLayout::currentCellMoved(int tableColumn) {
    if (followingGrid_ || !grid_) return;
    int column = model_->gridColumn(tableColumn);
    if (column >= 0 && column != grid_->Col()) grid_->setCol(column);
}

}  // namespace gui
