#pragma once
// PostgreSQL text for the syntax tree of Ast.h, beside the SQLite one (SqliteGenerator.h), from
// the same walk (GeneratorCore.h). What PostgreSQL spells its own way:
//   - names: unquoted names are written as they are (PostgreSQL folds them to lower case, the
//     host tables are created the same way); quoted ones and keywords as "lower case";
//   - text comparisons as bpchar under the collation tsql (SQL Server's default: case-
//     insensitive, accent-sensitive, trailing blanks ignored), LIKE through tsql_like;
//   - three-part names of another database as its schema ("GRP".T), of the connection's own
//     database unqualified; #temp tables and table variables as session temporary tables;
//   - APPLY as LATERAL joins, ? markers as $1, $2, ...;
//   - MERGE as the SQLite target runs it, its upsert telling an insert by xmax = 0.
// The functions the output calls are created by postgresRuntimeStatements (db/postgres/PostgresRuntime.h).

#include "db/tsql/Ast.h"
#include "db/tsql/Translator.h"

#include <vector>

namespace db::tsql {

Translation generatePostgres(const std::vector<Statement>& batch, const TranslateOptions& options);

}  // namespace db::tsql
