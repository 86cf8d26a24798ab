// The intermediaries button: it opens the intermediaries editor modally on the current
// master row, and when that window has closed brings this editor back: the host learns it is
// the current program again, the button and the check mark are recomputed, and the working
// rows are read again (the window may have changed the master's correlations) without losing
// the row the user was on.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "intermedi/FRMCG_CORRINTERMEDI.h"

namespace editor {

void FRMCG_CORRRICL::BUT_CORRINTERMEDI_ButtonClick() {
    try {
        CallFrmCorrIntermediRicl();
    } catch (const std::exception&) {
        // a click never lets an error out to the host
    }
}

void FRMCG_CORRRICL::CallFrmCorrIntermediRicl() {
    ErrorTrap trap{"CallFrmCorrIntermediRicl", errorRoutine()};
    trap.procedure([&] {
        // A row the user changed is saved first: the window reads the master's correlations
        // from the database and the refresh below reads the working rows again. A proposal is
        // dropped; an account that validation refuses keeps the user on the row.
        bool rowLeft = true;
        trap([&] {
            if (frame_) rowLeft = frame_->SaveBeforeLeaving();
        });
        if (!rowLeft) return;
        {
            std::shared_ptr<intermedi::FRMCG_CORRINTERMEDI> window;
            trap([&] {
                window = std::make_shared<intermedi::FRMCG_CORRINTERMEDI>(windowSystemOrNull());
                window->ClsChiamante = entry_;
                window->FrmChiamante = this;
            });
            // The window's own errors are its own; whatever happens there, this editor is
            // brought back below.
            trap([&] {
                if (window) window->show(true);
            });
            trap([&] {
                if (!window) return;
                if (window->isLoaded()) window->close();
                window->FrmChiamante = nullptr;
                window.reset();
            });
        }
        trap([&] { AggiornaNavigatore(); });
        trap([&] { ImpostaCorrelazioneIntermediCliFor(); });

        db::Variant bookmark;
        trap([&] { grid_->setRecordset(nullptr); });
        trap([&] {
            if (onWorkingRow()) bookmark = gridRecordset_->Bookmark();
        });
        trap([&] { ValorizzaGridNew(); });
        trap([&] {
            if (!bookmark.isEmpty() && gridRecordset_ && gridRecordset_->State() == db::ado::adStateOpen)
                gridRecordset_->setBookmark(bookmark);
        });
        trap([&] {
            if (gridRecordset_) grid_->setRecordset(gridRecordset_);
        });
        trap([&] { txtContoCoin_->SetFocus(); });
    });
}

}  // namespace editor
