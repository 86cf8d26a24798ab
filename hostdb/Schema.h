#pragma once
// The accounting tables Brevanto reads and writes, as the stand-alone host creates them in an
// embedded SQLite database. Text columns are declared COLLATE TSQL (registered on every SQLite
// connection) so that comparisons ignore case and trailing blanks as SQL Server does.
// Correlation tables are keyed on every column but the target account: a second row for the
// same key is refused by the database.

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace hostdb {

// The whole DDL, separated by ";\n": one CREATE TABLE per table, then the CREATE INDEX
// statements of the indexes beyond the keys.
const std::string& hostSchemaSql();

// The same DDL split into its statements (no trailing ';').
const std::vector<std::string>& hostSchemaStatements();

// Names of every table of the schema, in creation order.
const std::vector<std::string>& hostTableNames();

// Creates every table on an open connection. On SQLite the DDL runs on a private handle on the
// same file (with the TSQL collation registered), because the DDL is SQLite text and not the
// T-SQL the connection translates; on any other provider each statement is sent through the
// connection without the COLLATE clauses (SQL Server compares case-insensitively by default);
// on PostgreSQL the runtime (collation, helper functions), the tables, their indexes and the
// table functions are made in the connection's current schema in one transaction.
// Throws db::Error when a table already exists or the database refuses a statement.
void createHostSchema(db::Connection& connection);

// Path of the SQLite file a "Provider=SQLite;database=X;Data Source=DIR" string names
// (DIR/X.db); empty when the string names no SQLite database.
std::string sqliteFileOf(const std::string& connectionString);

}  // namespace hostdb
