#pragma once
// Making an empty host database in a folder, as `brevanto-cli db init` does and as the
// desktop's settings window offers for a folder that has none; on PostgreSQL, its tables in a
// database of a server.

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace db {
class Connection;
}

namespace hostdb {

// The SQLite file of database `name` in `folder` (folder/name.db).
std::filesystem::path databaseFileIn(const std::filesystem::path& folder, const std::string& name);

// Creates `folder` when it is missing, then database `name` in it with every host table, and
// returns the open connection. Throws std::runtime_error with a message for the user when the
// folder cannot hold a database (a ';' in its name, a file in its place, no permission) or the
// database is already there, and db::Error when SQLite refuses; a database half made is
// removed again.
std::shared_ptr<db::Connection> createHostDatabase(const std::filesystem::path& folder, const std::string& name);

// PostgreSQL: Brevanto's tables in the database a "Provider=PostgreSQL;…" string names (schema
// public), returning the open connection. db::Error, with nothing changed, when the tables are
// already there or the server refuses.
std::shared_ptr<db::Connection> createPostgresHost(const std::string& connectionString);

// PostgreSQL: an intercompany database as schema `name` of the same database, with the host
// tables, and a connection whose unqualified names resolve in it (DefaultSchema=name). A
// three-part name [name].dbo.T of the host connection reaches its tables. db::Error when the
// schema exists already.
std::shared_ptr<db::Connection> createPostgresSchema(const std::string& connectionString, const std::string& name);

// Undoes createPostgresHost and createPostgresSchema(…, group) after a failure: drops the
// schema `group` and the host tables (the balances table too) of the connection's database.
void dropPostgresHost(db::Connection& host, const std::string& group);

// Removes a database file with the files SQLite keeps beside it (-wal, -shm, -journal); the
// first failure, or no error.
std::error_code removeDatabaseFiles(const std::filesystem::path& file);

// What a file-system error means, in Italian ("permesso negato", "spazio esaurito", …), with
// the system's own text only for the rare ones.
std::string fileErrorText(const std::error_code& ec);

}  // namespace hostdb
