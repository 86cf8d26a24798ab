#pragma once
// A thin table model over a kit::QueryGrid: one model row per row of the grid's recordset
// view, one column per shown grid column. Texts come from QueryGrid::cellText, so value-list
// columns show their texts and the form's CellText handler formats the cell; nothing is
// copied, so a 200,000-row recordset costs only the rows on screen.
//
// A row filter shows only some of the recordset's rows: the rows a test keeps when the filter
// is set or the rows are reloaded, and every row the recordset's cursor visits meanwhile (so
// the current row is always shown). Model rows then differ from recordset rows: the model maps
// them (recordsetRow, modelRow); the recordset itself is never filtered.

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "db/Recordset.h"
#include "kit/QueryGrid.h"

namespace gui {

class QueryGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryGridModel(std::shared_ptr<kit::QueryGrid> grid, QObject* parent = nullptr);
    ~QueryGridModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    kit::QueryGrid& grid() const { return *grid_; }
    // Index in grid().columns() of a model column (-1 when out of range).
    int gridColumn(int modelColumn) const;
    // Width in twips of a model column as the grid defines it.
    int columnWidthTwips(int modelColumn) const;

    // Shows only the recordset rows `keep` accepts (asked again whenever the rows are
    // reloaded); an empty function shows every row again.
    using RowTest = std::function<bool(long recordsetRow)>;
    void setRowFilter(RowTest keep);
    bool filtered() const { return static_cast<bool>(keep_); }
    // The recordset row of a model row (-1 out of range) and the model row of a recordset row
    // (-1 when the filter hides it).
    long recordsetRow(int modelRow) const;
    int modelRow(long recordsetRow) const;

signals:
    // The grid's current row moved (-1: none).
    void currentRowChanged(int row);
    // Columns or rows were rebuilt: views re-apply column widths.
    void layoutRebuilt();

private:
    struct FieldListener : db::RecordsetListener {
        QueryGridModel* model;
        explicit FieldListener(QueryGridModel* m) : model(m) {}
        void fieldChanged(db::Recordset& rs, const std::string&) override { model->rowEdited(rs.currentIndex()); }
    };
    void rebuild();
    void attachRecordset();
    void detachRecordset();
    void rowEdited(long row);
    void applyFilter();
    // The filter shows the recordset's current row.
    void showCursorRow();

    std::shared_ptr<kit::QueryGrid> grid_;
    std::vector<int> shown_;   // model column -> grid column
    std::weak_ptr<db::Recordset> attached_;
    FieldListener listener_{this};
    int rowsId_ = 0, rowChangedId_ = 0, propertyId_ = 0, provisionalId_ = 0;
    bool rebuilding_ = false;
    RowTest keep_;
    std::vector<long> shownRows_;   // recordset rows shown while filtered, ascending
};

}  // namespace gui
