#pragma once
// The host's layout object model: windows and grids register so the host can save and
// restore their layout. A registration may hand back a replacement by reference.

#include <memory>

#include "db/Variant.h"

namespace host {

class LayoutModel : public db::Object {
public:
    ~LayoutModel() override = default;
    virtual void registerWindow(const db::Variant& title, std::shared_ptr<db::Object>& window,
                                int option1 = 0, int option2 = 0, int option3 = 0) = 0;
    virtual void registerGrid(const db::Variant& name, std::shared_ptr<db::Object>& grid) = 0;
};

}  // namespace host
