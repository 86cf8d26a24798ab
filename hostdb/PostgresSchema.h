#pragma once
// The host schema on PostgreSQL: its DDL, made from the SQLite DDL of Schema.h, and the host
// database's two table-valued functions as SQL functions (SqliteTableFunctions.h is the SQLite
// side). Both run after db::postgres::postgresRuntimeStatements(), which creates the collation
// tsql and the domain tsql_text they use.

#include <string>
#include <vector>

namespace hostdb {

// FNPC03_ANAGPDC_COGE(chart, account, company, extra) and FNCG40_ANADITTAINTER(tipocf,
// intermediary, company) over the tables of `schema` ("public" for the connection's own
// database), created in that schema. Run after the tables.
std::vector<std::string> postgresTableFunctionStatements(const std::string& schema);

// The host schema's DDL (SQLite text with COLLATE TSQL, hostSchemaStatements()) for
// PostgreSQL in `schema`: nvarchar(n) as bpchar COLLATE tsql with a length check, tinyint as
// smallint with its range, names qualified by the schema; keys, checks and indexes kept.
std::vector<std::string> postgresTableDdl(const std::vector<std::string>& sqliteDdl, const std::string& schema);

}  // namespace hostdb
