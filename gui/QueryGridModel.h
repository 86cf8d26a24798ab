#pragma once
// A thin table model over a kit::QueryGrid: one model row per row of the grid's recordset
// view, one column per shown grid column. Texts come from QueryGrid::cellText, so value-list
// columns show their texts and the form's CellText handler formats the cell; nothing is
// copied, so a 200,000-row recordset costs only the rows on screen.

#include <QAbstractTableModel>
#include <memory>
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

    std::shared_ptr<kit::QueryGrid> grid_;
    std::vector<int> shown_;   // model column -> grid column
    std::weak_ptr<db::Recordset> attached_;
    FieldListener listener_{this};
    int rowsId_ = 0, rowChangedId_ = 0, propertyId_ = 0, provisionalId_ = 0;
    bool rebuilding_ = false;
};

}  // namespace gui
