// The reclassified-account box TXT_CONTOCOIN of the record frame: what it remembers when it
// gets the focus, the navigation keys that validate the account and move through the rows
// (the record frame saves the row it leaves), leaving the box, its lookup and its menu key.
// A proposed account is confirmed by a navigation key, Enter or Tab, each after validation;
// leaving the box any other way leaves it a proposal.

#include <utility>

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "editor/RowNavigation.h"

namespace editor {

void FRMCG_CORRRICL::TXT_CONTOCOIN_GotFocus() {
    ContoRiclAllIngresso = txtContoCoin_->Value();
    DescrRiclAllIngresso = db::Variant();
    try {
        if (onWorkingRow()) DescrRiclAllIngresso = rowValue("DESCRRICL");
    } catch (const std::exception&) {
        // no row to remember
    }
}

void FRMCG_CORRRICL::TXT_CONTOCOIN_KeyDown(int key, int /*shift*/) {
    ErrorTrap trap{"TXT_CONTOCOIN_KeyDown", suppressErrors()};
    trap.procedure([&] {
        const bool rowKey = isRowNavigationKey(key);
        leavingByTab_ = key == kit::keys::Tab;
        if (rowKey || key == kit::keys::Enter) {
            bool accepted = true;
            const PendingRow row =
                pendingRow(txtContoCoin_->Value(), ContoRiclPrecedente, validated_, currentRowKey());
            if (validatesOnKey(key, row)) trap([&] { accepted = ControllaContoRiclassificato(); });
            if (!accepted) {
                trap([&] { txtContoCoin_->FocusInput(); });
                return;
            }
            trap([&] {
                if (frame_) frame_->ConfirmProposal();
            });
        }
        if (!isCommitKey(key)) return;
        trap([&] {
            const std::string value = txtContoCoin_->Value();
            setRowValue("DESCRRICL", value.empty() ? db::Variant("") : DecodificaContoCoin(db::Variant(value)));
        });
        if (!rowKey) return;
        trap([&] {
            if (!onWorkingRow()) return;
            moveByKey(*gridRecordset_, key);
        });
    });
}

void FRMCG_CORRRICL::TXT_CONTOCOIN_LostFocus(bool& Cancel) {
    ErrorTrap trap{"TXT_CONTOCOIN_LostFocus", suppressErrors()};
    const bool byTab = std::exchange(leavingByTab_, false);
    trap.procedure([&] {
        const LeaveAccount leave =
            leaveAccountBox(trap, frame_.get(), byTab, [&] { return ControllaContoRiclassificato(); });
        if (leave == LeaveAccount::Refused) Cancel = true;
        if (leave != LeaveAccount::Accepted) return;
        trap([&] { txtDescrRicl_->setText(DecodificaContoCoin(db::Variant(txtContoCoin_->Value())).toText()); });
        trap([&] {
            if (!onWorkingRow()) return;
            setRowValue("CONTORICL", db::Variant(txtContoCoin_->Value()));
            setRowValue("DESCRRICL", db::Variant(txtDescrRicl_->Text()));
        });
    });
}

void FRMCG_CORRRICL::TXT_CONTOCOIN_StartLookup(bool& /*Cancel*/, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                               std::string& Str_Caption, std::string& Str_Connect) {
    ErrorTrap trap{"TXT_CONTOCOIN_StartLookup", suppressErrors()};
    trap.procedure(
        [&] { trap([&] { EseguiLookupAnagraficaPdCCoin(*txtContoCoin_, str_SQL, Arr_Fields, Str_Caption, Str_Connect); }); });
}

void FRMCG_CORRRICL::TXT_CONTOCOIN_MenuKey(const std::string& key) {
    if (key != "Kgestione") return;
    ErrorTrap trap{"TXT_CONTOCOIN_MenuKey", suppressErrors()};
    trap.procedure([&] {
        trap([&] { EseguiProgrammaAnagraficaPdC(*txtContoCoin_, db::Variant(txtContoCoin_->Value())); });
    });
}

}  // namespace editor
