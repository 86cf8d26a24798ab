#pragma once
// The host database's two table-valued functions as SQLite eponymous virtual tables, so the
// translated OUTER APPLY (a LEFT JOIN on the function) and the scalar subqueries over them run
// unchanged:
//
//   FNPC03_ANAGPDC_COGE(chart, account, company, extra)
//       -> PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR: the row of main.PC03_ANAGPDC for that
//          chart and account (account compared case-insensitively, trailing blanks ignored);
//          no row when it does not exist or chart/account is NULL. The company and the extra
//          argument are accepted and ignored (one company per database).
//   FNCG40_ANADITTAINTER(tipocf, intermediary, company)
//       -> CG40_DESCR: the description of the row of main.CG40_ANADITTAINTER with those
//          three values; no row when any is NULL.
//
// SQLite resolves a table-valued function's arguments in the scope of its own FROM clause, so
// an unqualified argument binds to an output column of the same name before the caller's.
// The module calls (SELECT CG40_DESCR FROM FNCG40_ANADITTAINTER(CG40_TIPOCF, CG40_INTERMEDIO,
// CG40_DITTA_CG18)) meaning the outer row's columns: that function therefore shows only
// CG40_DESCR, and every argument is a hidden column named p_… for the same reason. An
// argument that still lands on the function's own column is refused with a clear error,
// never answered with wrong rows.
// The account comparison uses the collation "TSQL", which the translator's runtime registers
// on the same connection.

struct sqlite3;

namespace hostdb {

// Registers both functions on this connection (needed on every connection: the SQLite backend
// does it through backendSchema(), BackendSchema.h). Throws db::Error when SQLite refuses the
// module.
void registerTableFunctions(sqlite3* db);

}  // namespace hostdb
