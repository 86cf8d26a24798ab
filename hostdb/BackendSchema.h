#pragma once
// What the database client's backends need to know of the host schema (Schema.h), handed to
// them by the program's start-up:
//
//     db::setDatabaseSchema(hostdb::backendSchema());
//
// before the first connection opens: the text columns and unique keys the T-SQL translation
// types by, the tables that make an SQLite file a Brevanto database, and the two table-valued
// functions every SQLite session registers (SqliteTableFunctions.h).

#include <memory>
#include <string>

#include "db/DatabaseSchema.h"
#include "db/tsql/SchemaInfo.h"
#include "db/tsql/Translator.h"

namespace hostdb {

// The columns the module always declares as text (codes, descriptions, masks, by name or by
// the end of their name) and the unique key of CG83_COLLRICL, which the bulk CEE batch's MERGE
// writes: what a direct call of the translator passes in TranslateOptions::schema.
const db::tsql::SchemaInfo& translationSchema();

// Options for such a direct call: translationSchema(), and `mainDatabase` as the connection's
// own database.
db::tsql::TranslateOptions translateOptions(const std::string& mainDatabase = "");

// translationSchema(), the host tables and the SQLite table functions, for db::setDatabaseSchema.
std::shared_ptr<const db::DatabaseSchema> backendSchema();

}  // namespace hostdb
