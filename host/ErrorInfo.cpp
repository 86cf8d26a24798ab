#include "host/ErrorInfo.h"

#include "host/HostError.h"

namespace host {

ErrorInfo errorFrom(const std::exception& e) {
    ErrorInfo info;
    info.description = e.what();
    if (auto* dbError = dynamic_cast<const db::Error*>(&e)) {
        info.number = kErrDatabase;
        info.databaseErrors = dbError->items();
        info.source = dbError->items().empty() ? "database" : dbError->items().front().source;
    } else if (dynamic_cast<const db::ConversionError*>(&e)) {
        info.number = kErrTypeMismatch;
        info.source = "Brevanto";
    } else if (dynamic_cast<const db::UsageError*>(&e) || dynamic_cast<const HostError*>(&e)) {
        info.number = kErrInvalidCall;
        info.source = "Brevanto";
    } else {
        info.number = kErrApplication;
        info.source = "Brevanto";
    }
    return info;
}

ErrorInfo currentError() {
    try {
        throw;
    } catch (const std::exception& e) {
        return errorFrom(e);
    } catch (...) {
        return ErrorInfo{kErrApplication, "errore sconosciuto", "Brevanto", {}};
    }
}

int normaliseErrorAnswer(int answer) {
    return (answer == kAnswerRetry || answer == kAnswerIgnore) ? answer : kAnswerAbort;
}

}  // namespace host
