// The correlation editor's lifecycle: creation with its kind holder, the load and its set-up
// for the kind, placement in the host frame, the resizer's registration, the first
// activation, the query-unload and the unload that releases everything, plus the notices the
// window sends the host's navigator, script object model and global object.

#include <stdexcept>

#include "editor/FRMCG_CORRRICL.h"
#include "editor/Required.h"
#include "entry/CLSCG_CORRRICL.h"
#include "host/ClassFactory.h"
#include "host/HostObjects.h"
#include "host/MessageCenter.h"
#include "host/ScriptModel.h"

namespace editor {

namespace {

// Dictionary ids of the reclassified-chart label, by kind.
long reclChartLabelId(CorrelationKind kind) {
    switch (kind) {
        case CorrelationKind::HYPE: return 93432;
        case CorrelationKind::CONS: return 93433;
        default: return 13236;
    }
}

}  // namespace

FRMCG_CORRRICL::FRMCG_CORRRICL(kit::WindowSystem* windowSystem)
    : kit::Form(kFormName, windowSystem), kindHolder_(std::make_shared<entry::CLSCG_CORRRICL>()) {
    createControls();
    fmeCorrricl_ = std::make_shared<kit::RecordFrame>("FME_CORRRICL");
    connectHandlers();
}

FRMCG_CORRRICL::~FRMCG_CORRRICL() {
    // A window destroyed without its unload (never shown, or its host went away) still lets
    // its frame go before the recordset variable the frame follows.
    if (frame_) frame_->Terminate();
    grid_->Release();
}

CorrelationKind FRMCG_CORRRICL::kind() const {
    if (!kindHolder_) return CorrelationKind::COGE;
    switch (kindHolder_->TipoCorrelazione()) {
        case 1: return CorrelationKind::COIN;
        case 2: return CorrelationKind::HYPE;
        case 3: return CorrelationKind::CONS;
        default: return CorrelationKind::COGE;
    }
}

std::shared_ptr<host::Global> FRMCG_CORRRICL::global() const {
    if (!entry_) throw std::logic_error("la finestra non ha la classe di ingresso");
    auto g = entry_->ClsGlobal();
    if (!g) throw std::logic_error("oggetto globale (ClsGlobal) non impostato");
    return g;
}

std::shared_ptr<host::Navigator> FRMCG_CORRRICL::navigator() const {
    if (!entry_) throw std::logic_error("la finestra non ha la classe di ingresso");
    auto n = entry_->ActiveNavigator();
    if (!n) throw std::logic_error("navigatore (ActiveNavigator) non impostato");
    return n;
}

std::shared_ptr<host::ClassFactory> FRMCG_CORRRICL::classFactory() const {
    auto f = global()->classFactory();
    if (!f) throw std::logic_error("l'oggetto globale non offre le classi dell'applicazione");
    return f;
}

// ---- load ----------------------------------------------------------------------------------

void FRMCG_CORRRICL::Form_Load() {
    ErrorTrap trap{"Form_Load", utilityRoutine()};
    trap.procedure([&] {
        trap([&] {
            log_ = classFactory()->newLogService();
            required(log_, "LogService").initialise(entry_);
        });
        trap([&] {
            for (kit::Control* c : std::initializer_list<kit::Control*>{
                     lblCodIntercompany_.get(), txtCodIntercompany_.get(), txtDescrIntercompany_.get(),
                     butCorrInfrannualeCee_.get()})
                c->setVisible(false);
            frame1_->setHeight(kHeaderHeight);
        });
        trap([&] { setUpForKind(); });
        trap([&] { setHintsForKind(); });
        trap([&] { stringaConnessioneHost_ = global()->hostConnectionString(); });
        trap([&] {
            provider_ = classFactory()->newConnectionProvider();
            connection_ = required(provider_, "ConnectionProvider").newConnection();
        });
        if (!openOwnConnection()) return;   // the user was told; the window closed itself
        trap([&] { required(entry_, "classe di ingresso").setConnection(connection_); });
        trap([&] {
            txtConto_->setEntryClass(entry_);
            txtConto_->setConnection(GetConnectIntercompany());
        });
        trap([&] {
            txtContoCoin_->setConnection(connection_);
            txtContoCoin_->setEntryClass(entry_);
            txtContoCoin_->setConnectionText(stringaConnessioneHost_);
        });
        trap([&] {
            utility_ = classFactory()->newEditorUtility();
            required(utility_, "EditorUtility").start();
            utility_->initialise(entry_, connection_, moduleApplication()->title, db::Variant(hWnd()), Caption());
        });
    });
}

void FRMCG_CORRRICL::setUpForKind() {
    switch (kind()) {
        case CorrelationKind::COGE:
            // The interim-balance correlation by CEE; its tab stop follows the chart type.
            butCorrInfrannualeCee_->setVisible(true);
            butCorrInfrannualeCee_->setTabStop(false);
            break;
        case CorrelationKind::CONS: {
            frame1_->setHeight(kHeaderHeight + kIntercompanyShift);
            lblCodIntercompany_->setVisible(true);
            txtCodIntercompany_->setVisible(true);
            txtDescrIntercompany_->setVisible(true);
            txtCodIntercompany_->setTabStop(true);
            txtCodicePdc_->setTabStop(false);
            for (kit::Control* c : std::initializer_list<kit::Control*>{
                     grid_.get(), lblCodPdc_.get(), txtCodicePdc_.get(), txtDescPdc_.get(), lblCodRicl_.get(),
                     txtCodiceRicl_.get(), txtDescrChartRicl_.get()})
                c->setTop(c->Top() + kIntercompanyShift);
            grid_->setHeight(grid_->Height() - kIntercompanyShift);
            break;
        }
        default: break;
    }
}

void FRMCG_CORRRICL::MdiHostBox_PlacementRequest() {
    ErrorTrap trap{"MdiHostBox_PlacementRequest", suppressErrors()};
    trap.procedure([&] {
        trap([&] {
            auto& e = required(entry_, "classe di ingresso");
            hostBox_->Place(e.Left().toInt32(), e.Top().toInt32(), kHostBoxWidth, kHostBoxHeight);
        });
        trap([&] { hostBox_->setWindowState(required(entry_, "classe di ingresso").WindowState()); });
    });
}

void FRMCG_CORRRICL::FormResizer_RegisterControls() {
    ErrorTrap trap{"FormResizer_RegisterControls", suppressErrors()};
    trap.procedure([&] {
        for (const char* name : {"BUT_NUOVACORR", "BUT_STAMPA", "BUT_CORRINTERMEDI", "GRB_CHECK", "BUT_CORRINFRANNUALECEE"})
            trap([&] { resizer_->Register(name, kResizeAnchored); });
        trap([&] { resizer_->Register(*gridNav_, kResizeStretchBottom); });
    });
}

// ---- activation ----------------------------------------------------------------------------

void FRMCG_CORRRICL::Form_Activate() {
    ErrorTrap trap{"Form_Activate", utilityRoutine()};
    trap.procedure([&] {
        trap([&] { AggiornaNavigatore(); });
        if (activated_) return;
        trap([&] {
            txtNumLivelli_->setVisible(false);
            txtNumLivelliCons_->setVisible(false);
            txtNumLivelliRicl_->setVisible(false);
        });
        trap([&] { TraduzioneStringhe(); });
        trap([&] { CreaComponentiPianiRiclassificazione(); });
        trap([&] { grid_->setEnabled(false); });
        gridLoading_ = true;
        trap([&] { CaricaComboSegno(); });
        trap([&] { INITGRID_CORRPDC(); });
        trap([&] { ImpostaVirtualFrame(); });
        trap([&] {
            butCorrIntermedi_->setTabStop(false);
            butCorrIntermedi_->setCaption(dictionaryTexts_[0]);
            grbCheck_->setVisible(false);
        });
        trap([&] {
            if (kind() == CorrelationKind::COIN || kind() == CorrelationKind::HYPE) butCorrIntermedi_->setVisible(false);
        });
        trap([&] { lblCodRicl_->setCaption(global()->messageCenter()->text(reclChartLabelId(kind()), {})); });
        activated_ = true;
        trap([&] { navigator()->activationNotice(); });
        trap([&] { ExecuteFormEvent("qvOpen"); });
        trap([&] { global()->applicationNotice(moduleApplication()); });
        trap([&] { txtCodiceRicl_->AddMenuEntry(1, "Codici bilancio correlati", true); });
        trap([&] {
            if (kind() == CorrelationKind::CONS)
                txtCodIntercompany_->Redecode();
            else
                txtCodicePdc_->Redecode();
        });
        trap([&] { resizer_->Start(); });
    });
}

void FRMCG_CORRRICL::TraduzioneStringhe() {
    ErrorTrap trap{"TraduzioneStringhe", errorRoutine()};
    trap.procedure([&] {
        const long ids[3] = {2688, 93429, 93430};
        for (std::size_t i = 0; i < 3; ++i)
            trap([&] { dictionaryTexts_[i] = global()->messageCenter()->text(ids[i], {}); });
    });
}

db::Variant FRMCG_CORRRICL::AggiornaNavigatore() {
    ErrorTrap trap{"AggiornaNavigatore", suppressErrors()};
    trap.procedure([&] {
        trap([&] { global()->setCurrentProgram(entry_); });
        trap([&] {
            if (auto frame = entry_ ? entry_->ActiveFrame() : nullptr) {
                auto status = std::dynamic_pointer_cast<host::StatusFrame>(frame);
                if (!status) throw std::logic_error("il frame attivo non espone Status");
                navigator()->refreshStatus(status->Status().toInt16());
            }
        });
        trap([&] { navigator()->refresh(); });
    });
    return {};
}

db::Variant FRMCG_CORRRICL::ExecuteFormEvent(const db::Variant& eventName) {
    ErrorTrap trap{"ExecuteFormEvent", errorRoutine()};
    trap.procedure([&] {
        const std::string event = eventName.isObject() ? std::string() : eventName.toText();
        if (event == "qvOpen") {
            trap([&] {
                db::Variant out;
                navigator()->formNotice(out);
            });
            trap([&] {
                if (auto script = navigator()->scriptObjectModel()) script->formEvent(name(), 0, 1, db::Variant(name()));
            });
        } else if (event == "qvClose") {
            trap([&] {
                if (auto script = navigator()->scriptObjectModel()) script->formEvent(name(), 0, 0, db::Variant(name()));
            });
        }
    });
    return {};
}

void FRMCG_CORRRICL::InizializzaScriptELayout() {
    ErrorTrap trap{"InizializzaScriptELayout", errorRoutine()};
    trap.procedure([&] {
        trap([&] { navigator()->activationNotice(); });
        trap([&] { ExecuteFormEvent("qvOpen"); });
        trap([&] { global()->applicationNotice(moduleApplication()); });
    });
}

// ---- closing -------------------------------------------------------------------------------

void FRMCG_CORRRICL::Form_QueryUnload(bool& cancel, int /*mode*/) {
    ErrorTrap trap{"Form_QueryUnload", errorRoutine()};
    trap.procedure([&] {
        trap([&] { AggiornaNavigatore(); });
        if (!activated_) {
            // Closing before the first activation completed would leave the host without
            // the window's announcements to undo; a window without its connection closes.
            cancel = !closingUnopened();
            return;
        }
        if (cancel) return;
        // Closing does not move the focus: the frame takes an account still being typed and
        // settles the row before the window goes (a proposal is
        // dropped; an account the user typed is saved, dropped or kept open as the user
        // answers the close question).
        bool rowSettled = true;
        trap([&] {
            if (frame_) rowSettled = frame_->CanClose(true, true, true);
        });
        if (!rowSettled) {
            cancel = true;
            return;
        }
        trap([&] { ExecuteFormEvent("qvClose"); });
        trap([&] {
            // Without a script object model nobody can veto.
            if (auto script = navigator()->scriptObjectModel()) cancel = script->closingVeto();
        });
    });
}

void FRMCG_CORRRICL::Form_Unload() {
    ErrorTrap trap{"Form_Unload", suppressErrors()};
    // Taken before step 11 clears them from the entry class.
    std::shared_ptr<host::Global> g;
    std::shared_ptr<host::Navigator> nav;
    trap([&] { g = global(); });
    trap([&] { nav = navigator(); });
    auto need = [](const auto& p, const char* what) {
        if (!p) throw std::logic_error(std::string(what) + " non impostato");
        return p;
    };
    trap.procedure([&] {
        // 1. the code boxes
        trap([&] {
            txtConto_->setEntryClass(nullptr);
            txtConto_->setConnection(nullptr);
        });
        trap([&] {
            txtContoCoin_->setEntryClass(nullptr);
            txtContoCoin_->setConnection(nullptr);
        });
        // 2. the grid and its recordset
        trap([&] { grid_->Release(); });
        trap([&] {
            need(utility_, "utility")->closeRecordset(gridRecordset_);
        });
        // 3. the navigator bar
        trap([&] {
            gridNav_->setDetached(true);
            gridNav_->setHostInterface(nullptr);
            gridNav_->setFrame(nullptr);
        });
        // 4. the record frame
        trap([&] {
            if (frame_) {
                frame_->Terminate();
                frame_.reset();
            }
            frameHostInterface_.reset();
            recordsetFactory_.reset();
        });
        // 5. the utility
        trap([&] {
            if (utility_) utility_->finish();
            utility_.reset();
        });
        // 6. print object, program launchers, chart finder and decoder
        trap([&] { correlationReport_.reset(); });
        trap([&] {
            reclProgramLauncher_.reset();
            ledgerProgramLauncher_.reset();
        });
        trap([&] { RilasciaComponentiPianiRiclassificazione(); });
        // 7. the host learns the program closes
        trap([&] { need(g, "ClsGlobal")->programClosing(*need(entry_, "entry class")); });
        // 8. the script model's closing notice with the menu entry's text
        trap([&] {
            auto menu = std::dynamic_pointer_cast<host::MenuEntry>(need(entry_, "entry class")->ClsVoceMenu());
            need(menu, "ClsVoceMenu");
            need(need(nav, "ActiveNavigator")->scriptObjectModel(), "script model")->closingNotice(menu->text());
        });
        // 9. the navigator
        trap([&] { need(nav, "ActiveNavigator")->closingNotice(); });
        trap([&] { need(nav, "ActiveNavigator")->clearLayoutModel(); });
        trap([&] { need(nav, "ActiveNavigator")->clearScriptModel(); });
        // 10. the entry class's links to the host frame and navigator
        trap([&] { need(entry_, "entry class")->setActiveDll(nullptr); });
        trap([&] { need(entry_, "entry class")->setActiveFrame(nullptr); });
        trap([&] { need(nav, "ActiveNavigator")->clearEntryLink(); });
        trap([&] { need(entry_, "entry class")->setActiveNavigator(nullptr); });
        // 11. the global object's program references and the entry class's host objects
        trap([&] { need(g, "ClsGlobal")->setCurrentProgram(nullptr); });
        trap([&] { need(g, "ClsGlobal")->setSecondProgram(nullptr); });
        trap([&] {
            auto& e = *need(entry_, "entry class");
            e.setClsGlobal(nullptr);
            e.setClsVoceMenu(nullptr);
            e.setConnection(nullptr);
            e.setStatusBar(nullptr);
        });
        // 12. the entry class and the connection provider
        trap([&] { entry_.reset(); });
        trap([&] { provider_.reset(); });
        // 13. the connection, and with it the session's working table
        trap([&] {
            if (connection_) {
                if (connection_->State() == db::ado::adStateOpen) connection_->Close();
                connection_.reset();
            }
        });
        // 14. the kind holder and the log
        trap([&] { kindHolder_.reset(); });
        trap([&] {
            if (log_) {
                log_->finish();
                log_->detach();
            }
            log_.reset();
        });
    });
}

}  // namespace editor
