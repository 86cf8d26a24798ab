#pragma once
// The per-column companion CLSCG_GRIDEDIT creates for each control it keeps over a grid cell:
// it clears the control's CanRequired (a cell editor never holds the user in an empty cell)
// and notes whether the control offers a lookup.

#include <cstdint>
#include <memory>

#include "db/Recordset.h"
#include "entry/ModuleObjects.h"
#include "host/GridEdit.h"
#include "kit/CodeEditBox.h"

namespace gridedit {

class CLSCG_LOOKUPCONTROL : public host::LookupControl {
public:
    // The owning CLSCG_GRIDEDIT; held weakly, the owner holds its companions.
    std::shared_ptr<db::Object> Parent() const override { return parent_.lock(); }
    void setParent(std::shared_ptr<db::Object> parent) override { parent_ = parent; }
    // Keeps the grid and the recordset it shows.
    void setGriglia(std::shared_ptr<db::Object> grid) override;
    void AddControl(std::shared_ptr<db::Object> controllo, std::int32_t colIndex) override;

    std::shared_ptr<db::Object> Griglia() const { return griglia_; }
    std::shared_ptr<db::Recordset> DataSource() const { return dataSource_; }
    std::int32_t ColIndex() const { return colIndex_; }
    // Whether the registered control is a code box that offers a lookup.
    bool IsLookUp() const { return lookup_; }

private:
    entry::LiveObject live_;
    std::weak_ptr<db::Object> parent_;
    std::shared_ptr<db::Object> griglia_;
    std::shared_ptr<db::Recordset> dataSource_;
    // The registered control when it is a code box; its events reach the companion, which
    // handles none of them.
    std::shared_ptr<kit::CodeEditBox> lookupBox_;
    bool lookup_ = false;
    std::int32_t colIndex_ = 0;
};

}  // namespace gridedit
