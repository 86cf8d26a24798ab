// The intermediaries editor as a window: its controls, the load that points the account box
// at the calling editor's connection and chart, the opening sequence that every activation
// runs (company, master and type from the calling editor's row, the working table, the grid,
// the record frame and the first row), the grid's and the navigator's events, and closing.

#include "intermedi/FRMCG_CORRINTERMEDI.h"

#include <stdexcept>
#include <utility>

#include "editor/CorrelationGridSetup.h"
#include "editor/IntermediCaller.h"
#include "editor/Required.h"
#include "host/ClassFactory.h"
#include "host/Global.h"
#include "host/MessageCenter.h"
#include "host/Navigator.h"
#include "host/ScriptModel.h"
#include "kit/Placement.h"
#include "statements/IntermediStatements.h"
#include "text/Mask.h"
#include "kit/FlagScope.h"

namespace intermedi {

using editor::ErrorTrap;
using editor::required;
using editor::suppressErrors;

namespace {

using kit::place;

constexpr int kResizeAnchored = 12;

}  // namespace

std::string formatSubAccount(const std::string& code, const std::string& mask) {
    return text::applyMask(mask, code, text::MaskFill::FromLeft);
}

FRMCG_CORRINTERMEDI::FRMCG_CORRINTERMEDI(kit::WindowSystem* windowSystem) : kit::Form(kFormName, windowSystem) {
    setCaption(kDesignCaption);
    createControls();
    connectHandlers();
}

FRMCG_CORRINTERMEDI::~FRMCG_CORRINTERMEDI() {
    // A window destroyed without its unload still lets its frame go before the recordset
    // variable the frame follows.
    if (frame_) frame_->Terminate();
    grid_->Release();
}

void FRMCG_CORRINTERMEDI::createControls() {
    setSize(10080, 6480);
    frame1_ = place(create<kit::GroupFrame>("Frame1"), 60, 0, 9960, 1260);
    txtContoIntermedio_ = place(create<kit::CodeEditBox>("TXT_CONTOINTERMEDIO"), 120, 180, 2100, 315);
    txtContoIntermedio_->setLabelCaption("Conto");
    txtKeyInterm_ = place(create<kit::CodeEditBox>("TXT_KEYINTERM"), 120, 180, 600, 315);
    txtKeyInterm_->setDbfield("FAKEID");
    txtKeyInterm_->setLabelCaption("chiave univoca");
    txtKeyInterm_->setVisible(false);   // the row key the frame binds, never shown
    txtDescrPdcInterm_ = place(create<kit::CodeEditBox>("TXT_DESCRPDCINTERM"), 2280, 180, 4800, 315);
    txtDescrPdcInterm_->setDbfield("DESCRPDC");
    txtDescrPdcInterm_->setLabelCaption("Descrizione");
    txtDescrPdcInterm_->setUpperCase(true);
    cboSegnoInterm_ = place(create<kit::ListCombo>("CBO_SEGNOINTERM"), 7140, 180, 900, 315);
    cboSegnoInterm_->setDbfield("SEGNO");
    cboSegnoInterm_->setLabelCaption("Segno");
    txtContoCoin_ = place(create<kit::CoinAccountBox>("TXT_CONTOCOIN"), 120, 780, 2700, 315);
    txtContoCoin_->setDbfield("CONTORICL");
    txtContoCoin_->setManagementCaption("Anagrafica conti");
    txtDescrRiclInterm_ = place(create<kit::CodeEditBox>("TXT_DESCRRICLINTERM"), 2880, 780, 7080, 315);
    txtDescrRiclInterm_->setDbfield("DESCRRICL");
    txtDescrRiclInterm_->setLabelCaption("Descrizione conto riclassificato");
    for (kit::Control* c : std::initializer_list<kit::Control*>{txtContoIntermedio_.get(), txtKeyInterm_.get(),
                                                                txtDescrPdcInterm_.get(), cboSegnoInterm_.get(),
                                                                txtContoCoin_.get(), txtDescrRiclInterm_.get()})
        frame1_->add(*c);
    // Only the reclassified account is edited; the rest shows the current row.
    for (kit::Control* c : std::initializer_list<kit::Control*>{txtContoIntermedio_.get(), txtKeyInterm_.get(),
                                                                txtDescrPdcInterm_.get(), cboSegnoInterm_.get(),
                                                                txtDescrRiclInterm_.get()}) {
        c->setTabStop(false);
        c->setEnabled(false);
    }

    grid_ = place(create<kit::QueryGrid>("QGRID_INTERMEDI"), 60, 1320, 9960, 4140);
    gridNav_ = place(create<kit::GridNavigator>("GRIDNAV"), 60, 5520, 9960, 360);
    gridNav_->setTabStop(false);
    butChiudi_ = place(create<kit::MenuButton>("BUT_CHIUDI"), 8655, 5940, 1365, 420);
    butChiudi_->setCaption("&Chiudi");
    butChiudi_->setCancel(true);   // Esc closes the window as the button does
    resizer_ = create<kit::FormResizer>("QVA_RESIZEFORM1");
    // A larger window widens the header's descriptions and gives the grid the room.
    frame1_->setAnchor(kit::FormResizer::StretchWidth);
    txtDescrPdcInterm_->setAnchor(kit::FormResizer::StretchWidth);
    cboSegnoInterm_->setAnchor(kit::FormResizer::MoveRight);
    txtDescrRiclInterm_->setAnchor(kit::FormResizer::StretchWidth);
    grid_->setAnchor(kit::FormResizer::StretchWidth | kit::FormResizer::StretchHeight);
    gridNav_->setAnchor(kit::FormResizer::StretchWidth | kit::FormResizer::MoveDown);

    int index = 0;
    for (kit::Control* c : std::initializer_list<kit::Control*>{txtContoCoin_.get(), grid_.get(), butChiudi_.get()})
        c->setTabIndex(index++);
}

void FRMCG_CORRINTERMEDI::connectHandlers() {
    Load.connect([this] { Form_Load(); });
    Activate.connect([this] { Form_Activate(); });
    QueryUnload.connect([this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); });
    Unload.connect([this] { Form_Unload(); });
    grid_->RowChanged.connect([this] { QGRID_INTERMEDI_RowChanged(); });
    grid_->CellText.connect([this](std::string& text, const std::string& field, int) { QGRID_INTERMEDI_CellText(text, field); });
    gridNav_->ButtonPressed.connect([this](const std::string& b) { GRIDNAV_ButtonPressed(b); });
    resizer_->RegisterControls.connect([this] { QVA_RESIZEFORM1_RegisterControls(); });
    butChiudi_->ButtonClick.connect([this] { BUT_CHIUDI_ButtonClick(); });
    txtContoCoin_->GotFocus.connect([this] { TXT_CONTOCOIN_GotFocus(); });
    txtContoCoin_->LostFocus.connect([this](bool& cancel) { TXT_CONTOCOIN_LostFocus(cancel); });
    txtContoCoin_->KeyDown.connect([this](int key, int shift) { TXT_CONTOCOIN_KeyDown(key, shift); });
    txtContoCoin_->StartLookup.connect([this](bool& cancel, std::string& sql, kit::LookupFields& fields,
                                              std::string& caption, std::string& connect) {
        TXT_CONTOCOIN_StartLookup(cancel, sql, fields, caption, connect);
    });
    txtContoCoin_->MenuKey.connect([this](const std::string& key) { TXT_CONTOCOIN_MenuKey(key); });
}

// The record frame FME_INTERMEDI is made again on every activation (the window is built again),
// so its handlers are connected when it is made; they belong to the same table as those above.
void FRMCG_CORRINTERMEDI::connectFrameHandlers() {
    frame_->ChangeStatus.connect([this](int status, int reason) { FME_INTERMEDI_ChangeStatus(status, reason); });
    frame_->BeforeUpdate.connect([this](bool& cancel) { FME_INTERMEDI_BeforeUpdate(cancel); });
    frame_->BeforeDelete.connect([this](bool& cancel) { FME_INTERMEDI_BeforeDelete(cancel); });
    frame_->BeforeUndo.connect([this](bool& cancel) { FME_INTERMEDI_BeforeUndo(cancel); });
    frame_->ConfirmUpdate.connect([this](int reason, int& decision) { FME_INTERMEDI_ConfirmUpdate(reason, decision); });
}

// ---- helpers -------------------------------------------------------------------------------

editor::IntermediCaller& FRMCG_CORRINTERMEDI::caller() const {
    if (!FrmChiamante) throw std::logic_error("finestra chiamante (FrmChiamante) non impostata");
    return *FrmChiamante;
}

editor::ErrorReporter FRMCG_CORRINTERMEDI::errorRoutine() const {
    return [this](const editor::TrappedError& e) {
        if (!FrmChiamante) return editor::kAnswerAbort;
        return FrmChiamante->IntermediErrorRoutine()(e);
    };
}

bool FRMCG_CORRINTERMEDI::onRow() const {
    return recordset_ && recordset_->State() == db::ado::adStateOpen && !recordset_->Bof() && !recordset_->Eof();
}

db::Variant FRMCG_CORRINTERMEDI::rowValue(const char* field) const {
    return required(recordset_, "recordset degli intermedi").value(field);
}

void FRMCG_CORRINTERMEDI::setRowValue(const char* field, const db::Variant& value) {
    auto& rs = required(recordset_, "recordset degli intermedi");
    const db::Variant current = rs.value(field);
    const bool same = (current.isBlank() || value.isBlank()) ? (current.isBlank() && value.isBlank())
                                                            : (current == value || current.toText() == value.toText());
    if (!same) rs.setValue(field, value);
}

std::string FRMCG_CORRINTERMEDI::reclChart() const { return caller().CodiceRiclText(); }

db::Variant FRMCG_CORRINTERMEDI::ValoreNonVuoto(const db::Variant& value, const db::Variant& fallback) const {
    try {
        if (value.isBlank() || value.isObject()) return fallback;
        const std::string text = value.toText();
        if (text.find_first_not_of(' ') == std::string::npos) return fallback;
        return value;
    } catch (const std::exception&) {
        return fallback;
    }
}

bool FRMCG_CORRINTERMEDI::RecordsetVuoto(const std::shared_ptr<db::Recordset>& rs) const {
    try {
        if (!rs || rs->State() != db::ado::adStateOpen) return true;
        return rs->Bof() && rs->Eof();
    } catch (const std::exception&) {
        return true;
    }
}

// ---- load and opening ----------------------------------------------------------------------

void FRMCG_CORRINTERMEDI::Form_Load() {
    ErrorTrap trap{"Form_Load", errorRoutine()};
    trap.procedure([&] {
        if (!FrmChiamante) return;
        auto& c = *FrmChiamante;
        trap([&] { txtContoCoin_->setConnection(c.EditorConnection()); });
        trap([&] { txtContoCoin_->setEntryClass(c.EntryClass()); });
        trap([&] { txtContoCoin_->setConnectionText(c.StringaConnessioneHost()); });
        trap([&] { txtContoCoin_->setChartCode(db::Variant(c.CodiceRiclText())); });
        trap([&] { txtContoCoin_->setInitialText(""); });
    });
}

bool FRMCG_CORRINTERMEDI::InizializzaIntermedi() {
    bool result = false;
    ErrorTrap trap{"InizializzaIntermedi", suppressErrors()};
    trap.procedure([&] {
        if (!FrmChiamante) return;
        auto& c = *FrmChiamante;
        // The intercompany company when there is one, else the host's current company.
        auto company = [&] {
            db::Variant hostCompany;
            trap([&] { hostCompany = db::Variant(required(c.EntryClass(), "classe di ingresso").ClsGlobal()->companyCode()); });
            return ValoreNonVuoto(db::Variant(c.DittaIntercompany()), hostCompany);
        };
        const db::Variant companyCode = company();
        if (ValoreNonVuoto(companyCode, db::Variant("")).toText().empty()) return;
        if (RecordsetVuoto(c.WorkingRecordset())) return;
        db::Variant type;
        trap([&] { type = ValoreNonVuoto(c.WorkingRecordset()->value("TIPOCF"), db::Variant(-1)); });
        if (type.isBlank() || type.toInt32() == -1) return;

        trap([&] { company_ = companyCode.toInt32(); });
        trap([&] { tipoCf_ = type.toInt16(); });
        trap([&] { c.GetMastroCliFor(mastroClienti_, mastroFornitori_); });
        std::shared_ptr<host::MessageCenter> messages;
        trap([&] { messages = c.EntryClass()->ClsGlobal()->messageCenter(); });
        if (tipoCf_ == 0) {
            masterAccount_ = mastroClienti_.toText();
            trap([&] { setCaption(required(messages, "MessageCenter").text(93427, {})); });
        } else if (tipoCf_ == 1) {
            masterAccount_ = mastroFornitori_.toText();
            trap([&] { setCaption(required(messages, "MessageCenter").text(93428, {})); });
        }
        result = true;
    });
    return result;
}

void FRMCG_CORRINTERMEDI::Form_Activate() {
    ErrorTrap trap{"Form_Activate", suppressErrors()};
    trap.procedure([&] {
        if (!InizializzaIntermedi()) {
            trap([&] { close(); });
            return;
        }
        {
            // The row-change and status-change reactions wait until the window is filled.
            kit::FlagScope filling(loading_);
            trap([&] { CaricaComboSegno(); });
            trap([&] { INITGRID_INTERMEDI(); });
            trap([&] { ImpostaVirtualFrameIntermedi(); });
            trap([&] { ValorizzaGrid(); });
            trap([&] {
                if (ValoreNonVuoto(db::Variant(txtContoCoin_->Value()), db::Variant("")).toText().empty())
                    txtContoCoin_->FocusInput();
                else
                    grid_->SetFocus();
            });
        }
        // The row shown while the window filled itself is shown again, so that its stored
        // account is recorded and a correction of it is an update.
        trap([&] {
            if (frame_) frame_->ShowCurrentRow();
        });
        trap([&] { resizer_->Start(); });

        long rows = 0;
        trap([&] { rows = recordset_ && recordset_->State() == db::ado::adStateOpen ? recordset_->RecordCount() : 0; });
        if (rows < 2) {
            auto& c = caller();
            std::string account;
            trap([&] {
                const int levels = ValoreNonVuoto(db::Variant(c.fieldText("TXT_NUM_LIVELLI")), db::Variant(0)).toInt32();
                account = formatSubAccount(c.WorkingRecordset()->value("CONTOPDC").toText(),
                                           c.FormattaConto(static_cast<std::int16_t>(levels)));
            });
            trap([&] {
                std::int32_t tipo = 3;
                c.ShowMessage(tipo, 118, std::nullopt, db::Variant(account));
            });
            trap([&] {
                grid_->setRecordset(nullptr);
                if (frame_) frame_->Clear();
                if (recordset_ && recordset_->State() == db::ado::adStateOpen) recordset_->Close();
                recordset_.reset();
            });
            trap([&] { close(); });
        }
    });
}

void FRMCG_CORRINTERMEDI::CaricaComboSegno() {
    ErrorTrap trap{"CaricaComboSegno", suppressErrors()};
    trap.procedure([&] {
        trap([&] { cboSegnoInterm_->Clear(); });
        trap([&] { cboSegnoInterm_->AddItem("Dare", 1); });
        trap([&] { cboSegnoInterm_->AddItem("Avere", 2); });
    });
}

void FRMCG_CORRINTERMEDI::EliminaTabellaIntermedi() {
    // The table does not exist before the first opening in the session: that failure is normal.
    try {
        auto& conn = required(caller().EditorConnection(), "connessione");
        try {
            conn.Execute("DROP TABLE " + ValoreNonVuoto(db::Variant(kIntermediTable), db::Variant("TmpTable")).toText(),
                         nullptr, db::ado::adCmdText);
        } catch (const db::Exception&) {
            conn.Errors().Clear();
        }
    } catch (const std::exception&) {
        // no connection: the statement that builds the table reports it
    }
}

void FRMCG_CORRINTERMEDI::CreaTabellaIntermedi() {
    ErrorTrap trap{"CreaTabellaIntermedi", errorRoutine()};
    trap.procedure([&] {
        EliminaTabellaIntermedi();
        IntermediTableInput in;
        trap([&] {
            auto& c = caller();
            in.cons = c.kind() == editor::CorrelationKind::CONS;
            in.intercompanyDatabase = ValoreNonVuoto(db::Variant(c.NomeDatabaseIntercompany()), db::Variant("")).toText();
            in.chartCode = c.CodicePdcText();
            in.masterAccount = masterAccount_;
            in.companyCode = std::to_string(company_);
            in.tipoCf = tipoCf_;
            in.reclChart = c.CodiceRiclText();
            in.structureCode = c.CodIntercompanyText();
        });
        trap([&] {
            required(caller().EditorConnection(), "connessione").Execute(intermediTableStatement(in), nullptr,
                                                                          db::ado::adCmdText);
        });
    });
}

void FRMCG_CORRINTERMEDI::ImpostaVirtualFrameIntermedi() {
    ErrorTrap trap{"ImpostaVirtualFrameIntermedi", errorRoutine()};
    trap.procedure([&] {
        trap([&] { CreaTabellaIntermedi(); });
        const std::string query = intermediReadingQuery();
        std::shared_ptr<db::Connection> connection;
        trap([&] { connection = caller().EditorConnection(); });
        trap([&] {
            auto factory = required(ClsChiamante, "classe chiamante").ClsGlobal()->classFactory();
            recordsetFactory_ = required(factory, "ClassFactory").newRecordsetFactory();
            recordset_ = required(recordsetFactory_, "RecordsetFactory").newRecordset();
        });
        trap([&] {
            auto& rs = required(recordset_, "recordset degli intermedi");
            rs.setActiveConnection(connection);
            rs.setSource(query);
            rs.Open();
        });
        trap([&] {
            // Every activation builds the window again: a frame of an earlier one lets go first.
            if (frame_) frame_->Terminate();
            frame_ = std::make_shared<kit::RecordFrame>("FME_INTERMEDI");
            connectFrameHandlers();
            frameHostInterface_ = caller().EntryClass();
            frame_->Init(frameHostInterface_, connection, recordset_, query, "", gridNav_.get(), grid_.get());
        });
        trap([&] { grid_->setRecordset(recordset_); });
        trap([&] {
            for (kit::Control* c : std::initializer_list<kit::Control*>{txtKeyInterm_.get(), txtDescrPdcInterm_.get(),
                                                                        cboSegnoInterm_.get(), txtContoCoin_.get(),
                                                                        txtDescrRiclInterm_.get()})
                required(frame_, "record frame").BindControl(*c);
            frame_->KeyControl(*txtKeyInterm_);
        });
        trap([&] {
            std::shared_ptr<db::Object> hostInterface = caller().EntryClass();
            gridNav_->Init(hostInterface, frame_.get());
        });
        trap([&] {
            const long count = recordset_ && recordset_->State() == db::ado::adStateOpen ? recordset_->RecordCount() : 0;
            required(frame_, "record frame").setStatus(count < 2 ? kit::StatusNew : kit::StatusShowing);
        });
        trap([&] { gridNav_->setOptions({false, false, false, false, true, true, false}); });
    });
}

void FRMCG_CORRINTERMEDI::INITGRID_INTERMEDI() {
    ErrorTrap trap{"INITGRID_INTERMEDI", errorRoutine()};
    trap.procedure([&] {
        editor::setUpCorrelationGrid(
            trap, *grid_, ClsChiamante,
            [this] { return required(ClsChiamante, "classe chiamante").ClsGlobal()->messageCenter(); },
            {"Descrizione", "Conto riclassificazione", 3705});
    });
}

bool FRMCG_CORRINTERMEDI::ValorizzaGrid() {
    ErrorTrap trap{"ValorizzaGrid", errorRoutine()};
    trap.procedure([&] {
        if (!onRow()) return;
        trap([&] { txtContoCoin_->setValue(rowValue("CONTORICL").toText()); });
        trap([&] { txtContoIntermedio_->setText(formatSubAccount(rowValue("CONTOPDC").toText())); });
    });
    return true;
}

// ---- grid, navigator, resizer --------------------------------------------------------------

void FRMCG_CORRINTERMEDI::QGRID_INTERMEDI_RowChanged() {
    ErrorTrap trap{"QGRID_INTERMEDI_RowChanged", errorRoutine()};
    trap.procedure([&] {
        if (loading_ || !onRow()) return;
        trap([&] { txtContoCoin_->setValue(ValoreNonVuoto(rowValue("CONTORICL"), db::Variant("")).toText()); });
        trap([&] {
            if (frame_ && frame_->Status() == kit::StatusShowing) txtContoCoin_->SetFocus();
        });
    });
}

// The sub-account codes show through the ledger chart's mask, as in the calling editor's grid.
void FRMCG_CORRINTERMEDI::QGRID_INTERMEDI_CellText(std::string& text, const std::string& field) {
    if (field != "CONTOPDCGRID" || !FrmChiamante) return;
    text = text::applyMask(FrmChiamante->FormattaConto(0), text, text::MaskFill::FromRight);
}

void FRMCG_CORRINTERMEDI::GRIDNAV_ButtonPressed(const std::string& /*button*/) {
    // The row was kept because its account was refused: the focus stays in the account box.
    if (std::exchange(leaveRefused_, false) && frame_ && frame_->isChanged()) return;
    try {
        grid_->SetFocus();
    } catch (const std::exception&) {
        // the focus stays where it is
    }
}

void FRMCG_CORRINTERMEDI::QVA_RESIZEFORM1_RegisterControls() {
    try {
        resizer_->Register("BUT_CHIUDI", kResizeAnchored);
    } catch (const std::exception&) {
        // the button then keeps its design place
    }
}

// ---- closing -------------------------------------------------------------------------------

void FRMCG_CORRINTERMEDI::BUT_CHIUDI_ButtonClick() {
    editor::withinHandler([&] {
        if (!frame_ || frame_->CanClose(true, false, true)) close();
    });
}

void FRMCG_CORRINTERMEDI::ExecuteFormEvent(const std::string& eventName) {
    ErrorTrap trap{"ExecuteFormEvent", errorRoutine()};
    trap.procedure([&] {
        auto navigator = required(ClsChiamante, "classe chiamante").ActiveNavigator();
        if (!navigator) return;
        if (eventName == "qvOpen") {
            trap([&] {
                db::Variant out;
                navigator->formNotice(out);
            });
            trap([&] {
                if (auto script = navigator->scriptObjectModel()) script->formEvent(name(), 0, 1, db::Variant(name()));
            });
        } else if (eventName == "qvClose") {
            trap([&] {
                if (auto script = navigator->scriptObjectModel()) script->formEvent(name(), 0, 0, db::Variant(name()));
            });
        }
    });
}

void FRMCG_CORRINTERMEDI::Form_QueryUnload(bool& cancel, int /*mode*/) {
    ErrorTrap trap{"Form_QueryUnload", errorRoutine()};
    trap.procedure([&] {
        if (cancel) return;
        // Closing does not move the focus: the frame takes an account still being typed and
        // settles the row before the window goes (see the
        // correlation editor's query-unload).
        bool rowSettled = true;
        trap([&] {
            if (frame_) rowSettled = frame_->CanClose(true, false, true);
        });
        if (!rowSettled) {
            cancel = true;
            return;
        }
        trap([&] { ExecuteFormEvent("qvClose"); });
        trap([&] {
            auto navigator = required(ClsChiamante, "classe chiamante").ActiveNavigator();
            // Without a script object model nobody can veto.
            if (auto script = navigator ? navigator->scriptObjectModel() : nullptr) cancel = script->closingVeto();
        });
    });
}

void FRMCG_CORRINTERMEDI::Form_Unload() {
    ErrorTrap trap{"Form_Unload", suppressErrors()};
    trap.procedure([&] {
        trap([&] {
            txtContoCoin_->setEntryClass(nullptr);
            txtContoCoin_->setConnection(nullptr);
        });
        trap([&] { grid_->setRecordset(nullptr); });
        trap([&] { grid_->Release(); });
        trap([&] {
            if (recordset_) {
                if (recordset_->ActiveConnection() && recordset_->State() == db::ado::adStateOpen) recordset_->Close();
                recordset_.reset();
            }
        });
        trap([&] {
            gridNav_->setHostInterface(nullptr);
            gridNav_->setFrame(nullptr);
        });
        trap([&] {
            if (frame_) {
                gridNav_->setDetached(true);
                frame_->Terminate();
            }
        });
        trap([&] {
            frame_.reset();
            frameHostInterface_.reset();
            recordsetFactory_.reset();
        });
        trap([&] {
            auto& entry = required(ClsChiamante, "classe chiamante");
            required(entry.ClsGlobal(), "ClsGlobal").setCurrentProgram(ClsChiamante);
        });
        FrmChiamante = nullptr;
    });
}

}  // namespace intermedi
