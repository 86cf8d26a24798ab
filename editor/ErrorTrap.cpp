#include "editor/ErrorTrap.h"

namespace editor {

ErrorReporter suppressErrors() {
    return [](const TrappedError&) { return kAnswerIgnore; };
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
