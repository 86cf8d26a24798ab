#include "standalone/RecordingModels.h"

namespace standalone {

namespace {

// A Variant as JSON for the event log: numbers stay numbers, everything else is text.
nlohmann::json toJson(const db::Variant& v) {
    switch (v.type()) {
        case db::Variant::Type::Empty:
        case db::Variant::Type::Null: return nullptr;
        case db::Variant::Type::Integer: return v.toInt64();
        case db::Variant::Type::Double:
        case db::Variant::Type::Decimal: return v.toDouble();
        case db::Variant::Type::Boolean: return v.toBool();
        case db::Variant::Type::Text: return v.toText();
        case db::Variant::Type::Object: return "<object>";
    }
    return nullptr;
}

}  // namespace

void RecordingLayoutModel::registerWindow(const db::Variant& title, std::shared_ptr<db::Object>& window,
                                          int option1, int option2, int option3) {
    window_ = window;
    log_->record("layoutRegisterWindow", {{"title", toJson(title)}, {"hasWindow", window != nullptr},
                                          {"options", {option1, option2, option3}}});
}

void RecordingLayoutModel::registerGrid(const db::Variant& name, std::shared_ptr<db::Object>& grid) {
    grid_ = grid;
    log_->record("layoutRegisterGrid", {{"name", toJson(name)}, {"hasGrid", grid != nullptr}});
}

void RecordingScriptModel::registerWindow(const std::string& name, std::shared_ptr<db::Object>& window,
                                          int option, const db::Variant& title) {
    log_->record("scriptRegisterWindow", {{"name", name}, {"hasWindow", window != nullptr},
                                          {"option", option}, {"title", toJson(title)}});
}

void RecordingScriptModel::formEvent(const std::string& windowName, int option, int open, const db::Variant& name) {
    log_->record("formEvent", {{"window", windowName}, {"option", option}, {"open", open},
                               {"name", toJson(name)}, {"action", open == 1 ? "qvOpen" : "qvClose"}});
}

bool RecordingScriptModel::closingVeto() {
    log_->record("closingVeto", {{"answer", veto_}});
    return veto_;
}

void RecordingScriptModel::closingNotice(const std::string& text) {
    log_->record("scriptClosingNotice", {{"text", text}});
}

RecordingNavigator::RecordingNavigator(std::shared_ptr<HostEventLog> log) : log_(std::move(log)) { resetModels(); }

void RecordingNavigator::resetModels() {
    if (!layout_) layout_ = std::make_shared<RecordingLayoutModel>(log_);
    if (!script_) script_ = std::make_shared<RecordingScriptModel>(log_);
}

void RecordingNavigator::refreshStatus(std::int16_t status) { log_->record("refreshStatus", {{"status", status}}); }
void RecordingNavigator::refresh() { log_->record("refresh"); }
void RecordingNavigator::activationNotice() { log_->record("activationNotice"); }

void RecordingNavigator::formNotice(db::Variant& out) {
    out = db::Variant();
    log_->record("formNotice");
}

void RecordingNavigator::closingNotice() { log_->record("closingNotice"); }

std::shared_ptr<host::ScriptModel> RecordingNavigator::scriptObjectModel() { return script_; }

void RecordingNavigator::clearLayoutModel() {
    layout_.reset();
    log_->record("clearLayoutModel");
}

void RecordingNavigator::clearScriptModel() {
    script_.reset();
    log_->record("clearScriptModel");
}

void RecordingNavigator::clearEntryLink() {
    entryLinked_ = false;
    log_->record("clearEntryLink");
}

bool RecordingNavigator::raiseInitializeLayoutObjectModel() {
    resetModels();
    bool cancel = false;
    auto model = layout_;   // kept alive even if a handler clears the navigator's link
    InitializeLayoutObjectModel.raise(cancel, *model);
    return cancel;
}

bool RecordingNavigator::raiseInitializeScriptObjectModel() {
    resetModels();
    bool cancel = false;
    auto model = script_;
    InitializeScriptObjectModel.raise(cancel, *model);
    return cancel;
}

bool RecordingNavigator::raiseBeforeExportToOffice(host::ExportToOffice& exporter) {
    bool cancel = false;
    BeforeExportToOffice.raise(cancel, exporter);
    log_->record("beforeExportToOffice", {{"cancel", cancel}});
    return cancel;
}

}  // namespace standalone
