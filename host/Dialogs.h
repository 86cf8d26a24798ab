#pragma once
// The port through which the stand-alone host shows message boxes and error reports: the
// desktop shell implements it with real dialogs, tests and the automation driver answer
// from a queue.

#include <string>
#include <vector>

#include "db/Error.h"

namespace host {

struct MessageBoxRequest {
    std::string text;
    std::string title;
    int type = 0;            // message type / box style
    int defaultButton = 0;   // 0 = the box's own default
    std::string detail;
    long code = 0;           // message id (module table or host dictionary); 0 for none
};

struct ErrorReportRequest {
    long number = 0;
    std::string description;
    std::string source;
    std::string procedure;
    std::string title;
    std::string caption;
    int style = 4370;
    std::vector<db::ErrorItem> databaseErrors;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Returns the button pressed (1 OK / yes, 0 no, …).
    virtual int message(const MessageBoxRequest& request) = 0;
    // Returns 3 abort, 4 retry or 5 ignore.
    virtual int errorReport(const ErrorReportRequest& request) = 0;
};

}  // namespace host
