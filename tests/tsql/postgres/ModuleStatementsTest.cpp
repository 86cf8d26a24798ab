// The module's statements of the golden files (tests/tsql/golden-pg/) run on the host schema,
// a file in one transaction: each case's changes are undone after it, except the tables a case
// creates, which the file's later cases read and drop. A statement with markers is prepared.

#include "../GoldenFile.h"
#include "PgSession.h"
#include "db/postgres/PostgresRuntime.h"
#include "hostdb/BackendSchema.h"
#include "hostdb/PostgresSchema.h"
#include "hostdb/Schema.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using tsqlpg::exec;

TEST(TsqlPostgresModule, EveryModuleStatementRunsOnTheHostSchema) {
    const tsqlpg::PgDatabase* db = tsqlpg::sharedDatabase();
    if (!db) GTEST_SKIP() << "nessun server PostgreSQL per i test";
    auto conn = db->connect();
    PGconn* c = conn.get();
    for (const std::string schema : {"module_main", "GRP01"}) {
        exec(c, "CREATE SCHEMA \"" + schema + "\"");
        for (const auto& s : hostdb::postgresTableDdl(hostdb::hostSchemaStatements(), schema)) exec(c, s);
        for (const auto& s : hostdb::postgresTableFunctionStatements(schema)) exec(c, s);
    }
    exec(c, "SET search_path = module_main, public");
    int cases = 0;
    for (const char* file : {"editor_statements.txt", "intermediaries.txt", "working_table.txt", "bulk_cee.txt",
                             "module_more.txt"}) {
        exec(c, "BEGIN");
        for (const auto& gc : tsqltest::readGoldenFile(testsupport::testData(std::string("tsql/golden-pg/") + file))) {
            if (gc.expected.rfind("error:", 0) == 0) continue;
            ++cases;
            const auto t = db::tsql::translateForPostgres(gc.input, hostdb::translateOptions(gc.mainDatabase));
            bool keep = false;
            exec(c, "SAVEPOINT module_case");
            // A case creating a #table replaces the one an earlier case left.
            const std::string create = "CREATE TEMP TABLE \"#";
            for (const auto& step : t.steps)
                if (step.sql.rfind(create, 0) == 0)
                    exec(c, "DROP TABLE IF EXISTS pg_temp." +
                                step.sql.substr(create.size() - 2, step.sql.find('"', create.size()) - create.size() + 3));
            try {
                for (const auto& step : t.steps) {
                    if (t.parameters > 0) {
                        std::unique_ptr<PGresult, void (*)(PGresult*)> r(PQprepare(c, "", step.sql.c_str(), 0, nullptr),
                                                                         PQclear);
                        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) throw tsqlpg::PgFailure(PQerrorMessage(c));
                        continue;
                    }
                    exec(c, step.sql);
                    keep = keep || step.sql.rfind("CREATE TEMP TABLE \"#", 0) == 0 || step.sql.rfind("CREATE TABLE ", 0) == 0;
                }
            } catch (const std::exception& e) {
                keep = false;
                ADD_FAILURE() << file << ":" << gc.line << " " << gc.name << ": " << e.what();
            }
            exec(c, keep ? "RELEASE module_case" : "ROLLBACK TO module_case");
        }
        exec(c, "ROLLBACK");
    }
    EXPECT_GT(cases, 0);
}

}  // namespace
