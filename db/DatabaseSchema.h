#pragma once
// What the program tells the backends about its own database, once at start-up before the
// first connection opens (setDatabaseSchema): the database client itself knows no table.
// A backend keeps the schema that was set when it opened, so a session translates every text
// the same way from its first statement to its last.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/tsql/SchemaInfo.h"

struct sqlite3;

namespace db {

struct DatabaseSchema {
    // What the T-SQL translation of the SQLite and PostgreSQL backends knows of the tables.
    tsql::SchemaInfo translation;
    // The program's tables: an SQLite file, opened or attached, that holds none of them is not
    // the program's database and is refused unless the connection string says Schema=any.
    std::vector<std::string> tables;
    // Runs on every new SQLite session, after the translation's runtime functions: the
    // program's own functions (e.g. table-valued functions its statements call). May throw
    // db::Error, which fails the open.
    std::function<void(sqlite3*)> registerSqliteFunctions;
};

// Sets the schema the backends opened from now on use. Called by the program's start-up.
void setDatabaseSchema(std::shared_ptr<const DatabaseSchema> schema);

// The schema set last, or an empty one (no text column or unique key known, no function of
// the program, and no SQLite file accepted without Schema=any) when none was set.
std::shared_ptr<const DatabaseSchema> databaseSchema();

}  // namespace db
