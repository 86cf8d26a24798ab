#pragma once
// SQLite text for the syntax tree of Ast.h. Most nodes print as they are (GeneratorCore.h);
// the nodes whose meaning differs between the dialects (text "+", LEFT/RIGHT/SUBSTRING, CAST
// to text or decimal, TOP, #temp and three-part names, APPLY, IF EXISTS, DECLARE, MERGE) have
// a handler each. The user functions and the TSQL collation the output calls are registered by
// registerSqliteRuntime (db/sqlite/SqliteRuntime.h).

#include "db/tsql/Ast.h"
#include "db/tsql/Translator.h"

#include <vector>

namespace db::tsql {

Translation generateSqlite(const std::vector<Statement>& batch, const TranslateOptions& options);

}  // namespace db::tsql
