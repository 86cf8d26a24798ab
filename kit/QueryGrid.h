#pragma once
// A grid over a recordset: columns defined by field, rows read straight from the
// recordset's view (no object per row, so 200,000 rows cost nothing until drawn). The grid
// follows the recordset's current row and moves it when the user clicks a row.

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/Recordset.h"
#include "kit/Control.h"
#include "kit/GridLayout.h"

namespace kit {

class QueryGrid;
class RecordFrame;

// The grid-settings object the form prepares: stored and handed back as given.
struct GridSettings : db::Object {
    std::shared_ptr<db::Object> hostInterface;
    std::shared_ptr<db::Recordset> recordset;
    std::string keyField;
    int number = 0;
    std::array<bool, 9> options{};
    void Init(std::shared_ptr<db::Object> host, std::shared_ptr<db::Recordset> rs, std::string key, int n) {
        hostInterface = std::move(host);
        recordset = std::move(rs);
        keyField = std::move(key);
        number = n;
    }
};

struct GridColumn {
    std::string field;
    std::string caption;
    int kind = 1;   // 1 plain, 3 value list
    int width = 0;  // twips
    bool shown = true;
    std::vector<std::pair<db::Variant, std::string>> valueList;
};

// A column's place on screen as the grid reports it (twips from the grid's left edge; Left is
// 0 for a column that is not shown or starts out of view on the left).
struct ColumnPlace {
    int Left = 0;
    int Width = 0;
    bool Visible = false;   // shown in the grid (not a carried-only column)
};

// The grid's columns by index, as a program addressing Columns(i) sees them.
class GridColumns {
public:
    explicit GridColumns(const QueryGrid& grid) : grid_(grid) {}
    int Count() const;
    // KitError for an index outside 0 .. Count() - 1.
    ColumnPlace Item(int index) const;
    ColumnPlace operator()(int index) const { return Item(index); }

private:
    const QueryGrid& grid_;
};

class QueryGrid : public Control {
public:
    QueryGrid(Form& form, std::string name);
    ~QueryGrid() override;
    std::string typeName() const override { return "QueryGrid"; }

    std::shared_ptr<db::Recordset> Recordset() const { return recordset_; }
    // Binds (or with nullptr unbinds) the recordset; RowChanged follows a binding.
    void setRecordset(std::shared_ptr<db::Recordset> rs);

    std::shared_ptr<GridSettings> Settings() const { return settings_; }
    void setSettings(std::shared_ptr<GridSettings>& s) { settings_ = s; }
    // The grid's numeric option and its three on/off options, stored as set.
    int NumberOption() const { return numberOption_; }
    void setNumberOption(int n) { numberOption_ = n; }
    const std::array<bool, 3>& Options() const { return options_; }
    void setOptions(bool a, bool b, bool c) { options_ = {a, b, c}; }

    // Column definition: Reset, AddColumn / AddValueListColumn, then EndColumns and
    // CloseColumns (the definition is complete after both).
    void Reset();
    void AddColumn(const std::string& field, const std::string& caption, int kind, int width, bool shown);
    void AddValueListColumn(const std::string& field, int kind,
                            const std::vector<std::pair<db::Variant, std::string>>& values,
                            const std::string& caption, int width, bool shown);
    void EndColumns();
    void CloseColumns();
    bool columnsComplete() const { return endedColumns_ && closedColumns_; }
    // Re-reads the rows (views redraw).
    void Refresh();
    // Lets go of the recordset, the settings and the frame link.
    void Release();

    const std::vector<GridColumn>& columns() const { return columns_; }
    long rowCount() const;
    // The text of a cell: value-list text or the value's text, then CellText lets the form
    // change it. "" for a row or column out of range.
    std::string cellText(long row, int column) const;
    db::Variant cellValue(long row, int column) const;
    // 0-based current row, -1 when none.
    long currentRow() const;
    // Moves the recordset to the row (the frame may refuse); true when the grid is there.
    bool clickRow(long row);
    // Whether the cell shows a value the frame proposes (the current row only), and the hint
    // views show with it.
    bool isProvisionalCell(long row, int column) const;
    std::string provisionalHint() const;

    Event<> RowChanged;
    Event<std::string&, const std::string&, int> CellText;
    // The rows as a whole changed (bind, refresh, re-open): views reload.
    Event<> rowsChanged;
    // The current row started or stopped showing a proposal: views restyle it.
    Event<> provisionalCellsChanged;

    // --- on screen (twips; see GridLayout) ---
    // The current row's place among the rows in view (0 = the first row in view); -1 when
    // there is no current row or it is out of view.
    int Row() const;
    // The current column, an index in columns() (-1: none). Setting it raises RowColChange
    // when it changes; KitError outside -1 .. columns().size() - 1.
    int Col() const { return col_; }
    void setCol(int column);
    double RowHeight() const { return layout().rowHeight(); }
    void setRowHeight(double twips) { layout().setRowHeight(twips); }
    double HeadLines() const { return layout().headLines(); }
    void setHeadLines(double lines) { layout().setHeadLines(lines); }
    long FirstRow() const { return layout().firstRow(); }
    void setFirstRow(long row) { layout().setFirstRow(row); }
    int LeftCol() const { return layout().leftCol(); }
    void setLeftCol(int column) { layout().setLeftCol(column); }
    GridColumns Columns() const { return GridColumns(*this); }
    // The recordset the grid shows.
    std::shared_ptr<db::Recordset> DataSource() const { return recordset_; }
    // A column got a new width (the user dragged its edge, or code set it): kept as the
    // column's width, views redraw ("ColumnWidth"), then ColResize. KitError for a bad index.
    void resizeColumn(int column, int twips);

    // The layout a view installs while it draws the grid (nullptr: the design layout again).
    void setViewLayout(GridLayout* layout) { viewLayout_ = layout; }
    GridLayout& layout() const { return viewLayout_ ? *viewLayout_ : *designLayout_; }
    // The rows or columns in view changed: raises Scroll (layouts call it).
    void scrolled() { Scroll.raise(); }

    // The current row or the current column changed (after RowChanged for a row).
    Event<> RowColChange;
    // Other rows or columns came into view.
    Event<> Scroll;
    // A column (index in columns()) was resized.
    Event<int> ColResize;

    // Up/Down/PageUp/PageDown/Home/End move the current row.
    bool processKey(int key, int shift) override;

    // --- record frame link: the frame shows a row before the grid reports it ---
    void attachFrame(RecordFrame* frame) { frame_ = frame; }
    RecordFrame* attachedFrame() const { return frame_; }
    void provisionalChanged() { provisionalCellsChanged.raise(); }

private:
    // Listens to the bound recordset on the grid's behalf.
    struct Listener : db::RecordsetListener {
        QueryGrid* grid;
        explicit Listener(QueryGrid* g) : grid(g) {}
        void willMove(db::Recordset&, bool& cancel) override {
            if (!cancel) grid->movedInOperation_ = false;
        }
        void moveComplete(db::Recordset&) override { grid->rowMoved(); }
        void rowsChanged(db::Recordset&) override { grid->rowSetChanged(); }
    };
    void rowSetChanged();
    void reindex();
    void rowMoved();
    // The current row changed: brought into view, then RowChanged and RowColChange.
    void reportRowChanged();
    std::shared_ptr<db::Recordset> recordset_;
    std::shared_ptr<GridSettings> settings_;
    std::vector<GridColumn> columns_;
    std::vector<long> fieldIndex_;   // per column: index in the recordset's fields, -1 none
    int numberOption_ = 0;
    std::array<bool, 3> options_{};
    bool endedColumns_ = false;
    bool closedColumns_ = false;
    RecordFrame* frame_ = nullptr;
    // One recordset operation may report a move and a row-set change: RowChanged once.
    // Set by a move, cleared when the next operation starts or its row-set change is seen.
    bool movedInOperation_ = false;
    Listener listener_{this};
    int col_ = 0;
    std::unique_ptr<DesignGridLayout> designLayout_ = std::make_unique<DesignGridLayout>(*this);
    GridLayout* viewLayout_ = nullptr;
};

}  // namespace kit
