#include "kit/QueryGrid.h"

#include <algorithm>

#include "db/Error.h"
#include "kit/Form.h"
#include "kit/RecordFrame.h"
#include "kit/UserAction.h"

namespace kit {

namespace {

bool isOpen(const std::shared_ptr<db::Recordset>& rs) { return rs && rs->State() == db::ado::adStateOpen; }

}  // namespace

QueryGrid::QueryGrid(Form& form, std::string name) : Control(form, std::move(name)) {}

QueryGrid::~QueryGrid() {
    if (recordset_) recordset_->removeListener(&listener_);
}

void QueryGrid::setRecordset(std::shared_ptr<db::Recordset> rs) {
    if (rs == recordset_) {
        // Binding the same object again reads it again.
        reindex();
        rowsChanged.raise();
        if (isOpen(recordset_)) reportRowChanged();
        return;
    }
    if (recordset_) recordset_->removeListener(&listener_);
    recordset_ = std::move(rs);
    if (recordset_) recordset_->addListener(&listener_);
    reindex();
    changed("Recordset");
    rowsChanged.raise();
    if (frame_) frame_->gridRebound();
    if (isOpen(recordset_)) reportRowChanged();
}

void QueryGrid::Reset() {
    columns_.clear();
    fieldIndex_.clear();
    endedColumns_ = closedColumns_ = false;
    changed("Columns");
}

void QueryGrid::AddColumn(const std::string& field, const std::string& caption, int kind, int width, bool shown) {
    columns_.push_back(GridColumn{field, caption, kind, width, shown, {}});
    reindex();
    changed("Columns");
}

void QueryGrid::AddValueListColumn(const std::string& field, int kind,
                                   const std::vector<std::pair<db::Variant, std::string>>& values,
                                   const std::string& caption, int width, bool shown) {
    columns_.push_back(GridColumn{field, caption, kind, width, shown, values});
    reindex();
    changed("Columns");
}

void QueryGrid::EndColumns() {
    endedColumns_ = true;
    changed("Columns");
}

void QueryGrid::CloseColumns() {
    closedColumns_ = true;
    changed("Columns");
}

void QueryGrid::Refresh() {
    reindex();
    rowsChanged.raise();
}

void QueryGrid::Release() {
    if (recordset_) recordset_->removeListener(&listener_);
    recordset_.reset();
    settings_.reset();
    frame_ = nullptr;
    fieldIndex_.assign(columns_.size(), -1);
    changed("Recordset");
    rowsChanged.raise();
}

void QueryGrid::reindex() {
    fieldIndex_.assign(columns_.size(), -1);
    if (!isOpen(recordset_)) return;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        auto idx = recordset_->fields().indexOf(columns_[i].field);
        if (idx) fieldIndex_[i] = static_cast<long>(*idx);
    }
}

long QueryGrid::rowCount() const {
    if (!isOpen(recordset_)) return 0;
    return recordset_->viewSize();
}

db::Variant QueryGrid::cellValue(long row, int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return db::Variant();
    if (row < 0 || row >= rowCount()) return db::Variant();
    long idx = fieldIndex_.size() > static_cast<std::size_t>(column) ? fieldIndex_[column] : -1;
    if (idx < 0) return db::Variant();
    const db::RowRef r = recordset_->viewRow(row);
    if (static_cast<std::size_t>(idx) >= r.size()) return db::Variant();
    return r[idx];
}

std::string QueryGrid::cellText(long row, int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return "";
    if (row < 0 || row >= rowCount()) return "";
    const GridColumn& col = columns_[column];
    db::Variant v = cellValue(row, column);
    std::string text;
    if (!col.valueList.empty()) {
        bool found = false;
        for (auto& [value, label] : col.valueList)
            if (!v.isBlank() && (value == v || value.toText() == v.toText())) {
                text = label;
                found = true;
                break;
            }
        if (!found) text = v.toText();
    } else {
        text = v.toText();
    }
    CellText.raise(text, col.field, 0);
    return text;
}

long QueryGrid::currentRow() const {
    if (!isOpen(recordset_)) return -1;
    long i = recordset_->currentIndex();
    return (i >= 0 && i < recordset_->viewSize()) ? i : -1;
}

bool QueryGrid::isProvisionalCell(long row, int column) const {
    if (!frame_ || !frame_->isProposal() || row != currentRow()) return false;
    if (column < 0 || column >= static_cast<int>(columns_.size())) return false;
    return frame_->isProposedField(columns_[static_cast<std::size_t>(column)].field);
}

std::string QueryGrid::provisionalHint() const { return frame_ ? frame_->proposalHint() : std::string(); }

bool QueryGrid::clickRow(long row) {
    UserAction action;
    if (!effectivelyEnabled() || !isOpen(recordset_)) return false;
    if (row < 0 || row >= rowCount()) return false;
    if (row != currentRow()) recordset_->setAbsolutePosition(row + 1);
    return currentRow() == row;
}

bool QueryGrid::processKey(int key, int shift) {
    Control::processKey(key, shift);
    if (!hasFocus() || !isOpen(recordset_) || rowCount() == 0) return false;
    const long cur = currentRow();
    const long rows = rowCount();
    long steps = 0;
    switch (key) {
        case keys::Down: steps = 1; break;
        case keys::Up: steps = -1; break;
        case keys::PageDown: steps = 10; break;
        case keys::PageUp: steps = -10; break;
        case keys::Home: steps = -rows; break;
        case keys::End: steps = rows; break;
        default: return false;
    }
    // Without a current row the first key lands on the first row, as Home does.
    const long from = cur < 0 ? 0 : cur;
    const long target = cur < 0 && key != keys::End ? layout().rowAway(0, -rows, rows) : layout().rowAway(from, steps, rows);
    if (target != cur) clickRow(target);
    return true;
}

void QueryGrid::rowMoved() {
    movedInOperation_ = true;
    if (frame_ && recordset_) frame_->gridRowMoved(*recordset_);
    reportRowChanged();
}

void QueryGrid::rowSetChanged() {
    reindex();
    if (frame_ && recordset_) frame_->gridRowsChanged(*recordset_);
    rowsChanged.raise();
    bool reported = movedInOperation_;
    movedInOperation_ = false;
    if (isOpen(recordset_) && !reported) reportRowChanged();
}

}  // namespace kit
