#pragma once
// Where a grid's rows and columns lie on screen, in twips from the grid's own top-left corner.
// A grid without a view lays itself out from its design sizes (DesignGridLayout); a view that
// draws the grid installs its own layout, so that the grid reports what is really on screen.
//
// The grid's geometry, top to bottom: a border, the column headings (HeadLines lines of
// HeadLine twips), then the rows, each RowHeight twips plus the grid line below it.

namespace kit {

class QueryGrid;

namespace gridmetrics {
inline constexpr double Border = 15;      // the grid's frame
inline constexpr double HeadLine = 200;   // one line of column headings
inline constexpr double GridLine = 13.5;  // the line below each row
}  // namespace gridmetrics

class GridLayout {
public:
    virtual ~GridLayout() = default;

    // The first row (0-based in the recordset's view) and the first grid column in view.
    virtual long firstRow() const = 0;
    virtual void setFirstRow(long row) = 0;
    virtual int leftCol() const = 0;
    virtual void setLeftCol(int column) = 0;

    // A row's height without its grid line. A view may round what it is given to what it can
    // draw: read it back after setting it.
    virtual double rowHeight() const = 0;
    virtual void setRowHeight(double twips) = 0;
    // The heading band in lines of gridmetrics::HeadLine (fractions allowed).
    virtual double headLines() const = 0;
    virtual void setHeadLines(double lines) = 0;

    // Whether the top of the row lies in the rows' area now.
    virtual bool rowInView(long row) const = 0;
    // Scrolls the fewest rows that bring the row into view.
    virtual void showRow(long row) = 0;
    // The row's place among the rows in view (0 = the first row in view), -1 when out of view.
    // A view that shows only some of the rows counts the rows it shows.
    virtual int placeInView(long row) const {
        return rowInView(row) ? static_cast<int>(row - firstRow()) : -1;
    }
    // The row `steps` rows below `row` (above for negative steps) among the rows shown,
    // stopping at the first and the last of them; `rows` is the recordset's row count.
    virtual long rowAway(long row, long steps, long rows) const {
        const long target = row + steps;
        return target < 0 ? 0 : (target >= rows ? rows - 1 : target);
    }

    // A grid column's left edge from the grid's left edge, 0 when the column is not shown or
    // starts out of view on the left; and its width.
    virtual int columnLeft(int column) const = 0;
    virtual int columnWidth(int column) const = 0;
};

// The layout of a grid with no view: rows of equal height from the first row in view, the
// shown columns side by side from the first column in view, at their design widths.
class DesignGridLayout : public GridLayout {
public:
    explicit DesignGridLayout(QueryGrid& grid) : grid_(grid) {}

    long firstRow() const override { return firstRow_; }
    void setFirstRow(long row) override;
    int leftCol() const override { return leftCol_; }
    void setLeftCol(int column) override;
    double rowHeight() const override { return rowHeight_; }
    void setRowHeight(double twips) override { rowHeight_ = twips; }
    double headLines() const override { return headLines_; }
    void setHeadLines(double lines) override { headLines_ = lines; }
    bool rowInView(long row) const override;
    void showRow(long row) override;
    int columnLeft(int column) const override;
    int columnWidth(int column) const override;

private:
    // Height of the rows' area; nothing when the grid has no height (every row fits).
    double rowsArea() const;
    double pitch() const { return rowHeight_ + gridmetrics::GridLine; }

    QueryGrid& grid_;
    long firstRow_ = 0;
    int leftCol_ = 0;
    double rowHeight_ = 286.5;   // with its grid line, 300 twips: 20 pixels on a 96-dpi screen
    double headLines_ = 1;
};

}  // namespace kit
