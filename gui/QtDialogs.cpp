#include "gui/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <ostream>

#include "gui/Support.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/Services.h"

namespace gui {

namespace {

using SB = QMessageBox::StandardButton;

std::vector<BoxButton> buttonsOfStyle(int style) {
    switch (style & 0xF) {
    case 1: return {{SB::Ok, 1}, {SB::Cancel, 2}};
    case 2: return {{SB::Abort, 3}, {SB::Retry, 4}, {SB::Ignore, 5}};
    case 3: return {{SB::Yes, 1}, {SB::No, 0}, {SB::Cancel, 2}};
    case 4: return {{SB::Yes, 1}, {SB::No, 0}};
    case 5: return {{SB::Retry, 4}, {SB::Cancel, 2}};
    default: return {{SB::Ok, 1}};
    }
}

QMessageBox::Icon iconOfStyle(int style) {
    switch (style & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int defaultOfStyle(int style, std::size_t count) {
    int index = (style & 0x300) >> 8;   // 256 -> 1, 512 -> 2
    return index < static_cast<int>(count) ? index : 0;
}

// The answer of closing the box with Escape or the window's close button: Cancel where
// there is one, No for Yes/No, abort for Abort/Retry/Ignore, otherwise the only button.
int escapeOf(const std::vector<BoxButton>& buttons) {
    for (auto b : buttons)
        if (b.button == SB::Cancel) return b.answer;
    for (auto b : buttons)
        if (b.button == SB::No || b.button == SB::Abort) return b.answer;
    return buttons.front().answer;
}

int run(QWidget* parent, const BoxPlan& plan, const QString& title, const QString& text, const QString& detail) {
    QMessageBox box(parent);
    box.setObjectName("MessageBox");
    box.setIcon(plan.icon);
    box.setWindowTitle(title);
    box.setText(text);
    if (!detail.isEmpty()) box.setInformativeText(detail);
    std::vector<QPushButton*> added;
    for (auto b : plan.buttons) added.push_back(box.addButton(b.button));
    box.setDefaultButton(added[plan.defaultIndex]);
    // The box is asked from inside a field's handler (a refused account, a failed save): the
    // cursor goes back to that field when the box closes, as the user left it.
    QPointer<QWidget> previous = QApplication::focusWidget();
    box.exec();
    if (previous) {
        previous->activateWindow();
        previous->setFocus(Qt::OtherFocusReason);
    }
    QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (added[i] == clicked) return plan.buttons[i].answer;
    return plan.escapeAnswer;
}

}  // namespace

BoxPlan planMessage(const host::MessageBoxRequest& r) {
    BoxPlan plan;
    if (r.code != 0) {
        switch (r.type) {
        case 2: plan.icon = QMessageBox::Warning; break;
        case 3: plan.icon = QMessageBox::Critical; break;
        case 4: plan.icon = QMessageBox::Question; break;
        default: plan.icon = QMessageBox::Information; break;
        }
        plan.buttons = r.type == 4 ? buttonsOfStyle(4) : buttonsOfStyle(0);
        plan.defaultIndex = defaultOfStyle(r.defaultButton, plan.buttons.size());
    } else {
        plan.icon = iconOfStyle(r.type);
        plan.buttons = buttonsOfStyle(r.type);
        // A default button given apart from the style wins.
        plan.defaultIndex = defaultOfStyle(r.defaultButton != 0 ? r.defaultButton : r.type, plan.buttons.size());
    }
    plan.escapeAnswer = escapeOf(plan.buttons);
    return plan;
}

BoxPlan planErrorReport(int style) {
    BoxPlan plan;
    plan.icon = QMessageBox::Critical;
    plan.buttons = buttonsOfStyle(2);
    int d = (style & 0x300) >> 8;
    plan.defaultIndex = d < 3 ? d : 0;
    plan.escapeAnswer = 3;
    return plan;
}

QWidget* QtDialogs::owner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (parent_) return parent_;
    return QApplication::activeWindow();
}

int QtDialogs::answerUnattended(const BoxPlan& plan, const std::string& text, const std::string& detail) {
    const bool failure = plan.icon == QMessageBox::Critical;
    if (failure) ++failures_;
    // An error report's text already starts with "Errore n.".
    if (text.rfind("Errore", 0) != 0) *unattended_ << (failure ? "Errore: " : "Messaggio: ");
    *unattended_ << text;
    if (!detail.empty()) *unattended_ << '\n' << detail;
    *unattended_ << std::endl;
    return plan.escapeAnswer;
}

int QtDialogs::message(const host::MessageBoxRequest& r) {
    const BoxPlan plan = planMessage(r);
    if (unattended_) return answerUnattended(plan, r.text, r.detail);
    QString title = qs(r.title.empty() ? std::string(standalone::kApplicationTitle) : r.title);
    return run(owner(), plan, title, qs(r.text), qs(r.detail));
}

int QtDialogs::errorReport(const host::ErrorReportRequest& r) {
    QString title = qs(r.title.empty() ? std::string(standalone::kApplicationTitle) : r.title);
    // The first line is the error itself; procedure, origin and every database error of
    // the collection (description, native code, SQLSTATE) follow under it.
    std::string report = standalone::formatErrorReport(r);
    std::string head = report, rest;
    if (auto nl = report.find('\n'); nl != std::string::npos) {
        head = report.substr(0, nl);
        rest = report.substr(nl + 1);
    }
    if (!r.caption.empty()) rest = "Finestra: " + r.caption + (rest.empty() ? "" : "\n" + rest);
    const BoxPlan plan = planErrorReport(r.style);
    if (unattended_) return host::normaliseErrorAnswer(answerUnattended(plan, head, rest));
    return host::normaliseErrorAnswer(run(owner(), plan, title, qs(head), qs(rest)));
}

}  // namespace gui
