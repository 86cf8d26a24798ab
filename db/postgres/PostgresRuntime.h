#pragma once
// The PostgreSQL side of the T-SQL translation: what a database needs before it runs
// translated text (the collation tsql and the functions the text calls), the host database's
// two table-valued functions as SQL functions, and the host schema's DDL for PostgreSQL.
//
// The collation tsql is ICU's root order at strength 2: case-insensitive, accent-sensitive.
// Text columns are bpchar with that collation: blank-padded comparison ignores trailing blanks
// (also under a nondeterministic collation), so "=", keys, GROUP BY and DISTINCT treat
// 'abc ' and 'ABC' as one value, as SQL Server's default collation does. The translated text
// compares text operands as bpchar for the same reason (PostgresGenerator.h).

#include <string>
#include <vector>

namespace db::postgres {

// Everything a database needs before the tables: the collation tsql, the domain tsql_text and
// the helper functions (tsql_left, tsql_right, tsql_substring, tsql_len, tsql_nvarchar,
// tsql_varchar, tsql_decimal, tsql_int, tsql_plus, tsql_like). Idempotent: runs on every init.
const std::vector<std::string>& postgresRuntimeStatements();

// FNPC03_ANAGPDC_COGE(chart, account, company, extra) and FNCG40_ANADITTAINTER(tipocf,
// intermediary, company) (see db/sqlite/TableFunctions.h) over the tables of `schema`
// ("public" for the connection's own database), created in that schema. Run after the tables.
std::vector<std::string> postgresTableFunctionStatements(const std::string& schema);

// The host schema's DDL (SQLite text with COLLATE TSQL, db::schema::hostSchemaStatements())
// for PostgreSQL in `schema`: nvarchar(n) as bpchar COLLATE tsql with a length check, tinyint as
// smallint with its range, names qualified by the schema; keys, checks and indexes kept.
std::vector<std::string> postgresTableDdl(const std::vector<std::string>& sqliteDdl, const std::string& schema);

}  // namespace db::postgres
