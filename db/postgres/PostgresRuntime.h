#pragma once
// The PostgreSQL side of the T-SQL translation: what a database needs before it runs
// translated text (the collation tsql and the functions the text calls).
//
// The collation tsql is ICU's root order at strength 2: case-insensitive, accent-sensitive.
// Text columns are bpchar with that collation: blank-padded comparison ignores trailing blanks
// (also under a nondeterministic collation), so "=", keys, GROUP BY and DISTINCT treat
// 'abc ' and 'ABC' as one value, as SQL Server's default collation does. The translated text
// compares text operands as bpchar for the same reason (db/tsql/PostgresGenerator.h).

#include <string>
#include <vector>

namespace db::postgres {

// Everything a database needs before the tables: the collation tsql, the domain tsql_text and
// the helper functions (tsql_left, tsql_right, tsql_substring, tsql_len, tsql_nvarchar,
// tsql_varchar, tsql_decimal, tsql_int, tsql_plus, tsql_like). Idempotent: runs on every init.
const std::vector<std::string>& postgresRuntimeStatements();

}  // namespace db::postgres
