// The entry classes' shared implementation: host property store, ShowForm, the navigator's
// three event handlers and the two termination orders.

#include "entry/CorrelationEntryClass.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "editor/ErrorTrap.h"
#include "editor/FRMCG_CORRRICL.h"
#include "entry/CLSCG_CORRRICL.h"
#include "host/ErrorInfo.h"
#include "host/Global.h"
#include "host/MessageCenter.h"

namespace entry {

using editor::CorrelationKind;
using editor::ErrorTrap;
using editor::suppressErrors;

std::string kindTitle(CorrelationKind kind) {
    switch (kind) {
        case CorrelationKind::HYPE: return "Correlazione PdC contabile - Hyperion";
        case CorrelationKind::CONS: return "Correlazione PdC contabile - riclassificato intercompany";
        default: return "Correlazione PdC contabile - riclassificazione";
    }
}

std::string terminationErrorText(long number, const std::string& description, TerminationStage stage) {
    return "Errore VB n." + std::to_string(number) + " - " + description +
           (stage == TerminationStage::DestroyClass ? " nel metodo DestroyClass della classe principale"
                                                    : " nel Terminate della classe principale");
}

namespace {

// A Variant written to Top/Left: kept when it converts to a 32-bit integer (numbers round
// as the host language does), otherwise the previous value stays.
bool toInt32(const db::Variant& v, std::int32_t& out) {
    try {
        if (v.isObject()) return false;
        if (v.type() == db::Variant::Type::Double || v.type() == db::Variant::Type::Decimal ||
            (v.isText() && v.toText().find_first_of(".eE") != std::string::npos)) {
            double d = v.toDouble();
            if (!(d >= std::numeric_limits<std::int32_t>::min() - 0.5 && d < std::numeric_limits<std::int32_t>::max() + 0.5))
                return false;
            out = static_cast<std::int32_t>(std::nearbyint(d));
            return true;
        }
        out = v.toInt32();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

CorrelationEntryClass::CorrelationEntryClass(CorrelationKind kind) : kind_(kind) {}

CorrelationEntryClass::~CorrelationEntryClass() { releaseHostObjects(); }

// ---- properties ----------------------------------------------------------------------------

std::shared_ptr<host::Global> CorrelationEntryClass::ClsGlobal() const { return clsGlobal_; }
void CorrelationEntryClass::setClsGlobal(std::shared_ptr<host::Global> global) {
    if (holdsLinks(global.get())) return;
    clsGlobal_ = std::move(global);
}
std::shared_ptr<db::Object> CorrelationEntryClass::ActiveFrame() const { return activeFrame_; }
void CorrelationEntryClass::setActiveFrame(std::shared_ptr<db::Object> frame) {
    if (holdsLinks(frame.get())) return;
    activeFrame_ = std::move(frame);
}
std::shared_ptr<host::Navigator> CorrelationEntryClass::ActiveNavigator() const { return activeNavigator_; }

void CorrelationEntryClass::setActiveNavigator(std::shared_ptr<host::Navigator> navigator) {
    if (holdsLinks(navigator.get())) return;
    if (navigator == activeNavigator_) return;
    unsubscribe();
    activeNavigator_ = std::move(navigator);
    subscribe();
}

std::shared_ptr<host::Cinterface> CorrelationEntryClass::ActiveDll() { return activeDll_.get(*this); }
void CorrelationEntryClass::setActiveDll(std::shared_ptr<host::Cinterface> dll) {
    if (holdsLinks(dll.get())) return;
    activeDll_.set(*this, std::move(dll));
}
std::shared_ptr<db::Object> CorrelationEntryClass::StatusBar() const { return statusBar_; }
void CorrelationEntryClass::setStatusBar(std::shared_ptr<db::Object> bar) {
    if (holdsLinks(bar.get())) return;
    statusBar_ = std::move(bar);
}

std::shared_ptr<db::Connection> CorrelationEntryClass::Connection() const { return connection_; }
void CorrelationEntryClass::setConnection(std::shared_ptr<db::Connection> connection) {
    if (holdsLinks(connection.get())) return;
    connection_ = std::move(connection);
}

void CorrelationEntryClass::setTop(const db::Variant& v) { toInt32(v, top_); }
void CorrelationEntryClass::setLeft(const db::Variant& v) { toInt32(v, left_); }

std::shared_ptr<db::Object> CorrelationEntryClass::ClsVoceMenu() const { return clsVoceMenu_; }
void CorrelationEntryClass::setClsVoceMenu(std::shared_ptr<db::Object> entry) {
    if (holdsLinks(entry.get())) return;
    clsVoceMenu_ = std::move(entry);
}

db::Variant CorrelationEntryClass::TransferData(const db::Variant& data) {
    try {
        DataTransfer.raise(data);
    } catch (const std::exception&) {
        // a subscriber's failure does not reach the host
    }
    return {};
}

// ---- ShowForm ------------------------------------------------------------------------------

db::Variant CorrelationEntryClass::ShowForm() {
    ErrorTrap trap{"ShowForm", suppressErrors()};
    // Held here as well: a layout or script model may replace the class's editor while the
    // window is shown modal.
    std::shared_ptr<editor::FRMCG_CORRRICL> shown;
    trap([&] {
        // Editors that have closed since are let go now; the open ones stay.
        std::erase_if(shown_, [](const auto& e) { return !e || !e->isLoaded(); });
        shown = std::make_shared<editor::FRMCG_CORRRICL>(windowSystem());
        shown_.push_back(shown);
        editor_ = shown;
    });
    if (!shown) return {};
    trap([&] { followClosing(shown); });
    trap([&] { shown->KindHolder()->setTipoCorrelazione(static_cast<std::int32_t>(kind_)); });
    trap([&] { shown->setEntryClass(ActiveDll()); });
    trap([&] { shown->setWindowState(WindowState()); });
    trap([&] { shown->setCaption(Caption().toText()); });
    trap([&] { shown->show(WindowModal()); });
    // An editor that never loaded (no window system to show it in) never unloads either, and
    // its unload is what lets go of the class: it lets go now, or the class and the editor
    // would keep each other alive.
    if (!shown->isLoaded()) shown->setEntryClass(nullptr);
    return {};
}

void CorrelationEntryClass::followClosing(const std::shared_ptr<editor::FRMCG_CORRRICL>& shown) {
    // Connected after the editor's own handlers: the query-unload's answer is final here,
    // and the unload has already done its clearing when the second handler runs.
    std::weak_ptr<host::Cinterface> self = weak_from_this();
    std::weak_ptr<editor::FRMCG_CORRRICL> closing = shown;
    shown->QueryUnload.connect([self, closing](bool& cancel, int) {
        auto me = std::static_pointer_cast<CorrelationEntryClass>(self.lock());
        auto ed = closing.lock();
        if (!me || !ed || cancel) return;
        me->holdLinks_ = false;
        for (const auto& other : me->OpenEditors())
            if (other != ed) me->holdLinks_ = true;
        me->closingConnection_ = ed->EditorConnection();
    });
    shown->Unload.connect([self, closing] {
        auto me = std::static_pointer_cast<CorrelationEntryClass>(self.lock());
        if (!me) return;
        const auto closingConnection = std::move(me->closingConnection_);
        if (!me->holdLinks_) return;
        me->holdLinks_ = false;
        // The class now serves the newest editor still open.
        std::shared_ptr<editor::FRMCG_CORRRICL> newest;
        for (const auto& other : me->OpenEditors())
            if (other != closing.lock()) newest = other;
        if (!newest) return;
        if (me->editor_ == closing.lock()) me->editor_ = newest;
        if (me->connection_ == closingConnection) me->connection_ = newest->EditorConnection();
    });
}

bool CorrelationEntryClass::holdsLinks(const void* newValue) const { return holdLinks_ && newValue == nullptr; }

std::vector<std::shared_ptr<editor::FRMCG_CORRRICL>> CorrelationEntryClass::OpenEditors() const {
    std::vector<std::shared_ptr<editor::FRMCG_CORRRICL>> open;
    for (const auto& e : shown_)
        if (e && e->isLoaded()) open.push_back(e);
    return open;
}

// ---- navigator events ----------------------------------------------------------------------

void CorrelationEntryClass::subscribe() {
    if (!activeNavigator_) return;
    subscriptions_[0] = activeNavigator_->BeforeExportToOffice.connect(
        [this](bool& cancel, host::ExportToOffice& e) { ActiveNavigator_BeforeExportToOffice(cancel, e); });
    subscriptions_[1] = activeNavigator_->InitializeLayoutObjectModel.connect(
        [this](bool& cancel, host::LayoutModel& m) { ActiveNavigator_InitializeLayoutObjectModel(cancel, m); });
    subscriptions_[2] = activeNavigator_->InitializeScriptObjectModel.connect(
        [this](bool& cancel, host::ScriptModel& m) { ActiveNavigator_InitializeScriptObjectModel(cancel, m); });
}

void CorrelationEntryClass::unsubscribe() {
    if (!activeNavigator_) return;
    activeNavigator_->BeforeExportToOffice.disconnect(subscriptions_[0]);
    activeNavigator_->InitializeLayoutObjectModel.disconnect(subscriptions_[1]);
    activeNavigator_->InitializeScriptObjectModel.disconnect(subscriptions_[2]);
    subscriptions_ = {};
}

namespace {

// Whether the program counts as active: IsActive of the interface ActiveDll names (none
// counts as inactive).
bool activeThrough(const std::shared_ptr<host::Cinterface>& dll) { return dll && dll->IsActive(); }

}  // namespace

void CorrelationEntryClass::ActiveNavigator_InitializeLayoutObjectModel(bool& /*Cancel*/, host::LayoutModel& ClsLayout) {
    ErrorTrap trap{"ActiveNavigator_InitializeLayoutObjectModel", suppressErrors()};
    bool active = false;
    trap([&] { active = activeThrough(ActiveDll()); });
    if (!active) return;
    trap([&] {
        std::shared_ptr<db::Object> window = editor_;
        ClsLayout.registerWindow(db::Variant(kindTitle(kind_)), window, 0, 0, 0);
        auto back = std::dynamic_pointer_cast<editor::FRMCG_CORRRICL>(window);
        if (window && !back) throw std::invalid_argument("il modello di layout ha restituito un oggetto di altro tipo");
        editor_ = back;
    });
    trap([&] {
        if (!editor_) throw std::logic_error("nessuna finestra aperta");
        std::shared_ptr<db::Object> grid = editor_->Grid();
        ClsLayout.registerGrid(db::Variant("Grid correlazione"), grid);
    });
}

void CorrelationEntryClass::ActiveNavigator_InitializeScriptObjectModel(bool& /*Cancel*/, host::ScriptModel& ClsScript) {
    ErrorTrap trap{"ActiveNavigator_InitializeScriptObjectModel", suppressErrors()};
    bool active = false;
    trap([&] { active = activeThrough(ActiveDll()); });
    if (!active) return;
    trap([&] {
        if (!editor_) throw std::logic_error("nessuna finestra aperta");
        std::shared_ptr<db::Object> window = editor_;
        ClsScript.registerWindow(editor_->name(), window, 0, db::Variant(kindTitle(kind_)));
        auto back = std::dynamic_pointer_cast<editor::FRMCG_CORRRICL>(window);
        if (window && !back) throw std::invalid_argument("il modello di script ha restituito un oggetto di altro tipo");
        editor_ = back;
    });
}

void CorrelationEntryClass::ActiveNavigator_BeforeExportToOffice(bool& /*Cancel*/, host::ExportToOffice& out) {
    ErrorTrap trap{"ActiveNavigator_BeforeExportToOffice", suppressErrors()};
    auto field = [&](const char* name) -> db::Variant {
        if (!editor_) throw std::logic_error("nessuna finestra aperta");
        return db::Variant(editor_->fieldText(name));
    };
    trap([&] { out.setTitoloMaster(kindTitle(kind_)); });
    std::shared_ptr<db::Recordset> clone;
    trap([&] {
        auto rs = editor_ ? editor_->GridRecordset() : nullptr;
        if (!rs) throw std::logic_error("la griglia non ha righe");
        clone = rs->Clone();
    });
    trap([&] {
        std::vector<std::string> captions;
        std::vector<db::Variant> values;
        if (kind_ == CorrelationKind::CONS) {
            captions = {"Codice intercompany", "Descrizione intercompany", "Codice PdC contabile",
                        "Descrizione PdC contabile", "Codice PdC riclassificato intercompany",
                        "Descrizione PdC riclassificato intercompany"};
            values = {field("TXT_CODINTERCOMPANY"), field("TXT_DESCRINTERCOMPANY")};
        } else if (kind_ == CorrelationKind::HYPE) {
            captions = {"Codice PdC contabile", "Descrizione PdC contabile", "Codice PdC Hyperion",
                        "Descrizione PdC Hyperion"};
        } else {
            captions = {"Codice PdC contabile", "Descrizione PdC contabile", "Codice PdC riclassificazione",
                        "Descrizione PdC riclassificazione"};
        }
        for (const char* name : {"TXT_CODICE_PDC", "TXT_DESC_PDC", "TXT_CODICE_RICL", "TXT_DESCR_RICL"})
            values.push_back(field(name));
        out.addMasterDetail(captions, values, "Campi correlati");
    });
    const std::vector<std::string> detailCaptions = {"Conto contabile", "Descrizione conto contabile", "Segno",
                                                     "Conto riclassificato", "Descrizione conto riclassificato"};
    trap([&] {
        if (!clone || clone->RecordCount() <= 0) return;
        std::vector<std::vector<db::Variant>> rows(static_cast<std::size_t>(clone->RecordCount()));
        clone->MoveFirst();
        while (!clone->Eof()) {
            const long row = clone->AbsolutePosition() - 1;
            const db::Variant sign = clone->value("SEGNO");
            const double s = sign.isNumeric() ? sign.toDouble() : 0;
            rows.at(static_cast<std::size_t>(row)) = {clone->value("CONTOPDCGRID"), clone->value("DESCRPDCGRID"),
                                                      db::Variant(s == 1 ? "Dare" : s == 2 ? "Avere" : ""),
                                                      clone->value("CONTORICL"), clone->value("DESCRRICL")};
            clone->MoveNext();
        }
        out.addMasterDetail(detailCaptions, std::move(rows), "Correlazioni");
    });
    clone.reset();
}

// ---- termination ---------------------------------------------------------------------------

void CorrelationEntryClass::releaseHostObjects() noexcept {
    connection_.reset();
    hostWindow_.reset();
    clsGlobal_.reset();
    unsubscribe();
    activeNavigator_.reset();
    activeDll_.set(*this, nullptr);
    statusBar_.reset();
    activeFrame_.reset();
}

void CorrelationEntryClass::releaseInDestroyOrder() {
    statusBar_.reset();
    activeFrame_.reset();
    clsGlobal_.reset();
    hostWindow_.reset();
    unsubscribe();
    activeNavigator_.reset();
    connection_.reset();
    activeDll_.set(*this, nullptr);
    editor_.reset();
}

std::shared_ptr<host::MessageCenter> CorrelationEntryClass::messageCenterOrNull() const noexcept {
    try {
        return clsGlobal_ ? clsGlobal_->messageCenter() : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

namespace {

void showTerminationError(const std::shared_ptr<host::MessageCenter>& messages, const std::exception& e,
                          TerminationStage stage) noexcept {
    try {
        const host::ErrorInfo info = host::errorFrom(e);
        if (messages) messages->messageBox(terminationErrorText(info.number, info.description, stage), 0, editor::kApplicationTitle);
    } catch (const std::exception&) {
        // the box itself failed: nothing more can be told
    }
}

}  // namespace

void CLSCG_CORRRICLHYPE::DestroyClass() {
    // The message centre is taken first: the release of ClsGlobal is one of the steps.
    auto messages = messageCenterOrNull();
    try {
        releaseInDestroyOrder();
    } catch (const std::exception& e) {
        showTerminationError(messages, e, TerminationStage::DestroyClass);
    }
}

CLSCG_CORRRICLHYPE::~CLSCG_CORRRICLHYPE() {
    auto messages = messageCenterOrNull();
    try {
        DestroyClass();
    } catch (const std::exception& e) {
        showTerminationError(messages, e, TerminationStage::Terminate);
    }
}

}  // namespace entry
