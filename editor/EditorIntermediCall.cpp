// The intermediaries button: it opens the intermediaries editor modally on the current
// master row, and when that window has closed brings this editor back: the host learns it is
// the current program again, the button and the check mark are recomputed, and the working
// rows are read again (the window may have changed the master's correlations) without losing
// the row the user was on.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/ModalChild.h"
#include "editor/IntermediCaller.h"
#include "editor/Required.h"
#include "intermedi/FRMCG_CORRINTERMEDI.h"

namespace editor {

class FRMCG_CORRRICL::IntermediSide final : public IntermediCaller {
public:
    explicit IntermediSide(FRMCG_CORRRICL& editor) : ed_(editor) {}

    CorrelationKind kind() const override { return ed_.kind(); }
    std::string CodicePdcText() const override { return ed_.CodicePdcText(); }
    std::string CodiceRiclText() const override { return ed_.CodiceRiclText(); }
    std::string CodIntercompanyText() const override { return ed_.txtCodIntercompany_->Text(); }
    std::string DittaIntercompany() const override { return ed_.DittaIntercompany(); }
    std::string NomeDatabaseIntercompany() const override { return ed_.NomeDatabaseIntercompany(); }
    std::string FormattaConto(std::int16_t NumLivelli) const override { return ed_.FormattaConto(NumLivelli); }
    std::string fieldText(const std::string& controlName) const override { return ed_.fieldText(controlName); }

    std::shared_ptr<host::Cinterface> EntryClass() const override { return ed_.EntryClass(); }
    std::string StringaConnessioneHost() const override { return ed_.StringaConnessioneHost(); }
    std::shared_ptr<db::Connection> EditorConnection() const override { return ed_.EditorConnection(); }
    std::shared_ptr<db::Connection> GetConnectIntercompany() override { return ed_.GetConnectIntercompany(); }
    void GetMastroCliFor(db::Variant& MastroClienti, db::Variant& MastroFornitori) override {
        ed_.GetMastroCliFor(MastroClienti, MastroFornitori);
    }

    std::int16_t ShowMessage(std::int32_t& Tipo, const db::Variant& CodiceErr, const std::optional<db::Variant>& CodiceDett,
                             const std::optional<db::Variant>& ValPar1, const std::optional<db::Variant>& ValPar2,
                             std::optional<std::int32_t> DefaultButton) override {
        return ed_.ShowMessage(Tipo, CodiceErr, CodiceDett, ValPar1, ValPar2, DefaultButton);
    }
    ErrorReporter IntermediErrorRoutine() override { return ed_.errorRoutine(); }

    db::Variant DecodificaContoCoin(const db::Variant& conto) override { return ed_.DecodificaContoCoin(conto); }
    bool EsisteContoRiclassificato(const db::Variant& CodicePdcRicl, const db::Variant& ContoRicl) override {
        return ed_.EsisteContoRiclassificato(CodicePdcRicl, ContoRicl);
    }
    void EseguiLookupAnagraficaPdCCoin(kit::CoinAccountBox& TextEditConto, std::string& str_SQL,
                                       kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                                       std::string& Str_Connect) override {
        ed_.EseguiLookupAnagraficaPdCCoin(TextEditConto, str_SQL, Arr_Fields, Str_Caption, Str_Connect);
    }
    void EseguiProgrammaAnagraficaPdC(kit::Control& ConnectField, db::Variant conto) override {
        ed_.EseguiProgrammaAnagraficaPdC(ConnectField, std::move(conto));
    }
    kit::CoinAccountBox& HiddenCoinAccountBox() override { return *ed_.pTxtContoCoIn_; }
    kit::LedgerAccountBox& HiddenLedgerAccountBox() override { return *ed_.pTxtContoCoge_; }

    std::shared_ptr<db::Recordset> WorkingRecordset() const override { return ed_.gridRecordset_; }

private:
    FRMCG_CORRRICL& ed_;
};

void FRMCG_CORRRICL::BUT_CORRINTERMEDI_ButtonClick() {
    withinHandler([&] { CallFrmCorrIntermediRicl(); });
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
            IntermediSide side(*this);
            std::shared_ptr<intermedi::FRMCG_CORRINTERMEDI> window;
            trap([&] {
                window = std::make_shared<intermedi::FRMCG_CORRINTERMEDI>(windowSystemOrNull());
                window->ClsChiamante = entry_;
                window->FrmChiamante = &side;
            });
            // The window's own errors are its own.
            showModalChild(trap, window);
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
