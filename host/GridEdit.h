#pragma once
// The public interfaces of the module's two grid-editing classes, for host programs that keep
// edit controls laid over the cells of a grid's current row. A host creates them by
// programmatic name ("Brevanto.CLSCG_GRIDEDIT", "Brevanto.CLSCG_LOOKUPCONTROL") and talks to
// them only through these interfaces. Objects are passed as the host holds them: the window
// (a kit::Form with a form resizer named QVA_RESIZEFORM1), the grid (a kit::QueryGrid) and
// the edit controls (kit controls of that window). No member reports a failure: a step that
// cannot be done is skipped.

#include <cstdint>
#include <memory>

#include "db/Variant.h"

namespace host {

class GridEdit : public db::Object {
public:
    virtual std::shared_ptr<db::Object> MyForm() const = 0;
    virtual void setMyForm(std::shared_ptr<db::Object> form) = 0;
    virtual void setGriglia(std::shared_ptr<db::Object> grid) = 0;
    virtual std::shared_ptr<db::Object> Griglia() const = 0;
    // Registers the edit control of grid column `colonna` (0-based).
    virtual void AddControl(std::shared_ptr<db::Object> controllo, std::int16_t colonna) = 0;
    // Called by the window from its grid's row/column-change events (and after a scroll).
    virtual void Griglia_RowColChange() = 0;
    // Called by the window from its grid's column-resize event.
    virtual void Griglia_ColResize(std::int16_t colIndex) = 0;
};

// The per-column companion a GridEdit creates for each registered control.
class LookupControl : public db::Object {
public:
    virtual std::shared_ptr<db::Object> Parent() const = 0;
    virtual void setParent(std::shared_ptr<db::Object> parent) = 0;
    virtual void setGriglia(std::shared_ptr<db::Object> grid) = 0;
    virtual void AddControl(std::shared_ptr<db::Object> controllo, std::int32_t colIndex) = 0;
};

}  // namespace host
