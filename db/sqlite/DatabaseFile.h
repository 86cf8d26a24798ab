#pragma once
// What the SQLite backend checks about a database file before it trusts it: that an existing
// file is a Brevanto database before anything writes to it, and that the file a session
// writes is still the one at its path.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace db::sqlite {

// Why an existing file cannot be a database, from its first bytes alone (nothing is opened for
// writing): empty, or not an SQLite file. nullopt when it looks like one, or cannot be read
// (SQLite then says why it cannot open it).
std::optional<std::string> whyNotADatabaseFile(const std::filesystem::path& file);

// The tables of schema `schema` ("main" or an attached name) of an open session, read without
// writing. SQLITE_OK, or SQLite's code when the file cannot be read as a database.
int readTableNames(sqlite3* db, const std::string& schema, std::vector<std::string>& names);

// True when one of `names` is one of `tables` (the program's tables, DatabaseSchema::tables),
// compared case-insensitively: the file is the program's database.
bool holdsAnyTable(const std::vector<std::string>& names, const std::vector<std::string>& tables);

// True when the file schema `schema` was opened on has been deleted, renamed or replaced since
// (its path now names no file or another one). One stat() of the path.
bool fileHasMoved(sqlite3* db, const std::string& schema);

}  // namespace db::sqlite
