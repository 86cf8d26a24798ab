#include "gui/Screenshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <optional>

#include "gui/DesktopShell.h"
#include "gui/StatementPanel.h"
#include "gui/Support.h"
#include "kit/Form.h"
#include "kit/GridNavigator.h"
#include "kit/SimpleControls.h"

namespace gui {

namespace {

// Lets the window finish what it does a moment after a change (the counts in its status bar).
void settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool savePng(QWidget& window, const std::filesystem::path& file, QString* error) {
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    if (window.grab().save(qs(file.string()), "PNG")) return true;
    if (error) *error = QStringLiteral("impossibile scrivere %1").arg(qs(file.string()));
    return false;
}

// Typed as a user would: the code, then the key that confirms it.
void type(kit::Form& form, const char* box, const std::string& text, int key) {
    auto control = form.find(box);
    if (!control || !form.setFocus(*control)) return;
    control->enterText(text);
    form.keyDown(key);
    QCoreApplication::processEvents();
}

// Clicks `button` of the editor and saves the modal window it opens, which is closed again.
bool shootChildWindow(QtWindowSystem& windows, kit::Form& editor, const char* button, const ScreenshotRequest& r,
                      QString* error) {
    auto control = editor.find(button);
    auto* menuButton = control ? dynamic_cast<kit::MenuButton*>(control.get()) : nullptr;
    std::optional<bool> saved;
    windows.setShownHook([&](FormWindow& child) {
        QPointer<FormWindow> shown(&child);
        // Once the modal window runs its own loop: its picture, then it closes.
        QTimer::singleShot(0, &child, [&, shown] {
            if (!shown) return;
            settle();
            if (!shown) return;
            saved = savePng(*shown, r.file, error);
            shown->close();
        });
    });
    const bool clicked = menuButton && menuButton->click();
    windows.setShownHook({});
    if (!saved) {
        if (error && error->isEmpty())
            *error = clicked ? QStringLiteral("la finestra richiesta non si è aperta")
                             : QStringLiteral("il pulsante %1 non è disponibile su questa riga").arg(button);
        return false;
    }
    return *saved;
}

}  // namespace

bool parseScreenshotWindow(const std::string& name, ScreenshotRequest::Window& window) {
    if (name.empty() || name == "editor") window = ScreenshotRequest::Window::Editor;
    else if (name == "intermedi") window = ScreenshotRequest::Window::Intermediaries;
    else if (name == "cee") window = ScreenshotRequest::Window::Cee;
    else if (name == "anteprima") window = ScreenshotRequest::Window::Statement;
    else return false;
    return true;
}

bool takeScreenshot(DesktopShell& shell, const ScreenshotRequest& r, QString* error) {
    const int failuresBefore = shell.dialogs().failures();
    FormWindow* opened = shell.openModeless(r.kind, error);
    if (!opened) return false;
    QPointer<FormWindow> w = opened;
    kit::Form* form = w->form();
    if (form && !r.chartCode.empty()) {
        type(*form, r.kind == 3 ? "TXT_CODINTERCOMPANY" : "TXT_CODICE_PDC", r.chartCode, kit::keys::Tab);
        if (!r.reclChartCode.empty()) type(*form, "TXT_CODICE_RICL", r.reclChartCode, kit::keys::Enter);
    }
    if (w && r.size.isValid()) w->resize(r.size);
    if (form = w ? w->form() : nullptr; form && !r.account.empty()) {
        // The search box looks an account up after "Nuovo", as a user does.
        if (auto nav = std::dynamic_pointer_cast<kit::GridNavigator>(form->find("GRIDNAV"))) nav->press("Nuovo");
        type(*form, "TXT_CONTO", r.account, kit::keys::Enter);
    }
    settle();

    bool saved = false;
    if (!w || !w->form()) {
        if (error) *error = QStringLiteral("la finestra della correlazione si è chiusa");
    } else if (shell.dialogs().failures() != failuresBefore) {
        // A window that reported an error is not what the picture should show.
        if (error) *error = QStringLiteral("la finestra ha segnalato un errore");
    } else if (r.window == ScreenshotRequest::Window::Intermediaries) {
        saved = shootChildWindow(shell.windowSystem(), *w->form(), "BUT_CORRINTERMEDI", r, error);
    } else if (r.window == ScreenshotRequest::Window::Cee) {
        saved = shootChildWindow(shell.windowSystem(), *w->form(), "BUT_CORRINFRANNUALECEE", r, error);
    } else {
        if (r.window == ScreenshotRequest::Window::Statement)
            if (auto* panel = w->findChild<StatementPanel*>()) {
                panel->setShown(true);
                if (r.size.isValid()) w->resize(r.size);   // the picture keeps the size asked for
                settle();
            }
        saved = savePng(*w, r.file, error);
    }
    if (w) w->close();
    shell.forgetClosedEditors();
    return saved;
}

}  // namespace gui
