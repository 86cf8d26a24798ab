#pragma once
// The layout of a kit::QueryGrid as a QTableView really draws it. Installed in the grid while
// the view lives, it answers the grid's geometry (rows and columns in view, row height,
// heading band, column edges) from the table itself and applies what the grid is told (row
// height, heading lines, first row and column). It also carries the table's own changes back
// to the grid: a scroll raises Scroll, a column dragged wider raises ColResize, moving the
// current cell sideways sets Col.
//
// Rows the grid names are recordset rows; while the model filters its rows they are mapped to
// the table's rows, so that the grid counts and steps through the rows on screen.
//
// Twips are 15 to a pixel (gui/Support.h). The row pitch is a whole number of pixels, so the
// row height reads back as that pitch less the grid line; the heading band reads as the
// distance from the grid's border to its first row.

#include <QObject>
#include <QPointer>

#include "kit/GridLayout.h"
#include "kit/QueryGrid.h"

class QTableView;

namespace gui {

class QueryGridModel;

class TableGridLayout : public QObject, public kit::GridLayout {
    Q_OBJECT
public:
    TableGridLayout(std::shared_ptr<kit::QueryGrid> grid, QTableView* table, QueryGridModel* model,
                    QObject* parent = nullptr);
    ~TableGridLayout() override;

    long firstRow() const override;
    void setFirstRow(long row) override;
    int leftCol() const override;
    void setLeftCol(int column) override;
    double rowHeight() const override;
    void setRowHeight(double twips) override;
    double headLines() const override;
    void setHeadLines(double lines) override;
    bool rowInView(long row) const override;
    void showRow(long row) override;
    int placeInView(long row) const override;
    long rowAway(long row, long steps, long rows) const override;
    int columnLeft(int column) const override;
    int columnWidth(int column) const override;

    // Sets the table's column widths to the grid's, widening a column to show its heading.
    void applyColumnWidths();
    // Selects and scrolls to the grid's current row (a recordset row, -1: none), in the grid's
    // current column.
    void showCurrent(int row);
    // The table column of a grid column, -1 when the table does not show it.
    int tableColumn(int gridColumn) const;
    // The table column the current cell is in: the grid's Col when shown, else the first in view.
    int currentTableColumn() const;

private:
    void uninstall();
    int headingWidth(int tableColumn) const;
    void tableColumnResized(int tableColumn);
    void currentCellMoved(int tableColumn);

    std::shared_ptr<kit::QueryGrid> grid_;
    QPointer<QTableView> table_;
    QueryGridModel* model_;
    bool applyingWidths_ = false;
    bool followingGrid_ = false;   // the table's current cell is being set from the grid
};

}  // namespace gui
