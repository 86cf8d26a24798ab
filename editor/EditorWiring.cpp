// Every handler of the correlation editor, connected once when the window is created (its
// controls and its record frame exist by then), read as a table: control, event, handler.
// The window's own events come first, so Form_Load is the first Load handler and anything a
// caller connects later (the entry class following the closing) runs after the editor's.
// A control's handlers run in the order listed.

#include "editor/FRMCG_CORRRICL.h"

namespace editor {

void FRMCG_CORRRICL::connectHandlers() {
    // ---- the window ------------------------------------------------------------------------
    Load.connect([this] { Form_Load(); });
    Activate.connect([this] { Form_Activate(); });
    QueryUnload.connect([this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); });
    Unload.connect([this] { Form_Unload(); });
    hostBox_->PlacementRequest.connect([this] { MdiHostBox_PlacementRequest(); });
    resizer_->RegisterControls.connect([this] { FormResizer_RegisterControls(); });

    // ---- header code fields ----------------------------------------------------------------
    txtCodicePdc_->StartDecode.connect([this](bool& c, std::string& sql, kit::DecodeFields& f, std::string& conn) {
        TXT_CODICE_PDC_StartDecode(c, sql, f, conn);
    });
    txtCodicePdc_->StartLookup.connect(
        [this](bool& c, std::string& sql, kit::LookupFields& f, std::string& caption, std::string& conn) {
            TXT_CODICE_PDC_StartLookup(c, sql, f, caption, conn);
        });
    txtCodicePdc_->Validate.connect([this](bool& c) { TXT_CODICE_PDC_Validate(c); });
    txtCodicePdc_->KeyButtonMenuPress.connect([this](const std::string& k) { TXT_CODICE_PDC_KeyButtonMenuPress(k); });

    txtCodiceRicl_->StartDecode.connect([this](bool& c, std::string& sql, kit::DecodeFields& f, std::string& conn) {
        TXT_CODICE_RICL_StartDecode(c, sql, f, conn);
    });
    txtCodiceRicl_->StartLookup.connect(
        [this](bool& c, std::string& sql, kit::LookupFields& f, std::string& caption, std::string& conn) {
            TXT_CODICE_RICL_StartLookup(c, sql, f, caption, conn);
        });
    txtCodiceRicl_->AfterItem.connect([this](bool& c) { TXT_CODICE_RICL_AfterItem(c); });
    txtCodiceRicl_->KeyButtonMenuPress.connect([this](const std::string& k) { TXT_CODICE_RICL_KeyButtonMenuPress(k); });

    txtCodIntercompany_->GotFocus.connect([this] { TXT_CODINTERCOMPANY_GotFocus(); });
    txtCodIntercompany_->StartDecode.connect(
        [this](bool& c, std::string& sql, kit::DecodeFields& f, std::string& conn) {
            TXT_CODINTERCOMPANY_StartDecode(c, sql, f, conn);
        });
    txtCodIntercompany_->StartLookup.connect(
        [this](bool& c, std::string& sql, kit::LookupFields& f, std::string& caption, std::string& conn) {
            TXT_CODINTERCOMPANY_StartLookup(c, sql, f, caption, conn);
        });
    txtCodIntercompany_->Validate.connect([this](bool& c) { TXT_CODINTERCOMPANY_Validate(c); });
    txtCodIntercompany_->KeyButtonMenuPress.connect(
        [this](const std::string& k) { TXT_CODINTERCOMPANY_KeyButtonMenuPress(k); });

    // ---- grid, navigator, search box -------------------------------------------------------
    grid_->RowChanged.connect([this] { GRID_CORRPDC_RowChanged(); });
    grid_->CellText.connect(
        [this](std::string& text, const std::string& field, int) { GRID_CORRPDC_CellText(text, field); });
    gridNav_->ButtonPressed.connect([this](const std::string& button) { GRIDNAV_ButtonPressed(button); });
    gridNav_->AfterAction.connect([this] { GRIDNAV_AfterAction(); });
    txtConto_->Search.connect([this](bool& cancel) { TXT_CONTO_Search(cancel); });
    txtConto_->ConnectionStringRequest.connect(
        [this](bool& useOwn, std::string& connect) { TXT_CONTO_ConnectionStringRequest(useOwn, connect); });

    // ---- the reclassified-account box ------------------------------------------------------
    txtContoCoin_->GotFocus.connect([this] { TXT_CONTOCOIN_GotFocus(); });
    txtContoCoin_->KeyDown.connect([this](int key, int shift) { TXT_CONTOCOIN_KeyDown(key, shift); });
    txtContoCoin_->LostFocus.connect([this](bool& cancel) { TXT_CONTOCOIN_LostFocus(cancel); });
    txtContoCoin_->StartLookup.connect([this](bool& cancel, std::string& sql, kit::LookupFields& fields,
                                              std::string& caption, std::string& connect) {
        TXT_CONTOCOIN_StartLookup(cancel, sql, fields, caption, connect);
    });
    txtContoCoin_->MenuKey.connect([this](const std::string& key) { TXT_CONTOCOIN_MenuKey(key); });

    // ---- the record frame (initialised by ImpostaVirtualFrame) -----------------------------
    fmeCorrricl_->AfterUpdate.connect([this](int result) { FME_CORRRICL_AfterUpdate(result); });
    fmeCorrricl_->BeforeAddNew.connect([this](bool& cancel) { FME_CORRRICL_BeforeAddNew(cancel); });
    fmeCorrricl_->BeforeDelete.connect([this](bool& cancel) { FME_CORRRICL_BeforeDelete(cancel); });
    fmeCorrricl_->BeforeUndo.connect([this](bool& cancel) { FME_CORRRICL_BeforeUndo(cancel); });
    fmeCorrricl_->BeforeUpdate.connect([this](bool& cancel) { FME_CORRRICL_BeforeUpdate(cancel); });
    fmeCorrricl_->ChangeStatus.connect([this](int status, int reason) { FME_CORRRICL_ChangeStatus(status, reason); });
    fmeCorrricl_->ConfirmUpdate.connect(
        [this](int reason, int& decision) { FME_CORRRICL_ConfirmUpdate(reason, decision); });

    // ---- buttons ---------------------------------------------------------------------------
    butNuovaCorr_->ButtonClick.connect([this] { BUT_NUOVACORR_ButtonClick(); });
    butStampa_->ButtonClick.connect([this] { BUT_STAMPA_ButtonClick(); });
    butCorrIntermedi_->ButtonClick.connect([this] { BUT_CORRINTERMEDI_ButtonClick(); });
    butCorrInfrannualeCee_->ButtonClick.connect([this] { BUT_CORRINFRANNUALECEE_ButtonClick(); });
}

}  // namespace editor
