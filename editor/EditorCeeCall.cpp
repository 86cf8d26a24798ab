// The interim-balances button of kind COGE: it opens the correlation by CEE scheme modally on
// this editor's charts; when that window has closed the host's navigator is brought up to
// date. The window itself refills the grid after a run that changed correlations.

#include "bycee/FRMCG_CORRRICLBYCEE.h"
#include "editor/FRMCG_CORRRICL.h"
#include "editor/ModalChild.h"
#include "editor/Required.h"

namespace editor {

void FRMCG_CORRRICL::BUT_CORRINFRANNUALECEE_ButtonClick() {
    withinHandler([&] { ShowForm_CorrelaByCee(); });
}

void FRMCG_CORRRICL::ShowForm_CorrelaByCee() {
    ErrorTrap trap{"ShowForm_CorrelaByCee", utilityRoutine()};
    trap.procedure([&] {
        {
            std::shared_ptr<bycee::FRMCG_CORRRICLBYCEE> window;
            trap([&] {
                window = std::make_shared<bycee::FRMCG_CORRRICLBYCEE>(windowSystemOrNull());
                window->FrmChiamante = this;
                window->ClsChiamante = entry_;
            });
            showModalChild(trap, window);
        }
        trap([&] { AggiornaNavigatore(); });
    });
}

void FRMCG_CORRRICL::EscludiCodiciDaTabulazione() {
    txtCodicePdc_->setTabStop(false);
    txtCodiceRicl_->setTabStop(false);
}

}  // namespace editor
