#include "hostdb/Schema.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/Error.h"
#include "db/SqlText.h"
#include "db/postgres/PostgresRuntime.h"
#include "db/sqlite/SqliteRuntime.h"
#include "hostdb/PostgresSchema.h"
#include "text/Text.h"

namespace hostdb {

namespace {

// Text columns: case-insensitive and trailing-blank-insensitive comparison, as on SQL Server.
#define T " COLLATE TSQL"

// One CREATE TABLE per entry. Types are the declared types the module itself uses (tinyint
// chart codes, smallint reclassification chart codes, nvarchar account codes); the SQLite
// backend maps them back to ADO field types.
const char* const kStatements[] = {
    // --- Ledger side ---------------------------------------------------------------------
    "CREATE TABLE CG18_ANADITTA (\n"                       // stand-alone host table: company names
    "  CG18_DITTA int NOT NULL PRIMARY KEY,\n"
    "  CG18_RAGSOC nvarchar(80)" T " NOT NULL DEFAULT ''\n"
    ")",

    "CREATE TABLE CG10_DESPDC (\n"
    "  CG10_GRUPPO tinyint NOT NULL PRIMARY KEY,\n"
    "  CG10_DESCR nvarchar(80)" T " NOT NULL DEFAULT '',\n"
    "  CG10_MASKEDIT nvarchar(20)" T " NOT NULL DEFAULT '',\n"
    "  CG10_NUMLIVELLI tinyint NOT NULL DEFAULT 0,\n"
    "  CG10_NUMLIVCONS tinyint NOT NULL DEFAULT 0\n"
    ")",

    "CREATE TABLE CG24_TABPDC (\n"
    "  CG24_GRUPPO_CG10 tinyint NOT NULL,\n"
    "  CG24_CONTO nvarchar(10)" T " NOT NULL,\n"
    "  CG24_DESCR nvarchar(80)" T " NOT NULL DEFAULT '',\n"
    "  CG24_INDTIPOCONTO tinyint NOT NULL DEFAULT 1 CHECK (CG24_INDTIPOCONTO BETWEEN 0 AND 3),\n"
    "  PRIMARY KEY (CG24_GRUPPO_CG10, CG24_CONTO)\n"
    ")",

    "CREATE TABLE CG25_ANADITTAGEST (\n"
    "  CG25_DITTA_CG18 int NOT NULL PRIMARY KEY,\n"
    "  CG25_GRUPPO_CG10 tinyint NOT NULL\n"
    ")",

    "CREATE TABLE CG36_PRSPDC (\n"
    "  CG36_GRUPPO_CG10 tinyint NOT NULL,\n"
    "  CG36_CODICE smallint NOT NULL,\n"
    "  CG36_CONTO_CG24 nvarchar(10)" T " NOT NULL DEFAULT '',\n"
    "  PRIMARY KEY (CG36_GRUPPO_CG10, CG36_CODICE)\n"
    ")",

    "CREATE TABLE CG40_ANADITTAINTER (\n"
    "  CG40_DITTA_CG18 int NOT NULL,\n"
    "  CG40_TIPOCF tinyint NOT NULL CHECK (CG40_TIPOCF IN (0, 1)),\n"
    "  CG40_INTERMEDIO int NOT NULL CHECK (CG40_INTERMEDIO BETWEEN 0 AND 99),\n"
    "  CG40_DESCR nvarchar(80)" T " NOT NULL DEFAULT '',\n"
    "  PRIMARY KEY (CG40_DITTA_CG18, CG40_TIPOCF, CG40_INTERMEDIO)\n"
    ")",

    // --- Reclassification side -------------------------------------------------------------
    "CREATE TABLE PC01_DESCRPDC (\n"
    "  PC01_CODICE smallint NOT NULL PRIMARY KEY,\n"
    "  PC01_INDTIPOPDC tinyint NOT NULL,\n"
    "  PC01_DESCR nvarchar(80)" T " NOT NULL DEFAULT '',\n"        // stand-alone host column
    "  PC01_NUMLIVELLI tinyint NOT NULL DEFAULT 0,\n"               // stand-alone host column
    // stand-alone host column: edit mask of the chart's account codes, 'x' per character
    // and '/' between levels; '' shows codes as they are
    "  PC01_MASKEDIT nvarchar(20)" T " NOT NULL DEFAULT ''\n"
    ")",

    "CREATE TABLE PC02_CONFIGPDC (\n"
    "  PC02_CODICE_PC01 smallint NOT NULL PRIMARY KEY\n"
    ")",

    "CREATE TABLE PC03_ANAGPDC (\n"
    "  PC03_CODICE_PC01 smallint NOT NULL,\n"
    "  PC03_CONTO nvarchar(15)" T " NOT NULL,\n"
    "  PC03_DESCR nvarchar(80)" T " NOT NULL DEFAULT '',\n"
    // stand-alone host column: 1 = analytic (leaf) account that may be correlated,
    // 0 = a grouping level
    "  PC03_INDANALITICO tinyint NOT NULL DEFAULT 1 CHECK (PC03_INDANALITICO IN (0, 1)),\n"
    // stand-alone host column: account type, coded as CG24_INDTIPOCONTO
    "  PC03_INDTIPOCONTO tinyint NOT NULL DEFAULT 1 CHECK (PC03_INDTIPOCONTO BETWEEN 0 AND 3),\n"
    "  PRIMARY KEY (PC03_CODICE_PC01, PC03_CONTO)\n"
    ")",

    // --- Intercompany structures -----------------------------------------------------------
    "CREATE TABLE CGB1_DATABASEINFRAGRUPPO (\n"
    "  CGB1_CODICE smallint NOT NULL PRIMARY KEY,\n"
    "  CGB1_DATABASE nvarchar(128)" T " NOT NULL\n"
    ")",

    "CREATE TABLE CGC0_STRUTINFRAGRUPPO (\n"
    "  CGC0_CODICE smallint NOT NULL PRIMARY KEY,\n"
    "  CGC0_CODICE_CGB1 smallint NULL,\n"
    "  CGC0_DITTA_CG18 int NULL,\n"
    "  CGC0_DESCR nvarchar(80)" T " NOT NULL DEFAULT ''\n"          // stand-alone host column
    ")",

    // --- CEE schemes -----------------------------------------------------------------------
    "CREATE TABLE CG21_SCHEMACEE (\n"                                // stand-alone host table
    "  CG21_CODICE tinyint NOT NULL PRIMARY KEY,\n"
    "  CG21_DESCR nvarchar(80)" T " NOT NULL DEFAULT ''\n"
    ")",

    "CREATE TABLE CG20_COLLPDCRICL (\n"
    "  CG20_GRUPPO_CG10 tinyint NOT NULL,\n"
    "  CG20_CONTO_CG24 nvarchar(10)" T " NOT NULL,\n"
    "  CG20_CODICE_CG21 tinyint NOT NULL,\n"
    "  CG20_CODICE_CG23 nvarchar(20)" T " NOT NULL,\n"
    "  CG20_INDSEGNO tinyint NOT NULL CHECK (CG20_INDSEGNO IN (1, 2)),\n"
    "  CG20_IDMEDIA_CG99 int NOT NULL DEFAULT 0,\n"
    "  PRIMARY KEY (CG20_GRUPPO_CG10, CG20_CONTO_CG24, CG20_CODICE_CG21, CG20_INDSEGNO)\n"
    ")",

    // --- Correlation tables: keyed on every column but the target account -----------------
    "CREATE TABLE CG83_COLLRICL (\n"
    "  CG83_CODICE_CG10 tinyint NOT NULL,\n"
    "  CG83_CONTO_CG24 nvarchar(10)" T " NOT NULL,\n"
    "  CG83_CODICERICL_PC01 smallint NOT NULL,\n"
    "  CG83_INDSEGNO tinyint NOT NULL CHECK (CG83_INDSEGNO IN (1, 2)),\n"
    "  CG83_CONTORICL_PC03 nvarchar(15)" T " NULL,\n"
    "  PRIMARY KEY (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO)\n"
    ")",

    "CREATE TABLE PC07_COLLRICL (\n"
    "  PC07_CODICE_PC01 smallint NOT NULL,\n"
    "  PC07_CONTO_PC03 nvarchar(15)" T " NOT NULL,\n"
    "  PC07_CODICERICL_PC01 smallint NOT NULL,\n"
    "  PC07_INDSEGNO tinyint NOT NULL CHECK (PC07_INDSEGNO IN (1, 2)),\n"
    "  PC07_CONTORICL_PC03 nvarchar(15)" T " NULL,\n"
    "  PRIMARY KEY (PC07_CODICE_PC01, PC07_CONTO_PC03, PC07_CODICERICL_PC01, PC07_INDSEGNO)\n"
    ")",

    "CREATE TABLE CGH0_COLLRICLHYP (\n"
    "  CGH0_GRUPPO_CG10 tinyint NOT NULL,\n"
    "  CGH0_CONTO_CG24 nvarchar(10)" T " NOT NULL,\n"
    "  CGH0_CODICE_PC01 smallint NOT NULL,\n"
    "  CGH0_INDSEGNO tinyint NOT NULL CHECK (CGH0_INDSEGNO IN (1, 2)),\n"
    "  CGH0_CONTO_PC03 nvarchar(15)" T " NULL,\n"
    "  PRIMARY KEY (CGH0_GRUPPO_CG10, CGH0_CONTO_CG24, CGH0_CODICE_PC01, CGH0_INDSEGNO)\n"
    ")",

    "CREATE TABLE CGB3_COLLRICLCONS (\n"
    "  CGB3_CODICE_CGC0 smallint NOT NULL,\n"
    "  CGB3_CONTO_CG24 nvarchar(10)" T " NOT NULL,\n"
    "  CGB3_CODICE_PC01 smallint NOT NULL,\n"
    "  CGB3_INDSEGNO tinyint NOT NULL CHECK (CGB3_INDSEGNO IN (1, 2)),\n"
    "  CGB3_CONTO_PC03 nvarchar(15)" T " NULL,\n"
    "  PRIMARY KEY (CGB3_CODICE_CGC0, CGB3_CONTO_CG24, CGB3_CODICE_PC01, CGB3_INDSEGNO)\n"
    ")",

    "CREATE TABLE CG93_CORRINTERMEDIRICL (\n"
    "  CG93_DITTA_CG18 int NOT NULL,\n"
    "  CG93_TIPOCF_CG40 tinyint NOT NULL CHECK (CG93_TIPOCF_CG40 IN (0, 1)),\n"
    "  CG93_INTERMEDIO_CG40 int NOT NULL CHECK (CG93_INTERMEDIO_CG40 BETWEEN 0 AND 99),\n"
    "  CG93_CODICE_PC01 smallint NOT NULL,\n"
    "  CG93_INDSEGNO tinyint NOT NULL CHECK (CG93_INDSEGNO IN (1, 2)),\n"
    "  CG93_CONTO_PC03 nvarchar(15)" T " NULL,\n"
    "  PRIMARY KEY (CG93_DITTA_CG18, CG93_TIPOCF_CG40, CG93_INTERMEDIO_CG40, CG93_CODICE_PC01,\n"
    "               CG93_INDSEGNO)\n"
    ")",

    "CREATE TABLE CGB4_CORRINTERMEDICONS (\n"
    "  CGB4_CODICE_CGC0 smallint NOT NULL,\n"
    "  CGB4_TIPOCF_CG40 tinyint NOT NULL CHECK (CGB4_TIPOCF_CG40 IN (0, 1)),\n"
    "  CGB4_INTERMEDIO_CG40 int NOT NULL CHECK (CGB4_INTERMEDIO_CG40 BETWEEN 0 AND 99),\n"
    "  CGB4_CODICE_PC01 smallint NOT NULL,\n"
    "  CGB4_INDSEGNO tinyint NOT NULL CHECK (CGB4_INDSEGNO IN (1, 2)),\n"
    "  CGB4_CONTO_PC03 nvarchar(15)" T " NULL,\n"
    "  PRIMARY KEY (CGB4_CODICE_CGC0, CGB4_TIPOCF_CG40, CGB4_INTERMEDIO_CG40, CGB4_CODICE_PC01,\n"
    "               CGB4_INDSEGNO)\n"
    ")",
};

#undef T

// Indexes beyond the keys, made after the tables. The bulk correlation by CEE scheme reads a
// chart's CEE rows of one scheme by item and sign, once per item and sign of the standard
// chart: without this index each of those reads scans the chart's CEE rows.
const char* const kIndexes[] = {
    "CREATE INDEX CG20_COLLPDCRICL_CEE ON CG20_COLLPDCRICL\n"
    "  (CG20_GRUPPO_CG10, CG20_CODICE_CG21, CG20_CODICE_CG23, CG20_INDSEGNO)",
};

std::string tableNameOf(const std::string& ddl) {
    const std::string prefix = "CREATE TABLE ";
    auto end = ddl.find(' ', prefix.size());
    return ddl.substr(prefix.size(), end - prefix.size());
}

// Runs the DDL on a handle of our own on the SQLite file, inside one transaction so that a
// failure leaves no half-made schema behind.
void createOnSqliteFile(const std::string& file) {
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
        sqlite3_close(handle);
        throw db::Error("Impossibile aprire il database " + file + ": " + message, rc, "08001",
                        "SQLite");
    }
    sqlite3_busy_timeout(handle, 5000);
    db::sqlite::registerSqliteRuntime(handle);
    std::string script = "BEGIN IMMEDIATE;\n" + hostSchemaSql() + ";\nCOMMIT;";
    char* error = nullptr;
    rc = sqlite3_exec(handle, script.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(handle);
        throw db::Error("Creazione delle tabelle non riuscita: " + message, rc,
                        rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? "HYT00" : "HY000", "SQLite");
    }
    sqlite3_close(handle);
}

// The tables in the connection's current schema (public, or the schema of an intercompany
// database), after the runtime the generated statements call, in one transaction; refused
// when one of the tables is already there.
void createOnPostgres(db::Connection& connection) {
    std::string names;
    for (const auto& table : hostTableNames()) {
        names += (names.empty() ? "" : ", ") + db::sqlQuoted(text::toLowerAscii(table));
    }
    auto found = connection.ExecuteNative(
        "SELECT current_schema() AS s, min(tablename) AS t, count(*) AS n FROM pg_tables "
        "WHERE schemaname = current_schema() AND lower(tablename) IN (" + names + ")");
    const auto& row = found.resultSets.at(0).rows[0];
    const std::string schema = row[0].toText();
    if (!row[1].isNull())
        throw db::Error("Le tabelle di Brevanto esistono già nello schema \"" + schema + "\" (" + row[2].toText() +
                            " tabelle, tra cui " + row[1].toText() + "): il database non viene modificato",
                        0, "42S01", "PostgreSQL");
    const std::string here = "SET LOCAL search_path TO \"" + db::replaceAll(schema, "\"", "\"\"") + "\", public";
    std::string script = "BEGIN;\nSET LOCAL search_path TO public";
    for (const auto& s : db::postgres::postgresRuntimeStatements()) script += ";\n" + s;
    script += ";\n" + here;
    for (const auto& s : postgresTableDdl(hostSchemaStatements(), schema)) script += ";\n" + s;
    for (const auto& s : postgresTableFunctionStatements(schema)) script += ";\n" + s;
    script += ";\nCOMMIT";
    try {
        connection.ExecuteNative(script);
    } catch (const db::Error&) {
        try {
            connection.ExecuteNative("ROLLBACK");
        } catch (const db::Error&) {
            // The server is gone: nothing was committed.
        }
        throw;
    }
}

}  // namespace

const std::vector<std::string>& hostSchemaStatements() {
    static const std::vector<std::string> statements = [] {
        std::vector<std::string> out(std::begin(kStatements), std::end(kStatements));
        out.insert(out.end(), std::begin(kIndexes), std::end(kIndexes));
        return out;
    }();
    return statements;
}

const std::string& hostSchemaSql() {
    static const std::string text = [] {
        std::string joined;
        for (const auto& s : hostSchemaStatements()) {
            if (!joined.empty()) joined += ";\n";
            joined += s;
        }
        return joined;
    }();
    return text;
}

const std::vector<std::string>& hostTableNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const char* ddl : kStatements) out.push_back(tableNameOf(ddl));
        return out;
    }();
    return names;
}

std::string sqliteFileOf(const std::string& connectionString) {
    db::ConnectionString cs(connectionString);
    const auto provider = text::toLowerAscii(cs.getOr("Provider", ""));
    auto database = cs.get("database");
    auto folder = cs.get("Data Source");
    if (provider != "sqlite" || !database || !folder || database->empty() || folder->empty())
        return "";
    return (std::filesystem::path(*folder) / (*database + ".db")).string();
}

void createHostSchema(db::Connection& connection) {
    if (connection.State() != db::ado::adStateOpen)
        throw db::UsageError("createHostSchema: la connessione non è aperta");
    if (connection.providerName() == "SQLite") {
        std::string file = sqliteFileOf(connection.ConnectionString());
        if (file.empty())
            throw db::UsageError("createHostSchema: la stringa di connessione non indica un file SQLite: " +
                                 connection.ConnectionString());
        createOnSqliteFile(file);
        return;
    }
    if (connection.providerName() == "PostgreSQL") {
        createOnPostgres(connection);
        return;
    }
    // Another engine (SQL Server through ODBC): the same tables in its own dialect.
    for (const auto& ddl : hostSchemaStatements())
        connection.Execute(db::replaceAll(ddl, " COLLATE TSQL", ""));
}

}  // namespace hostdb
