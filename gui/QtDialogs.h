#pragma once
// Message boxes and the error report of the stand-alone host as Qt dialogs.
//
// A message with a code (the module's and the host dictionary's messages) carries a message
// type: 1 information, 2 warning, 3 error, 4 question (Yes/No; default button 256 makes No
// the default). Yes and OK answer 1, No answers 0.
// A message without a code (the host's plain message box) carries a style in the host's
// button/icon codes: buttons 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel,
// 4 Yes/No, 5 Retry/Cancel; icons 16 critical, 32 question, 48 warning, 64 information;
// default button 256 second, 512 third. Answers: OK 1, Yes 1, No 0, Cancel 2, Abort 3,
// Retry 4, Ignore 5.
// The error report has Abort, Retry and Ignore, answering 3, 4 and 5; closing it otherwise
// counts as abort.
//
// Without a user (the desktop's --screenshot run) nothing is shown: each box is written to
// standard error and answered as if closed without a button, and the failures are counted so
// that the run can end with an error.

#include <QMessageBox>
#include <QPointer>
#include <iosfwd>
#include <vector>

#include "host/Dialogs.h"

namespace gui {

struct BoxButton {
    QMessageBox::StandardButton button;
    int answer;
};

struct BoxPlan {
    QMessageBox::Icon icon = QMessageBox::Information;
    std::vector<BoxButton> buttons;
    int defaultIndex = 0;   // into buttons
    int escapeAnswer = 1;   // answer when the box is closed without a button
};

// How a message request shows: icon, buttons with their answers, default button.
BoxPlan planMessage(const host::MessageBoxRequest& request);
// The error report's buttons for a style (4370: Abort/Retry/Ignore, Retry the default).
BoxPlan planErrorReport(int style);

class QtDialogs : public host::Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    int message(const host::MessageBoxRequest& request) override;
    int errorReport(const host::ErrorReportRequest& request) override;

    // Writes every box to `out` instead of showing it (nullptr: shows them again).
    void setUnattended(std::ostream* out) { unattended_ = out; }
    // Error reports and error or critical messages met while unattended.
    int failures() const { return failures_; }

private:
    QWidget* owner() const;
    int answerUnattended(const BoxPlan& plan, const std::string& text, const std::string& detail);
    QPointer<QWidget> parent_;
    std::ostream* unattended_ = nullptr;
    int failures_ = 0;
};

}  // namespace gui
