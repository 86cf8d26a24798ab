#pragma once
// Keeps one edit control per grid column laid over its cell of the grid's current row: the
// window registers the controls (AddControl) and calls Griglia_RowColChange and
// Griglia_ColResize from its grid's events; the class moves each control onto its cell,
// sizes the grid's rows to the controls' height, hides the controls whose columns are out of
// view and gives the focus to the control of the current column. Every member suppresses
// errors: a statement that fails is skipped and the next one runs.

#include <cstdint>
#include <memory>
#include <vector>

#include "entry/ModuleObjects.h"
#include "gridedit/CLSCG_LOOKUPCONTROL.h"
#include "host/GridEdit.h"

namespace kit {
class Control;
class QueryGrid;
}  // namespace kit

namespace gridedit {

class CLSCG_GRIDEDIT : public host::GridEdit, public std::enable_shared_from_this<CLSCG_GRIDEDIT> {
public:
    std::shared_ptr<db::Object> MyForm() const override { return myForm_; }
    void setMyForm(std::shared_ptr<db::Object> form) override { myForm_ = std::move(form); }
    // Keeps the grid and starts over with no control registered, one slot per column.
    void setGriglia(std::shared_ptr<db::Object> grid) override;
    std::shared_ptr<db::Object> Griglia() const override { return griglia_; }
    void AddControl(std::shared_ptr<db::Object> controllo, std::int16_t colonna) override;
    void Griglia_RowColChange() override;
    void Griglia_ColResize(std::int16_t colIndex) override;

    std::int16_t columnCount() const { return columnCount_; }
    // The grid's Row + 1 at the last placement over a non-empty recordset.
    std::int16_t currentRow() const { return currentRow_; }
    // The companion of a column, or nullptr.
    std::shared_ptr<CLSCG_LOOKUPCONTROL> companion(int column) const;

private:
    kit::QueryGrid& grid() const;
    // The registered control of a column as a kit control (throws when it is not one).
    kit::Control& editor(int column) const;
    bool hasEditor(int column) const;
    // MyForm's vertical design distance at the window's current scale.
    double Y(double v) const;
    // Top and Left of column i's control over the current row (recordset not empty).
    void place(int column);
    // Shows the control when its column is in view (focusing it when it is the current
    // column's and enabled), hides it otherwise.
    void showIfInView(int column, int currentColumn);

    entry::LiveObject live_;
    std::shared_ptr<db::Object> myForm_;
    std::vector<std::shared_ptr<db::Object>> editors_;
    std::vector<std::shared_ptr<CLSCG_LOOKUPCONTROL>> companions_;
    std::int16_t columnCount_ = 0;
    std::int16_t currentRow_ = 0;
    std::shared_ptr<db::Object> griglia_;
};

}  // namespace gridedit
