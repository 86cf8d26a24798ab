#pragma once
// A run-time error as the host's error report shows it: number, description, source and the
// database's error collection when the error came from a statement.

#include <exception>
#include <string>
#include <vector>

#include "db/Error.h"

namespace host {

// Error numbers given to the exceptions of the database client.
inline constexpr long kErrDatabase = -2147217900;   // statement refused by the database
inline constexpr long kErrTypeMismatch = 13;        // db::ConversionError
inline constexpr long kErrInvalidCall = 5;          // db::UsageError, host::HostError
inline constexpr long kErrApplication = 440;        // anything else

struct ErrorInfo {
    long number = 0;
    std::string description;
    std::string source;
    std::vector<db::ErrorItem> databaseErrors;

    bool empty() const { return number == 0 && description.empty(); }
};

// The error information of a caught exception (db::Error keeps its items).
ErrorInfo errorFrom(const std::exception& e);
// Of the exception being handled; call only inside a catch block.
ErrorInfo currentError();

// Answers of the error report.
enum ErrorAnswer { kAnswerAbort = 3, kAnswerRetry = 4, kAnswerIgnore = 5 };
// 4 and 5 pass; anything else counts as abort (3).
int normaliseErrorAnswer(int answer);

}  // namespace host
