#pragma once
// The two public grid-editing classes, for host programs that keep edit controls laid over
// a grid's current row. For now they hold what a host sets (the window, the grid, the
// owner); registering controls and placing them over the cells is not built yet.

#include <memory>

#include "db/Variant.h"
#include "entry/ModuleObjects.h"

namespace gridedit {

class CLSCG_GRIDEDIT : public db::Object {
public:
    std::shared_ptr<db::Object> MyForm() const { return myForm_; }
    void setMyForm(std::shared_ptr<db::Object> form) { myForm_ = std::move(form); }
    std::shared_ptr<db::Object> Griglia() const { return griglia_; }
    void setGriglia(std::shared_ptr<db::Object> grid) { griglia_ = std::move(grid); }

private:
    entry::LiveObject live_;
    std::shared_ptr<db::Object> myForm_;
    std::shared_ptr<db::Object> griglia_;
};

class CLSCG_LOOKUPCONTROL : public db::Object {
public:
    // The owning CLSCG_GRIDEDIT; held weakly, the owner holds its companions.
    std::shared_ptr<db::Object> Parent() const { return parent_.lock(); }
    void setParent(const std::shared_ptr<db::Object>& parent) { parent_ = parent; }
    std::shared_ptr<db::Object> Griglia() const { return griglia_; }
    void setGriglia(std::shared_ptr<db::Object> grid) { griglia_ = std::move(grid); }

private:
    entry::LiveObject live_;
    std::weak_ptr<db::Object> parent_;
    std::shared_ptr<db::Object> griglia_;
};

}  // namespace gridedit
