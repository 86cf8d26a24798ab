#include "editor/ErrorTrap.h"

#include "db/Trace.h"

namespace editor {

ErrorReporter suppressErrors() {
    return [](const TrappedError& e) {
        // The user is not told; the trace is.
        db::publishSwallowed(db::SwallowedError{e.procedure, e.description});
        return kAnswerIgnore;
    };
}

int ErrorTrap::ask(const std::exception& e) {
    ++errors_;
    if (!reporter_) return kAnswerAbort;
    try {
        return reporter_(TrappedError{procedure_, e.what(), &e});
    } catch (...) {
        // A reporter that fails itself cannot answer: leave the procedure.
        return kAnswerAbort;
    }
}

}  // namespace editor
