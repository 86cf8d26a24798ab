#pragma once
// The correlation editor window: one instance per ShowForm of an entry class, editing the
// correlations of the kind written into its kind holder. Built from the control kit's models
// only, so the same window runs under the desktop shell, the automation driver and the tests.
//
// Naming: what the module's users and procedures already call by name keeps that name
// verbatim: the Italian procedures (ValorizzaGrid, AggiornaCorrelazioniCG83_PC07_CGH0 ...),
// the controls (TXT_CONTOCOIN, FME_CORRRICL ...) and their handlers, named CONTROL_Event
// (TXT_CONTOCOIN_LostFocus, Form_Load). Everything else is English in one style:
// lowerCamelCase functions, UpperCamel types, members with a trailing underscore. Every
// control is reachable by name (get<T>); beyond that a control has one accessor at most,
// for a caller that needs it: the typed control, or its text where that is all it needs.
//
// Source areas (one file each):
//   EditorWiring.cpp        every handler of the window, connected once by the constructor,
//                           as a table: control, event, handler
//   EditorControls.cpp      the controls with their design properties and layout; fieldText
//   EditorLifecycle.cpp     creation, load, placement, activation, query-unload, unload,
//                           TraduzioneStringhe, and the navigator and script notices
//   EditorConnection.cpp    the editor's own connection, and closing when it cannot open
//   EditorMessages.cpp      ShowMessage, VisualizzaErrore, the error-trap reporters
//   EditorWorkingTable.cpp  CreaTabella and the grid fills ValorizzaGrid, ValorizzaGridNew,
//                           ValorizzaGridOld
//   EditorGridFrame.cpp     CaricaComboSegno, INITGRID_CORRPDC, ImpostaVirtualFrame,
//                           ProponiContoRiclassificato, EseguiQuery and the handlers of the
//                           record frame, grid, navigator, TXT_CONTO and BUT_NUOVACORR
//   EditorAccountBox.cpp    the handlers of the reclassified-account box TXT_CONTOCOIN
//   EditorPersistence.cpp   ControllaContoRiclassificato, EsisteContoRiclassificato and
//                           AggiornaCorrelazioniCG83_PC07_CGH0 (gather, saveCorrelation, apply)
//   EditorHandoff.cpp       ImpostaCorrelazioneIntermediCliFor
//   EditorCodeFields.cpp    FormattaConto, the account mask, the header chart fields'
//                           handlers and host components, DecodificaContoCoin and the
//                           reclassified accounts' lookup and maintenance program
//   EditorMasters.cpp       GetMastroCliFor, DeterminaMastriCliFor
//   EditorIntercompany.cpp  GetStrConnectIntercompany, GetConnectIntercompany and the
//                           handlers of TXT_CODINTERCOMPANY
//   EditorIntermediCall.cpp BUT_CORRINTERMEDI: the intermediaries editor, modal, which sees
//                           this editor as an IntermediCaller (IntermediCaller.h)
//   EditorCeeCall.cpp       BUT_CORRINFRANNUALECEE: the correlation by CEE scheme, modal,
//                           which sees this editor as a CeeCaller (CeeCaller.h)
//   EditorPrint.cpp         BUT_STAMPA_ButtonClick and the host's correlation report
// Beside them, what the sibling windows share: ErrorTrap and Required (all of them),
// CorrelationSave (the save of one correlation, with its history step), MasterConflict,
// CorrelationGridSetup, RowNavigation and SaveConfirmation (the intermediaries editor too),
// IntermediCaller (the intermediaries editor), CeeCaller (the CEE window).

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "editor/CeeCaller.h"
#include "editor/CorrelationKind.h"
#include "statements/CorrelationStatements.h"
#include "editor/ErrorTrap.h"
#include "editor/SaveConfirmation.h"
#include "host/Cinterface.h"
#include "host/ClassFactory.h"
#include "host/ConnectionProvider.h"
#include "host/CorrelationReport.h"
#include "host/EditorUtility.h"
#include "host/ErrorInfo.h"
#include "host/Global.h"
#include "host/LogService.h"
#include "host/Navigator.h"
#include "host/RecordsetFactory.h"
#include "kit/Kit.h"
#include "kit/UserAction.h"

namespace entry {
class CLSCG_CORRRICL;
}

namespace editor {

// The module's application object (what the host's application notice receives) and its title.
inline constexpr const char* kApplicationTitle = "Brevanto";
struct ModuleApplication : db::Object {
    std::string title = kApplicationTitle;
};
std::shared_ptr<ModuleApplication> moduleApplication();

// Design sizes (twips).
inline constexpr int kHeaderHeight = 855;       // Frame1
inline constexpr int kIntercompanyShift = 330;  // CONS: header taller, grid lower and shorter
inline constexpr int kHostBoxWidth = 11940;
inline constexpr int kHostBoxHeight = 8280;
inline constexpr int kResizeAnchored = 12;
inline constexpr int kResizeStretchBottom = 5;

class FRMCG_CORRRICL : public kit::Form, public CeeCaller {
public:
    static constexpr const char* kFormName = "FRMCG_CORRRICL";

    // Creates the window and its kind holder; `windowSystem` shows it.
    explicit FRMCG_CORRRICL(kit::WindowSystem* windowSystem = nullptr);
    ~FRMCG_CORRRICL() override;

    // --- what the entry class and the host use ---
    std::shared_ptr<entry::CLSCG_CORRRICL> KindHolder() const { return kindHolder_; }
    // The kind, read from the kind holder (COGE once the holder is released).
    CorrelationKind kind() const;
    std::shared_ptr<host::Cinterface> EntryClass() const { return entry_; }
    void setEntryClass(std::shared_ptr<host::Cinterface> entryClass) { entry_ = std::move(entryClass); }
    // The recordset the grid shows (read-only reference: the editor replaces it on refills).
    std::shared_ptr<db::Recordset> GridRecordset() const { return gridRecordset_; }
    std::shared_ptr<kit::QueryGrid> Grid() const { return grid_; }
    std::shared_ptr<db::Connection> EditorConnection() const { return connection_; }
    // The text of a control by name ("" for an unknown one), for the export.
    std::string fieldText(const std::string& controlName) const;
    const std::string& StringaConnessioneHost() const { return stringaConnessioneHost_; }

    // --- what the intermediaries editor uses as well ---
    std::int16_t ShowMessage(std::int32_t& Tipo, const db::Variant& CodiceErr,
                             const std::optional<db::Variant>& CodiceDett = std::nullopt,
                             const std::optional<db::Variant>& ValPar1 = std::nullopt,
                             const std::optional<db::Variant>& ValPar2 = std::nullopt,
                             std::optional<std::int32_t> DefaultButton = std::nullopt);
    std::string FormattaConto(std::int16_t NumLivelli) const;
    db::Variant ValoreNonVuoto(const db::Variant& value, const db::Variant& fallback) const;
    void GetMastroCliFor(db::Variant& MastroClienti, db::Variant& MastroFornitori);
    std::shared_ptr<db::Connection> GetConnectIntercompany();
    const std::string& NomeDatabaseIntercompany() const { return nomeDatabaseIntercompany_; }

    // ===== fields: header code fields, masters, intercompany =====
    // (EditorCodeFields.cpp, EditorMasters.cpp, EditorIntercompany.cpp)
    // Description of reclassified account `conto` in the chart of TXT_CODICE_RICL, or "".
    db::Variant DecodificaContoCoin(const db::Variant& conto);
    // Lookup of the accounts of the chart in TXT_CODICE_RICL for an account box (also the
    // intermediaries editor's); sets the box's IDLookup.
    void EseguiLookupAnagraficaPdCCoin(kit::CoinAccountBox& TextEditConto, std::string& str_SQL,
                                       kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                                       std::string& Str_Connect);
    // The host's maintenance program of the reclassification accounts; the chosen account is
    // written back into ConnectField.
    void EseguiProgrammaAnagraficaPdC(kit::Control& ConnectField, db::Variant conto);
    // CGC0_DITTA_CG18 of the validated intercompany structure ("" outside CONS).
    const std::string& DittaIntercompany() const { return dittaIntercompany_; }
    // ===== end fields =====

    // ===== rows: grid fills, record frame, saving, the reclassified-account box =====
    // (EditorWorkingTable.cpp, EditorGridFrame.cpp, EditorPersistence.cpp,
    //  EditorAccountBox.cpp, EditorHandoff.cpp)
    bool ValorizzaGrid();
    bool EsisteContoRiclassificato(const db::Variant& CodicePdcRicl, const db::Variant& ContoRicl);
    void AggiornaCorrelazioniCG83_PC07_CGH0();

    // The header's charts, as the windows this editor opens read them.
    const std::string& CodicePdcText() const { return txtCodicePdc_->Text(); }
    const std::string& CodiceRiclText() const { return txtCodiceRicl_->Text(); }
    // The account the database holds for the current row, as the editor knows it ("" none):
    // what the next save of the row replaces.
    const std::string& storedAccount() const { return ContoRiclPrecedente; }
    // ===== end rows =====

private:
    // Tests reach the few internals they check through this (tests/module/EditorTestAccess.h).
    friend struct EditorTestAccess;

    // --- rows: the grid fills and steps only the editor takes ---
    bool ValorizzaGridNew();
    bool ValorizzaGridOld();
    void ImpostaCorrelazioneIntermediCliFor();
    std::string ProponiContoRiclassificato();
    bool EseguiQuery();

    // --- the editor's own procedures ---
    bool activated() const { return activated_; }
    // The three dictionary texts of TraduzioneStringhe (intermediaries caption and texts).
    const std::string& dictionaryText(int index) const { return dictionaryTexts_.at(static_cast<std::size_t>(index)); }
    // Reports the current error (the one the last trap caught) raised in SubOrFunctionName.
    std::int32_t VisualizzaErrore(const std::string& SubOrFunctionName);
    db::Variant ExecuteFormEvent(const db::Variant& eventName);
    void InizializzaScriptELayout();
    void TraduzioneStringhe();
    db::Variant AggiornaNavigatore();
    void CaricaComboSegno();
    void INITGRID_CORRPDC();
    void ImpostaVirtualFrame();
    std::shared_ptr<kit::RecordFrame> RecordFrame() const { return frame_; }
    std::shared_ptr<host::ReclChartFinder> ReclChartFinder() const { return reclChartFinder_; }
    std::shared_ptr<host::ReclChartDecoder> ReclChartDecoder() const { return reclChartDecoder_; }
    // True when the working table was made (a failure has been reported).
    bool CreaTabella();
    std::string GetStrConnectIntercompany();
    // The masters as the host's ledger-chart parameters report them (no statement).
    void DeterminaMastriCliFor(const db::Variant& CodicePdC, db::Variant& MastroClienti, db::Variant& MastroFornitori);

    // EditorWiring.cpp: every handler of the window, connected once by the constructor.
    void connectHandlers();
    // EditorControls.cpp
    void createControls();
    void anchorControls();
    // The fields' hints name what they hold in the window's kind.
    void setHintsForKind();
    // EditorLifecycle.cpp
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload(bool& cancel, int mode);
    void Form_Unload();
    void MdiHostBox_PlacementRequest();
    void FormResizer_RegisterControls();
    void setUpForKind();
    // EditorConnection.cpp: opens the editor's own connection at load; when it cannot be
    // opened the window tells the user once (database and reason) and closes itself.
    bool openOwnConnection();
    bool closingUnopened() const { return connectionRefused_; }
    // EditorCodeFields.cpp: the chart finder and decoder of the PC01 charts, kept for the
    // window's lifetime (the code fields' handlers use them).
    void CreaComponentiPianiRiclassificazione();
    void RilasciaComponentiPianiRiclassificazione();
    // ===== fields: private part =====
    // EditorCodeFields.cpp
    void CalcolaMascheraConto();
    std::int32_t DeterminaTipoPdcRicl(const db::Variant& code);
    bool PdCConfigurato(const db::Variant& code);
    void CercaPdcRiclCorrelati(std::string& str_SQL, kit::LookupFields& Arr_Fields, std::string& Str_Caption,
                               std::string& Str_Connect);
    void TXT_CODICE_PDC_StartDecode(bool& Cancel, std::string& str_SQL, kit::DecodeFields& Arr_Fields,
                                    std::string& Str_Connect);
    void TXT_CODICE_PDC_StartLookup(bool& Cancel, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                    std::string& Str_Caption, std::string& Str_Connect);
    void TXT_CODICE_PDC_Validate(bool& Cancel);
    void TXT_CODICE_PDC_KeyButtonMenuPress(const std::string& key);
    void TXT_CODICE_RICL_StartDecode(bool& Cancel, std::string& str_SQL, kit::DecodeFields& Arr_Fields,
                                     std::string& Str_Connect);
    void TXT_CODICE_RICL_StartLookup(bool& Cancel, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                     std::string& Str_Caption, std::string& Str_Connect);
    void TXT_CODICE_RICL_AfterItem(bool& Cancel);
    void TXT_CODICE_RICL_KeyButtonMenuPress(const std::string& key);
    // EditorIntercompany.cpp
    bool ValorizzaDittaDatabaseIntercompany();
    void ValorizzaPianoDeiContiByIntercompany();
    void ApriProgrammaIntercompany(const db::Variant& mode);
    void TXT_CODINTERCOMPANY_GotFocus();
    void TXT_CODINTERCOMPANY_StartDecode(bool& Cancel, std::string& str_SQL, kit::DecodeFields& Arr_Fields,
                                         std::string& Str_Connect);
    void TXT_CODINTERCOMPANY_StartLookup(bool& Cancel, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                         std::string& Str_Caption, std::string& Str_Connect);
    void TXT_CODINTERCOMPANY_Validate(bool& Cancel);
    void TXT_CODINTERCOMPANY_KeyButtonMenuPress(const std::string& key);

    bool LookupPersonalizzato = false;          // true only while the "Kpers1" lookup runs
    db::Variant CodIntercompanyAllIngresso;     // TXT_CODINTERCOMPANY's text when it got the focus
    std::string dittaIntercompany_;
    // ===== end fields =====
    // EditorMessages.cpp
    ErrorReporter errorRoutine();     // VisualizzaErrore
    ErrorReporter utilityRoutine();   // the utility's error report (load, activation, buttons)
    void rememberError(const TrappedError& e);

    std::shared_ptr<host::Global> global() const;
    std::shared_ptr<host::Navigator> navigator() const;
    std::shared_ptr<host::ClassFactory> classFactory() const;

    std::shared_ptr<entry::CLSCG_CORRRICL> kindHolder_;
    std::shared_ptr<host::Cinterface> entry_;
    std::shared_ptr<host::LogService> log_;
    std::shared_ptr<host::EditorUtility> utility_;
    std::shared_ptr<host::ConnectionProvider> provider_;
    std::shared_ptr<db::Connection> connection_;
    std::shared_ptr<host::RecordsetFactory> recordsetFactory_;
    std::shared_ptr<db::Recordset> gridRecordset_;
    std::shared_ptr<db::Object> frameHostInterface_;   // what the record frame handed back
    // The record frame FME_CORRRICL exists with the window (its handlers are wired with the
    // controls'); frame_ holds it from ImpostaVirtualFrame's Init to the unload, and is null
    // while the frame serves no rows.
    std::shared_ptr<kit::RecordFrame> fmeCorrricl_;
    std::shared_ptr<kit::RecordFrame> frame_;
    // Host components released by the unload; created by the code fields, the print and
    // the programs they open.
    std::shared_ptr<host::ReclChartFinder> reclChartFinder_;
    std::shared_ptr<host::ReclChartDecoder> reclChartDecoder_;
    std::shared_ptr<host::CorrelationReport> correlationReport_;   // only while a print runs
    std::shared_ptr<db::Object> reclProgramLauncher_, ledgerProgramLauncher_;

    std::string stringaConnessioneHost_;
    std::string nomeDatabaseIntercompany_;
    std::string mascheraConto_;
    std::array<std::string, 3> dictionaryTexts_;
    bool activated_ = false;
    bool connectionRefused_ = false;   // the load could not open the connection: closing
    bool gridLoading_ = false;
    host::ErrorInfo currentError_;

    // Controls (owned by the form; typed shortcuts).
    std::shared_ptr<kit::GroupFrame> frame1_;
    std::shared_ptr<kit::CaptionLabel> lblCodIntercompany_, lblCodPdc_, lblCodRicl_, lblConto_;
    std::shared_ptr<kit::CodeEditBox> txtCodIntercompany_, txtDescrIntercompany_;
    std::shared_ptr<kit::CodeEditBox> txtCodicePdc_, txtDescPdc_, txtCodiceRicl_, txtDescrChartRicl_;
    std::shared_ptr<kit::CaptionLabel> txtNumLivelli_, txtNumLivelliCons_, txtNumLivelliRicl_;
    std::shared_ptr<kit::QueryGrid> grid_;
    std::shared_ptr<kit::GridNavigator> gridNav_;
    std::shared_ptr<kit::CodeEditBox> txtKey_, txtDescrPdc_, txtDescrRicl_;
    std::shared_ptr<kit::ListCombo> cboSegno_;
    std::shared_ptr<kit::CoinAccountBox> txtContoCoin_;
    std::shared_ptr<kit::LedgerAccountBox> txtConto_;
    std::shared_ptr<kit::MenuButton> butNuovaCorr_, butStampa_, butCorrIntermedi_, butCorrInfrannualeCee_;
    std::shared_ptr<kit::GroupFrame> grbCheck_;
    std::shared_ptr<kit::ImageBox> imgCheck_;
    std::shared_ptr<kit::MdiHostBox> hostBox_;
    std::shared_ptr<kit::FormResizer> resizer_;

    // ===== rows: private part =====
    // EditorGridFrame.cpp: the handlers of the record frame, the grid, the navigator, the
    // search box and the new-correlation button.
    void FME_CORRRICL_AfterUpdate(int fenm_operationresult);
    void FME_CORRRICL_BeforeAddNew(bool& fbol_Cancel);
    void FME_CORRRICL_BeforeDelete(bool& fbol_Cancel);
    void FME_CORRRICL_BeforeUndo(bool& fbol_Cancel);
    void FME_CORRRICL_BeforeUpdate(bool& fbol_Cancel);
    void FME_CORRRICL_ChangeStatus(int fenm_status, int fenm_reason);
    // Before the frame writes a changed row: validates an account not yet accepted on the
    // row, and on closing asks whether to save it (kit::UpdateReason, kit::UpdateDecision).
    void FME_CORRRICL_ConfirmUpdate(int reason, int& decision);
    void GRID_CORRPDC_RowChanged();
    void GRID_CORRPDC_CellText(std::string& text, const std::string& field);
    void GRIDNAV_ButtonPressed(const std::string& button);
    void GRIDNAV_AfterAction();
    void TXT_CONTO_Search(bool& cancel);
    void TXT_CONTO_ConnectionStringRequest(bool& useOwn, std::string& connect);
    void BUT_NUOVACORR_ButtonClick();
    // EditorAccountBox.cpp: TXT_CONTOCOIN.
    void TXT_CONTOCOIN_GotFocus();
    void TXT_CONTOCOIN_KeyDown(int key, int shift);
    void TXT_CONTOCOIN_LostFocus(bool& Cancel);
    void TXT_CONTOCOIN_StartLookup(bool& Cancel, std::string& str_SQL, kit::LookupFields& Arr_Fields,
                                   std::string& Str_Caption, std::string& Str_Connect);
    void TXT_CONTOCOIN_MenuKey(const std::string& key);
    // EditorPersistence.cpp
    bool ControllaContoRiclassificato();
    // The current row's bookmark (Empty off the rows), the key of what validation accepted.
    db::Variant currentRowKey() const;
    // EditorHandoff.cpp
    bool RecordsetVuoto(const std::shared_ptr<db::Recordset>& rs) const;
    // Small helpers over the current working row (EditorGridFrame.cpp).
    bool onWorkingRow() const;
    db::Variant rowValue(const char* field) const;
    // Writes a field of the current row only when its value differs (Null and "" alike): a
    // write marks the frame's row as changed, and an unchanged row must not be saved again.
    void setRowValue(const char* field, const db::Variant& value);

    std::shared_ptr<kit::CoinAccountBox> pTxtContoCoIn_;
    std::shared_ptr<kit::LedgerAccountBox> pTxtContoCoge_;
    // See storedAccount(); set when a row is shown and after each save.
    std::string ContoRiclPrecedente;
    // The box's value and the row's DESCRRICL when the box got the focus (or its row was
    // shown): a refused account goes back to them.
    db::Variant ContoRiclAllIngresso;
    db::Variant DescrRiclAllIngresso;
    // The description that goes with ContoRiclPrecedente, so that a refused save can put the
    // row back to what the database holds.
    db::Variant descrRiclPrecedente_;
    db::Variant descrRiclPrecedenteFor_;   // the account that description belongs to
    // The account validation accepted on the current row; set by ControllaContoRiclassificato.
    ValidatedAccount validated_;
    // Tab was pressed in the account box: its LostFocus confirms a proposal.
    bool leavingByTab_ = false;
    // The last attempt to leave the row was refused by validation (its message was shown):
    // the navigator then leaves the focus in the account box instead of checking it again.
    bool leaveRefused_ = false;
    // Descriptions already read during the user's current action, by statement: the key that
    // confirms a row reads the typed account's description and the save reads it again.
    kit::ActionMemo<std::string> descriptionsThisAction_;
    // ===== end rows =====

    // ===== intermediaries hand-off: private part (EditorIntermediCall.cpp) =====
    // This editor as the intermediaries editor's IntermediCaller, for the time it is shown.
    class IntermediSide;
    void CallFrmCorrIntermediRicl();
    void BUT_CORRINTERMEDI_ButtonClick();
    // ===== end intermediaries hand-off =====

    // ===== interim balances by CEE hand-off: private part (EditorCeeCall.cpp) =====
    void BUT_CORRINFRANNUALECEE_ButtonClick();
    // Opens the interim-balance correlation by CEE scheme modally on this editor's charts,
    // then refreshes the navigator.
    void ShowForm_CorrelaByCee();
    // What that window sees of this editor beyond the public members above (CeeCaller.h).
    std::shared_ptr<host::EditorUtility> CeeUtility() const override { return utility_; }
    ErrorReporter CeeErrorRoutine() override { return utilityRoutine(); }
    void EscludiCodiciDaTabulazione() override;
    // ===== end interim balances by CEE hand-off =====

    // ===== printing: private part (EditorPrint.cpp) =====
    void BUT_STAMPA_ButtonClick();
    // ===== end printing =====
};

}  // namespace editor
