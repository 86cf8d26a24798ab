#pragma once
// Error types of the database client. A statement the database refuses raises db::Error and
// fills the connection's Errors collection; misuse of the client (a field read at EOF, an
// unknown field, a closed recordset) raises UsageError; a value that does not convert raises
// ConversionError. None of them is ever undefined behaviour.

#include <stdexcept>
#include <string>
#include <vector>

namespace db {

// One entry of a connection's error collection (ADO Error object).
struct ErrorItem {
    std::string description;
    long nativeError = 0;
    std::string sqlState;   // five characters, e.g. "HY000", "23000", "42S02"
    std::string source;     // "SQLite", "ODBC", "T-SQL translator"
};

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The database (or the dialect translator on its behalf) refused a statement.
class Error : public Exception {
public:
    explicit Error(std::vector<ErrorItem> items);
    Error(std::string description, long nativeError, std::string sqlState, std::string source);
    const std::vector<ErrorItem>& items() const { return items_; }

private:
    std::vector<ErrorItem> items_;
};

// The client was used in a way it does not allow.
class UsageError : public Exception {
public:
    using Exception::Exception;
};

// A Variant that does not convert to the type asked for (type mismatch, overflow, Null).
class ConversionError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace db
