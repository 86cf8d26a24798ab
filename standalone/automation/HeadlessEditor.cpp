#include "standalone/automation/HeadlessEditor.h"

#include "kit/Kit.h"

namespace standalone {

HeadlessEditor::HeadlessEditor(Settings settings, ClassSource& classes)
    : events_(std::make_shared<HostEventLog>()),
      dialogs_(std::make_shared<ScriptedDialogs>(events_)),
      host_(StandaloneHost::create(std::move(settings), dialogs_, events_)),
      windows_(events_),
      classes_(classes) {}

HeadlessEditor::~HeadlessEditor() {
    // Most recent first, as a user closes the windows on top.
    for (int guard = 0; guard < 10; ++guard) {
        kit::Form* f = windows_.top();
        if (!f) break;
        try {
            if (!f->close() && windows_.isOpen(f)) break;
        } catch (const std::exception&) {
            break;
        }
    }
}

void HeadlessEditor::refused(const std::string& what) {
    std::string text = what;
    std::string sep = ": ";
    for (const auto& box : dialogs_->takeShown()) {
        text += sep + box.text;
        sep = " / ";
    }
    throw HeadlessError(text);
}

void HeadlessEditor::open(const std::string& progId) {
    try {
        entry_ = classes_.create(progId, windows_);
    } catch (const std::exception& e) {
        throw HeadlessError(std::string("Impossibile aprire la correlazione: ") + e.what());
    }
    entry_->setClsGlobal(host_.global);
    navigator_ = host_.newNavigator();
    entry_->setActiveNavigator(navigator_);
    entry_->setActiveFrame(std::make_shared<SimpleStatusFrame>(0));
    entry_->setClsVoceMenu(std::make_shared<SimpleMenuEntry>(progId));
    entry_->setWindowModal(false);
    entry_->ShowForm();
    if (!windows_.top()) refused("La finestra della correlazione non si è aperta");
}

kit::Form& HeadlessEditor::window() const {
    kit::Form* f = windows_.top();
    if (!f) throw HeadlessError("La finestra della correlazione non è aperta");
    return *f;
}

void HeadlessEditor::typeAndTab(const std::string& control, const std::string& text, const std::string& what) {
    kit::Form& form = window();
    auto field = form.find(control);
    if (!field) refused("La finestra non ha il campo " + control);
    if (!field->canFocus() || !form.setFocus(*field) || !field->hasFocus())
        refused("Non si può indicare " + what + " (campo " + control + ")");
    field->enterText("");   // typed anew, so that an unchanged code is confirmed again
    field->enterText(text);
    form.keyDown(kit::keys::Tab);
    if (field->hasFocus() || !dialogs_->shown().empty()) {
        // The editor's own message says why; a code box that refuses without one knows no
        // such code for this kind.
        refused("Codice \"" + text + "\" non accettato come " + what +
                (dialogs_->shown().empty() ? ": codice inesistente o non ammesso in questa correlazione" : ""));
    }
}

void HeadlessEditor::fillHeader(const HeaderCodes& codes) {
    dialogs_->takeShown();
    if (!codes.intercompany.empty()) {
        typeAndTab("TXT_CODINTERCOMPANY", codes.intercompany, "struttura intercompany");
        const std::string chart = window().get("TXT_CODICE_PDC").Text();
        if (!codes.chart.empty() && chart != codes.chart)
            refused("La struttura intercompany " + codes.intercompany + " usa il piano dei conti " + chart + ", non " +
                    codes.chart);
    } else {
        typeAndTab("TXT_CODICE_PDC", codes.chart, "piano dei conti");
    }
    typeAndTab("TXT_CODICE_RICL", codes.reclChart, "piano di riclassificazione");
    auto grid = window().find("GRID_CORRPDC");
    if (!grid || !grid->Enabled()) refused("L'elenco dei conti non è stato caricato");
}

std::shared_ptr<OfficeExport> HeadlessEditor::exportToOffice() {
    if (!navigator_) throw HeadlessError("Nessuna correlazione aperta");
    return host_.collectExport(*navigator_);
}

}  // namespace standalone
