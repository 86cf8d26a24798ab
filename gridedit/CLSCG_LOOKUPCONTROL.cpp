#include "gridedit/CLSCG_LOOKUPCONTROL.h"

#include <stdexcept>

#include "editor/ErrorTrap.h"
#include "kit/QueryGrid.h"

namespace gridedit {

using editor::ErrorTrap;
using editor::suppressErrors;

namespace {

kit::CodeEditBox& codeBox(const std::shared_ptr<db::Object>& control) {
    auto* box = dynamic_cast<kit::CodeEditBox*>(control.get());
    if (!box) throw std::runtime_error("il controllo non ha CanRequired");
    return *box;
}

}  // namespace

void CLSCG_LOOKUPCONTROL::setGriglia(std::shared_ptr<db::Object> grid) {
    ErrorTrap trap{"Griglia", suppressErrors()};
    trap([&] { griglia_ = grid; });
    trap([&] {
        auto* queryGrid = dynamic_cast<kit::QueryGrid*>(grid.get());
        if (!queryGrid) throw std::runtime_error("la griglia non ha DataSource");
        dataSource_ = queryGrid->DataSource();
    });
}

void CLSCG_LOOKUPCONTROL::AddControl(std::shared_ptr<db::Object> controllo, std::int32_t colIndex) {
    ErrorTrap trap{"AddControl", suppressErrors()};
    trap([&] { colIndex_ = colIndex; });
    trap([&] { codeBox(controllo).setCanRequired(false); });
    if (auto box = std::dynamic_pointer_cast<kit::CodeEditBox>(controllo)) {
        lookupBox_ = box;
        trap([&] {
            if (box->IsLookUp()) lookup_ = true;
        });
    }
    trap([&] { codeBox(controllo).setCanRequired(false); });
}

}  // namespace gridedit
