#pragma once
// The ODBC backend's public helpers: error classification for callers that react to a
// particular refusal (a duplicate key), the connection string handed to the driver manager,
// and the mapping from ODBC column descriptions to ADO field descriptions.
//
// This header does not include sql.h: SQL type codes are passed as plain ints with ODBC's
// own values (SQL_VARCHAR = 12, SQL_INTEGER = 4 ...).

#include <string>

#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/ResultSet.h"

namespace db::odbc {

// True when the item reports a violated unique or primary key, whatever the driver:
// SQLite3 driver HY000 / native 19 "UNIQUE constraint failed", PostgreSQL 23505,
// SQL Server 23000 with native 2627 (primary key / unique constraint) or 2601 (unique index).
bool isDuplicateKey(const ErrorItem& item);
// True when any item of the error is a duplicate key.
bool isDuplicateKey(const Error& error);

// The text given to SQLDriverConnect: the ADO string without Provider, "User ID" and
// "Password" written as UID and PWD, the explicit user and password (when not empty) in
// place of any UID/PWD of the string, and ClientCharset=UTF-8 for FreeTDS when the string
// names none (the backend exchanges UTF-8 text through the narrow API).
std::string driverConnectionString(const ConnectionString& cs, const std::string& user,
                                   const std::string& password);

// A value for a connection string item: as is, or in braces (with "}" doubled) when it
// holds characters that would otherwise end or confuse the item.
std::string connectionValue(const std::string& value);

// How the backend reads a column of a given SQL type.
enum class ValueKind { Integer, Boolean, Double, Decimal, Text };
ValueKind valueKindFor(int sqlType);

// ADO field description of a column as SQLDescribeCol reported it.
FieldInfo fieldInfoFor(std::string name, int sqlType, unsigned long long columnSize, int nullable);

}  // namespace db::odbc
