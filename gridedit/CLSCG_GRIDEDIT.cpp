#include "gridedit/CLSCG_GRIDEDIT.h"

#include <algorithm>
#include <stdexcept>

#include "editor/ErrorTrap.h"
#include "gridedit/FormLinks.h"
#include "kit/Control.h"
#include "kit/QueryGrid.h"

namespace gridedit {

using editor::ErrorTrap;
using editor::suppressErrors;

kit::QueryGrid& CLSCG_GRIDEDIT::grid() const {
    auto* g = dynamic_cast<kit::QueryGrid*>(griglia_.get());
    if (!g) throw std::runtime_error("la griglia non è impostata o non è una griglia");
    return *g;
}

bool CLSCG_GRIDEDIT::hasEditor(int column) const {
    return column >= 0 && column < static_cast<int>(editors_.size()) && editors_[column] != nullptr;
}

kit::Control& CLSCG_GRIDEDIT::editor(int column) const {
    auto* control = dynamic_cast<kit::Control*>(editors_.at(column).get());
    if (!control) throw std::runtime_error("il controllo della colonna " + std::to_string(column) + " non è un controllo");
    return *control;
}

std::shared_ptr<CLSCG_LOOKUPCONTROL> CLSCG_GRIDEDIT::companion(int column) const {
    if (column < 0 || column >= static_cast<int>(companions_.size())) return nullptr;
    return companions_[column];
}

double CLSCG_GRIDEDIT::Y(double v) const { return transformY(myForm_, v); }

void CLSCG_GRIDEDIT::setGriglia(std::shared_ptr<db::Object> grid) {
    ErrorTrap trap{"Griglia", suppressErrors()};
    trap([&] { griglia_ = std::move(grid); });
    trap([&] { columnCount_ = db::Variant(this->grid().Columns().Count()).toInt16(); });
    trap([&] {
        editors_.assign(static_cast<std::size_t>(std::max<int>(columnCount_, 0)), nullptr);
        companions_.assign(editors_.size(), nullptr);
    });
}

void CLSCG_GRIDEDIT::AddControl(std::shared_ptr<db::Object> controllo, std::int16_t colonna) {
    ErrorTrap trap{"AddControl", suppressErrors()};
    if (!griglia_) {
        trap([&] { plainMessageBox(myForm_, "Settare prima la Griglia", 16, "Informazione"); });
        return;
    }
    trap([&] { editors_.at(colonna) = controllo; });
    auto companion = std::make_shared<CLSCG_LOOKUPCONTROL>();
    trap([&] { companion->setParent(shared_from_this()); });
    trap([&] { companion->setGriglia(griglia_); });
    trap([&] { companion->AddControl(editors_.at(colonna), colonna); });
    trap([&] { companions_.at(colonna) = companion; });
}

}  // namespace gridedit
