#pragma once
// What a PostgreSQL result means to the client: its error as db::Error items (SQLSTATE as the
// state, SQL Server's native number where the module reacts to one), its rows as a result set
// with ADO field types chosen by the columns' type OIDs, and a failed connection explained in
// Italian.

#include <string>
#include <string_view>

#include "db/Error.h"
#include "db/ResultSet.h"

struct pg_result;
struct pg_conn;

namespace db::postgres {

inline constexpr const char* kSource = "PostgreSQL";

// SQL Server's number for the same failure, so that checks written for it hold: 2627 for a
// unique violation (23505), 8672 for a source row matched twice by an upsert (21000), 1205
// for a deadlock or a serialization failure (40P01, 40001); 0 for the rest.
long nativeErrorFor(std::string_view sqlState);

// The error of a failed result (message, detail and hint, SQLSTATE, native number); the
// connection's message when the result carries none (the server went away).
ErrorItem errorItemFor(const pg_result* result, const pg_conn* conn);

// Why PQconnectdbParams failed, for the user: server unreachable (08001), wrong user or
// password (28P01), missing database (3D000), with libpq's own text after it.
Error connectionError(const std::string& libpqMessage, const std::string& host, const std::string& port,
                      const std::string& database, const std::string& user);

// ADO type and defined size of a column of type `oid` with modifier `typmod`.
FieldInfo fieldInfoFor(unsigned oid, int typmod);

// The rows of a PGRES_TUPLES_OK result, read from text format.
ResultSet readResultSet(const pg_result* result);

}  // namespace db::postgres
