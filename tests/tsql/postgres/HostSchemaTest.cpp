// The host schema's DDL rewritten for PostgreSQL, with the table functions, in the connection's
// schema and in an intercompany database's schema; translated T-SQL on it: three-part names,
// keys under the collation, declared lengths, markers, MERGE with OUTPUT.

#include "PgSession.h"
#include "db/postgres/PostgresRuntime.h"
#include "hostdb/BackendSchema.h"
#include "hostdb/PostgresSchema.h"
#include "hostdb/Schema.h"

#include <gtest/gtest.h>

namespace {

using tsqlpg::exec;

// The connection's own database is the schema on the search path; GRUPPO is named as written.
// Both are made once; each test starts from empty tables.
class TsqlPostgresHost : public ::testing::Test {
protected:
    static constexpr const char* kSchemas[] = {"host_main", "GRUPPO"};

    void SetUp() override {
        const tsqlpg::PgDatabase* db = tsqlpg::sharedDatabase();
        if (!db) GTEST_SKIP() << "nessun server PostgreSQL per i test";
        conn_ = db->connect().release();
        static bool created = false;
        for (const std::string schema : kSchemas) {
            if (!created) {
                exec(conn_, "CREATE SCHEMA \"" + schema + "\"");
                for (const auto& s : hostdb::postgresTableDdl(hostdb::hostSchemaStatements(), schema))
                    exec(conn_, s);
                for (const auto& s : hostdb::postgresTableFunctionStatements(schema)) exec(conn_, s);
            }
            exec(conn_, "DO $$ DECLARE t text; BEGIN FOR t IN SELECT format('%I.%I', schemaname, tablename) FROM "
                        "pg_tables WHERE schemaname = '" + schema + "' LOOP EXECUTE 'DELETE FROM ' || t; END LOOP; END $$");
        }
        created = true;
        exec(conn_, "SET search_path = host_main, public");
    }
    void TearDown() override {
        if (conn_) PQfinish(conn_);
    }

    std::vector<std::string> run(const std::string& tsql, const std::vector<const char*>& params = {}) {
        long long changes = 0;
        return tsqlpg::runTranslation(conn_, db::tsql::translateForPostgres(tsql, hostdb::translateOptions("BREVANTO")),
                                      changes, params);
    }

    PGconn* conn_ = nullptr;
};

using Rows = std::vector<std::string>;

TEST_F(TsqlPostgresHost, ThreePartNamesReachTheirDatabasesSchema) {
    run("INSERT INTO [GRUPPO].dbo.CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR) VALUES (1, 'abc', 'del gruppo')");
    run("INSERT INTO [BREVANTO].dbo.CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR) VALUES (1, 'abc', 'proprio')");
    EXPECT_EQ(run("SELECT CG24_DESCR FROM [GRUPPO].dbo.CG24_TABPDC WITH(NOLOCK) WHERE CG24_CONTO = 'ABC '"),
              Rows{"del gruppo"});
    EXPECT_EQ(run("SELECT CG24_DESCR FROM CG24_TABPDC WHERE CG24_CONTO = 'ABC'"), Rows{"proprio"});

    run("INSERT INTO [GRUPPO].dbo.PC03_ANAGPDC (PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR) VALUES (7, 'A100', 'Crediti')");
    run("INSERT INTO [GRUPPO].dbo.CG40_ANADITTAINTER VALUES (1, 0, 7, 'Cliente sette')");
    EXPECT_EQ(run("SELECT PC03_DESCR FROM [GRUPPO].dbo.FNPC03_ANAGPDC_COGE(7, 'a100 ', 1, Null)"), Rows{"Crediti"});
    EXPECT_EQ(run("SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(7, 'A100', 1, Null)"), Rows{});
    EXPECT_EQ(run("SELECT (SELECT CG40_DESCR FROM [GRUPPO].dbo.FNCG40_ANADITTAINTER(CG40_TIPOCF, CG40_INTERMEDIO, "
                  "CG40_DITTA_CG18)) FROM [GRUPPO].dbo.CG40_ANADITTAINTER"),
              Rows{"Cliente sette"});
}

TEST_F(TsqlPostgresHost, KeysLengthsAndRangesHoldAsOnSqlServer) {
    run("INSERT INTO CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO) VALUES (1, 'abc')");
    EXPECT_THROW(run("INSERT INTO CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO) VALUES (1, 'ABC  ')"), tsqlpg::PgFailure);
    EXPECT_THROW(run("INSERT INTO CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO) VALUES (1, '01234567890')"),
                 tsqlpg::PgFailure);
    EXPECT_THROW(run("INSERT INTO CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO) VALUES (256, 'x')"), tsqlpg::PgFailure);
    run("INSERT INTO CG24_TABPDC (CG24_GRUPPO_CG10, CG24_CONTO) VALUES (255, 'caffè')");
    EXPECT_EQ(run("SELECT CG24_CONTO FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = ? AND CG24_CONTO = ?", {"255", "CAFFÈ"}),
              Rows{"caffè"});
    EXPECT_EQ(run("SELECT CG24_CONTO FROM CG24_TABPDC WHERE CG24_CONTO LIKE 'AB%' OR CG24_CONTO LIKE 'caffe%'"),
              Rows{"abc"});
}

constexpr const char* kMerge =
    "DECLARE @t TABLE (A nvarchar(10), K nvarchar(10), R nvarchar(15));\n"
    "MERGE CG83_COLLRICL AS Target USING (SELECT 1 AS G, 'abc' AS C, 7 AS P, 1 AS S, 'R1' AS R UNION ALL "
    "SELECT 1, 'new', 7, 1, 'R2'%s) AS Source\n"
    "ON Target.CG83_CODICE_CG10 = Source.G AND Target.CG83_CONTO_CG24 = Source.C AND "
    "Target.CG83_CODICERICL_PC01 = Source.P AND Target.CG83_INDSEGNO = Source.S\n"
    "WHEN MATCHED THEN UPDATE SET CG83_CONTORICL_PC03 = Source.R\n"
    "WHEN NOT MATCHED THEN INSERT (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
    "CG83_CONTORICL_PC03) VALUES (Source.G, Source.C, Source.P, Source.S, Source.R)\n"
    "OUTPUT $action, inserted.CG83_CONTO_CG24, inserted.CG83_CONTORICL_PC03 INTO @t;\n"
    "SELECT A, K, R FROM @t ORDER BY K";

std::string merge(const std::string& extraSource) {
    std::string text = kMerge;
    return text.replace(text.find("%s"), 2, extraSource);
}

TEST_F(TsqlPostgresHost, MergeOutputTellsUpdatedFromInsertedRows) {
    run("INSERT INTO CG83_COLLRICL VALUES (1, 'ABC ', 7, 1, 'R0')");
    EXPECT_EQ(run(merge("")), (Rows{"UPDATE | ABC  | R1", "INSERT | new | R2"}));
    EXPECT_EQ(run("SELECT CG83_CONTO_CG24, CG83_CONTORICL_PC03 FROM CG83_COLLRICL ORDER BY CG83_CONTO_CG24"),
              (Rows{"ABC  | R1", "new | R2"}));
}

TEST_F(TsqlPostgresHost, MergeRefusesTwoSourceRowsForOneTargetRowAndChangesNothing) {
    run("INSERT INTO CG83_COLLRICL VALUES (1, 'abc', 7, 1, 'R0')");
    try {
        run(merge(" UNION ALL SELECT 1, 'ABC', 7, 1, 'R3'"));
        ADD_FAILURE() << "MERGE accepted two source rows for one target row";
    } catch (const tsqlpg::PgFailure& e) {
        EXPECT_NE(std::string(e.what()).find("attempted to UPDATE or DELETE the same row more than once"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(run("SELECT CG83_CONTO_CG24, CG83_CONTORICL_PC03 FROM CG83_COLLRICL"), Rows{"abc | R0"});
}

}  // namespace
