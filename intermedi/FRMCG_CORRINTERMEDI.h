#pragma once
// The intermediaries editor: a modal window opened by the correlation editor on the row of a
// customers' or suppliers' master account. It lists the master account and one sub-account
// per intermediary of the company (the master's code with the intermediary's number in
// places 3-4), once per sign, in its own working table #CORRINTERMEDI, and saves each row the
// user confirms at once: the master's own rows into the kind's correlation table (with the
// editors' common save, editor::saveCorrelation), the intermediaries' rows into
// CG93_CORRINTERMEDIRICL (or CGB4_CORRINTERMEDICONS in kind CONS).
//
// The window owns no connection, chart or company: it reads everything from the calling
// editor (through editor::IntermediCaller) at the moment it needs it, and the caller
// refreshes itself when the window closes.
//
// Source areas:
//   IntermediWindow.cpp       controls, load, activation, working table, grid, frame, closing
//   IntermediRows.cpp         row arrival and proposal, validation, account box, frame events
//   IntermediPersistence.cpp  the two saves (master rows, intermediary rows)

#include <cstdint>
#include <memory>
#include <string>

#include "db/Recordset.h"
#include "editor/ErrorTrap.h"
#include "editor/SaveConfirmation.h"
#include "host/Cinterface.h"
#include "host/RecordsetFactory.h"
#include "kit/Kit.h"

namespace editor {
class IntermediCaller;
}

namespace intermedi {

// The mask the window shows a sub-account code with: 2, 2 and 6 characters.
inline constexpr const char* kSubAccountMask = "@@/@@/@@@@@@";
// Lays a code into a mask of "@" positions (filled left to right) and "/" separators.
std::string formatSubAccount(const std::string& code, const std::string& mask = kSubAccountMask);

class FRMCG_CORRINTERMEDI : public kit::Form {
public:
    static constexpr const char* kFormName = "FRMCG_CORRINTERMEDI";
    static constexpr const char* kDesignCaption = "Correlazione intermedi cli/for con PdC CEE";

    explicit FRMCG_CORRINTERMEDI(kit::WindowSystem* windowSystem = nullptr);
    ~FRMCG_CORRINTERMEDI() override;

    // --- set by the caller before showing ---
    std::shared_ptr<host::Cinterface> ClsChiamante;
    // The calling editor; the caller clears it after the window closed.
    editor::IntermediCaller* FrmChiamante = nullptr;

    // --- state, for the caller and the tests ---
    bool loading() const { return loading_; }
    std::int32_t companyCode() const { return company_; }
    std::int16_t tipoCf() const { return tipoCf_; }
    const std::string& masterAccount() const { return masterAccount_; }
    std::shared_ptr<db::Recordset> WorkingRecordset() const { return recordset_; }
    std::shared_ptr<kit::RecordFrame> RecordFrame() const { return frame_; }

    db::Variant ContoRiclPrecedente = std::string();
    db::Variant ContoRiclNuovo = std::string();
    db::Variant ContoRiclAllIngresso;
    db::Variant DescrRiclAllIngresso;

    // --- procedures ---
    bool InizializzaIntermedi();
    void CaricaComboSegno();
    void INITGRID_INTERMEDI();
    void ImpostaVirtualFrameIntermedi();
    void CreaTabellaIntermedi();
    void EliminaTabellaIntermedi();
    bool ValorizzaGrid();
    db::Variant ValoreNonVuoto(const db::Variant& value, const db::Variant& fallback) const;
    bool RecordsetVuoto(const std::shared_ptr<db::Recordset>& rs) const;
    void ExecuteFormEvent(const std::string& eventName);

    std::string ProponiContoRiclassificato();
    bool ControllaContoRiclassificato();
    void SalvaCorrelazioneIntermedi();
    void AggiornaCG83CollPdcRicl();
    void AggiornaCG93CollPdcRicl();

private:
    void createControls();
    // The window's handlers, one table (IntermediWindow.cpp): connected by the constructor;
    // the record frame's when each activation makes the frame.
    void connectHandlers();
    void connectFrameHandlers();
    // IntermediWindow.cpp
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload(bool& cancel, int mode);
    void Form_Unload();
    void QGRID_INTERMEDI_RowChanged();
    void QGRID_INTERMEDI_CellText(std::string& text, const std::string& field);
    void GRIDNAV_ButtonPressed(const std::string& button);
    void QVA_RESIZEFORM1_RegisterControls();
    void BUT_CHIUDI_ButtonClick();
    // IntermediRows.cpp
    void FME_INTERMEDI_ChangeStatus(int fenm_status, int fenm_reason);
    // Before the frame writes a changed row: validation and the close question.
    void FME_INTERMEDI_ConfirmUpdate(int reason, int& decision);
    void FME_INTERMEDI_BeforeUpdate(bool& fbol_Cancel);
    void FME_INTERMEDI_BeforeDelete(bool& fbol_Cancel);
    void FME_INTERMEDI_BeforeUndo(bool& fbol_Cancel);
    void TXT_CONTOCOIN_GotFocus();
    void TXT_CONTOCOIN_LostFocus(bool& Cancel);
    void TXT_CONTOCOIN_KeyDown(int key, int shift);
    void TXT_CONTOCOIN_StartLookup(bool& Cancel, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                   std::string& Str_Caption, std::string& Str_Connect);
    void TXT_CONTOCOIN_MenuKey(const std::string& key);

    // The calling editor, or a run-time error that names it.
    editor::IntermediCaller& caller() const;
    // Procedures with an error handler report through the calling editor's VisualizzaErrore.
    editor::ErrorReporter errorRoutine() const;
    bool onRow() const;
    db::Variant rowValue(const char* field) const;
    // Writes a field of the working row only when the value differs (Null and "" alike), so
    // that writing what the row holds does not mark the frame's row as changed.
    void setRowValue(const char* field, const db::Variant& value);
    std::string reclChart() const;

    bool loading_ = false;
    // The account validation accepted on the current row; Tab pressed in the account box.
    editor::ValidatedAccount validated_;
    bool leavingByTab_ = false;
    bool leaveRefused_ = false;   // see the correlation editor's
    db::Variant currentRowKey() const;
    std::int32_t company_ = 0;
    std::int16_t tipoCf_ = -1;
    std::string masterAccount_;
    db::Variant mastroClienti_, mastroFornitori_;
    std::shared_ptr<db::Recordset> recordset_;
    std::shared_ptr<host::RecordsetFactory> recordsetFactory_;
    std::shared_ptr<db::Object> frameHostInterface_;
    std::shared_ptr<kit::RecordFrame> frame_;

    std::shared_ptr<kit::GroupFrame> frame1_;
    std::shared_ptr<kit::CodeEditBox> txtContoIntermedio_, txtKeyInterm_, txtDescrPdcInterm_, txtDescrRiclInterm_;
    std::shared_ptr<kit::ListCombo> cboSegnoInterm_;
    std::shared_ptr<kit::CoinAccountBox> txtContoCoin_;
    std::shared_ptr<kit::QueryGrid> grid_;
    std::shared_ptr<kit::GridNavigator> gridNav_;
    std::shared_ptr<kit::MenuButton> butChiudi_;
    std::shared_ptr<kit::FormResizer> resizer_;
};

}  // namespace intermedi
