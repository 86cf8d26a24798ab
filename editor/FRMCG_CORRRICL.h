#pragma once
// The correlation editor window: one instance per ShowForm of an entry class, editing the
// correlations of the kind written into its kind holder. Built from the control kit's models
// only, so the same window runs under the desktop shell, the automation driver and the tests.
//
// Source areas (one file each):
//   EditorControls.cpp      the controls with their design properties and layout
//   EditorLifecycle.cpp     creation, load, placement, activation, query-unload, unload,
//                           navigator and script notices
//   EditorMessages.cpp      ShowMessage, VisualizzaErrore, the error-trap reporters
//   EditorWorkingTable.cpp  CreaTabella (the grid fills join it with the code fields)
//   EditorGridFrame.cpp     CaricaComboSegno, INITGRID_CORRPDC, ImpostaVirtualFrame
//   EditorCodeFields.cpp    FormattaConto and the header fields' host components
//   EditorMasters.cpp       GetMastroCliFor
//   EditorIntercompany.cpp  GetStrConnectIntercompany, GetConnectIntercompany
// Saving correlations, printing and the intermediaries hand-off get their own files when
// they are built; the record-frame, grid and code-field event handlers are not connected yet.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "editor/CorrelationKind.h"
#include "editor/ErrorTrap.h"
#include "host/Cinterface.h"
#include "host/ClassFactory.h"
#include "host/ConnectionProvider.h"
#include "host/EditorUtility.h"
#include "host/ErrorInfo.h"
#include "host/Global.h"
#include "host/LogService.h"
#include "host/Navigator.h"
#include "host/RecordsetFactory.h"
#include "kit/Kit.h"

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

class FRMCG_CORRRICL : public kit::Form {
public:
    static constexpr const char* kFormName = "FRMCG_CORRRICL";

    // Creates the window and its kind holder; `windowSystem` shows it.
    explicit FRMCG_CORRRICL(kit::WindowSystem* windowSystem = nullptr);
    ~FRMCG_CORRRICL() override;

    // --- what the entry class uses ---
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

    bool activated() const { return activated_; }
    bool gridLoading() const { return gridLoading_; }
    const std::string& StringaConnessioneHost() const { return stringaConnessioneHost_; }
    // The three dictionary texts of TraduzioneStringhe (intermediaries caption and texts).
    const std::string& dictionaryText(int index) const { return dictionaryTexts_.at(static_cast<std::size_t>(index)); }

    // --- messages and errors ---
    std::int16_t ShowMessage(std::int32_t& Tipo, const db::Variant& CodiceErr,
                             const std::optional<db::Variant>& CodiceDett = std::nullopt,
                             const std::optional<db::Variant>& ValPar1 = std::nullopt,
                             const std::optional<db::Variant>& ValPar2 = std::nullopt,
                             std::optional<std::int32_t> DefaultButton = std::nullopt);
    // Reports the current error (the one the last trap caught) raised in SubOrFunctionName.
    std::int32_t VisualizzaErrore(const std::string& SubOrFunctionName);

    // --- lifecycle routines ---
    db::Variant ExecuteFormEvent(const db::Variant& eventName);
    void InizializzaScriptELayout();
    void TraduzioneStringhe();
    db::Variant AggiornaNavigatore();

    // --- grid and frame set-up ---
    void CaricaComboSegno();
    void INITGRID_CORRPDC();
    void ImpostaVirtualFrame();
    std::shared_ptr<kit::RecordFrame> RecordFrame() const { return frame_; }
    std::shared_ptr<host::ReclChartFinder> ReclChartFinder() const { return reclChartFinder_; }
    std::shared_ptr<host::ReclChartDecoder> ReclChartDecoder() const { return reclChartDecoder_; }

    // --- working table ---
    void CreaTabella();

    // --- code fields ---
    std::string FormattaConto(std::int16_t NumLivelli) const;
    db::Variant ValoreNonVuoto(const db::Variant& value, const db::Variant& fallback) const;

    // --- masters and intercompany ---
    void GetMastroCliFor(db::Variant& MastroClienti, db::Variant& MastroFornitori);
    std::string GetStrConnectIntercompany();
    std::shared_ptr<db::Connection> GetConnectIntercompany();
    const std::string& NomeDatabaseIntercompany() const { return nomeDatabaseIntercompany_; }

private:
    // EditorControls.cpp
    void createControls();
    // EditorLifecycle.cpp
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload(bool& cancel, int mode);
    void Form_Unload();
    void MdiHostBox_PlacementRequest();
    void FormResizer_RegisterControls();
    void setUpForKind();
    // EditorCodeFields.cpp: the chart finder and decoder of the PC01 charts, kept for the
    // window's lifetime (the code fields' handlers use them).
    void CreaComponentiPianiRiclassificazione();
    void RilasciaComponentiPianiRiclassificazione();
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
    std::shared_ptr<kit::RecordFrame> frame_;
    // Host components released by the unload; created by the code fields, the print and
    // the programs they open.
    std::shared_ptr<host::ReclChartFinder> reclChartFinder_;
    std::shared_ptr<host::ReclChartDecoder> reclChartDecoder_;
    std::shared_ptr<db::Object> printObject_, reclProgramLauncher_, ledgerProgramLauncher_;

    std::string stringaConnessioneHost_;
    std::string nomeDatabaseIntercompany_;
    std::string mascheraConto_;
    std::array<std::string, 3> dictionaryTexts_;
    bool activated_ = false;
    bool gridLoading_ = false;
    host::ErrorInfo currentError_;

    // Controls (owned by the form; typed shortcuts).
    std::shared_ptr<kit::GroupFrame> frame1_;
    std::shared_ptr<kit::CaptionLabel> lblCodIntercompany_, lblCodPdc_, lblCodRicl_;
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
};

}  // namespace editor
