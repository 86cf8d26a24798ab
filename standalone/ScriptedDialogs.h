#pragma once
// Dialogs that answer from a queue instead of asking a user: for tests and the automation
// driver. Every box shown is recorded with its final text and the answer given. An empty
// queue answers 1 (OK) to a message and 3 (abort) to an error report.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "host/Dialogs.h"

namespace standalone {

class HostEventLog;

// The text of an error report as a dialog shows it: number, description, procedure and
// one line per database error (description, native code, SQLSTATE).
std::string formatErrorReport(const host::ErrorReportRequest& request);

struct ShownBox {
    enum class Kind { Message, ErrorReport };
    Kind kind = Kind::Message;
    long code = 0;            // message id, or the error number of a report
    int type = 0;             // message type, or the report's style
    std::string title;
    std::string text;         // final text (placeholders filled; the formatted report)
    std::string detail;
    std::string procedure;    // error reports only
    int defaultButton = 0;
    std::vector<db::ErrorItem> databaseErrors;
    int answer = 0;
};

class ScriptedDialogs : public host::Dialogs {
public:
    // When `log` is given every box is also recorded there as a "messageBox" or
    // "errorReport" event.
    explicit ScriptedDialogs(std::shared_ptr<HostEventLog> log = nullptr) : log_(std::move(log)) {}

    // The answer to the next box, whichever kind it is.
    void pushAnswer(int answer) { answers_.push_back(answer); }
    std::size_t pendingAnswers() const { return answers_.size(); }
    void clearAnswers() { answers_.clear(); }

    int message(const host::MessageBoxRequest& request) override;
    int errorReport(const host::ErrorReportRequest& request) override;

    const std::vector<ShownBox>& shown() const { return shown_; }
    // The boxes shown since the last take, which are then forgotten.
    std::vector<ShownBox> takeShown();

private:
    int nextAnswer(int fallback);
    std::shared_ptr<HostEventLog> log_;
    std::deque<int> answers_;
    std::vector<ShownBox> shown_;
};

}  // namespace standalone
