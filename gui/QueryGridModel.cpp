#include "gui/QueryGridModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>

#include "gui/Support.h"

namespace gui {

QueryGridModel::QueryGridModel(std::shared_ptr<kit::QueryGrid> grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(std::move(grid)) {
    rowsId_ = grid_->rowsChanged.connect([this] { rebuild(); });
    rowChangedId_ = grid_->RowChanged.connect([this] {
        showCursorRow();
        emit currentRowChanged(static_cast<int>(grid_->currentRow()));
    });
    propertyId_ = grid_->propertyChanged.connect([this](const std::string& p) {
        if (p == "Columns" || p == "Recordset") rebuild();
    });
    provisionalId_ = grid_->provisionalCellsChanged.connect([this] { rowEdited(grid_->currentRow()); });
    rebuild();
}

QueryGridModel::~QueryGridModel() {
    detachRecordset();
    grid_->rowsChanged.disconnect(rowsId_);
    grid_->RowChanged.disconnect(rowChangedId_);
    grid_->propertyChanged.disconnect(propertyId_);
    grid_->provisionalCellsChanged.disconnect(provisionalId_);
}

void QueryGridModel::detachRecordset() {
    if (auto rs = attached_.lock()) rs->removeListener(&listener_);
    attached_.reset();
}

void QueryGridModel::attachRecordset() {
    auto rs = grid_->Recordset();
    if (rs == attached_.lock()) return;
    detachRecordset();
    if (rs) {
        rs->addListener(&listener_);
        attached_ = rs;
    }
}

void QueryGridModel::rebuild() {
    if (rebuilding_) return;
    rebuilding_ = true;
    beginResetModel();
    shown_.clear();
    const auto& cols = grid_->columns();
    for (int i = 0; i < static_cast<int>(cols.size()); ++i)
        if (cols[i].shown) shown_.push_back(i);
    attachRecordset();
    applyFilter();
    endResetModel();
    rebuilding_ = false;
    emit layoutRebuilt();
    emit currentRowChanged(static_cast<int>(grid_->currentRow()));
}

void QueryGridModel::rowEdited(long row) {
    const int r = modelRow(row);
    if (r < 0 || shown_.empty()) return;
    emit dataChanged(index(r, 0), index(r, columnCount() - 1));
}

void QueryGridModel::setRowFilter(RowTest keep) {
    beginResetModel();
    keep_ = std::move(keep);
    applyFilter();
    endResetModel();
    emit layoutRebuilt();
    emit currentRowChanged(static_cast<int>(grid_->currentRow()));
}

void QueryGridModel::applyFilter() {
    shownRows_.clear();
    if (!keep_) return;
    const long n = grid_->rowCount();
    const long cursor = grid_->currentRow();
    for (long r = 0; r < n; ++r)
        if (r == cursor || keep_(r)) shownRows_.push_back(r);
}

void QueryGridModel::showCursorRow() {
    const long row = grid_->currentRow();
    if (!keep_ || row < 0 || row >= grid_->rowCount()) return;
    auto at = std::lower_bound(shownRows_.begin(), shownRows_.end(), row);
    if (at != shownRows_.end() && *at == row) return;
    const int place = static_cast<int>(at - shownRows_.begin());
    beginInsertRows({}, place, place);
    shownRows_.insert(at, row);
    endInsertRows();
}

long QueryGridModel::recordsetRow(int modelRow) const {
    if (modelRow < 0 || modelRow >= rowCount()) return -1;
    return keep_ ? shownRows_[static_cast<std::size_t>(modelRow)] : modelRow;
}

int QueryGridModel::modelRow(long recordsetRow) const {
    if (recordsetRow < 0 || shown_.empty()) return -1;
    if (!keep_) return recordsetRow < grid_->rowCount() ? static_cast<int>(recordsetRow) : -1;
    auto at = std::lower_bound(shownRows_.begin(), shownRows_.end(), recordsetRow);
    return at != shownRows_.end() && *at == recordsetRow ? static_cast<int>(at - shownRows_.begin()) : -1;
}

int QueryGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || shown_.empty()) return 0;
    if (keep_) return static_cast<int>(shownRows_.size());
    long n = grid_->rowCount();
    return n > 0 ? static_cast<int>(n) : 0;
}

int QueryGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int QueryGridModel::gridColumn(int modelColumn) const {
    if (modelColumn < 0 || modelColumn >= static_cast<int>(shown_.size())) return -1;
    return shown_[modelColumn];
}

int QueryGridModel::columnWidthTwips(int modelColumn) const {
    int c = gridColumn(modelColumn);
    return c < 0 ? 0 : grid_->columns()[c].width;
}

QVariant QueryGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const long row = recordsetRow(index.row());
    const bool proposed = grid_->isProvisionalCell(row, gridColumn(index.column()));
    switch (role) {
    case Qt::DisplayRole: return qs(grid_->cellText(row, gridColumn(index.column())));
    case Qt::ToolTipRole:
        if (proposed) return qs(grid_->provisionalHint());
        return qs(grid_->cellText(row, gridColumn(index.column())));
    case Qt::FontRole:
        if (proposed) {
            QFont f;
            f.setItalic(true);
            return f;
        }
        return {};
    case Qt::ForegroundRole:
        if (proposed) return QBrush(QColor(0x70, 0x70, 0x70));
        return {};
    default: return {};
    }
}

QVariant QueryGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        int c = gridColumn(section);
        return c < 0 ? QVariant() : QVariant(qs(grid_->columns()[c].caption));
    }
    return static_cast<int>(recordsetRow(section)) + 1;
}

}  // namespace gui
