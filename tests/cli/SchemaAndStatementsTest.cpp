// The schema text on a bare SQLite connection, and the pieces of the working-table statement
// that the list command builds (the level filter, the edit masks, values inside quotes).

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <regex>

#include "db/sqlite/SqliteRuntime.h"
#include "hostdb/Schema.h"

#include "apps/cli/WorkingRows.h"
#include "statements/WorkingTableStatements.h"

using namespace brevanto::cli;

namespace {

class BareSchema : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        db::sqlite::registerSqliteRuntime(db);
        ASSERT_EQ(exec(hostdb::hostSchemaSql()), "");
    }
    void TearDown() override { sqlite3_close(db); }
    std::string exec(const std::string& sql) {
        char* error = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        std::string out = rc == SQLITE_OK ? "" : (error ? error : "error");
        sqlite3_free(error);
        return out;
    }
    sqlite3* db = nullptr;
};

TEST_F(BareSchema, EveryTextColumnComparesLikeSqlServer) {
    std::regex textColumn(R"(^\s+(\w+) nvarchar\(\d+\)(.*)$)");
    int columns = 0;
    for (const auto& ddl : hostdb::hostSchemaStatements()) {
        std::istringstream lines(ddl);
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            if (!std::regex_match(line, m, textColumn)) continue;
            ++columns;
            EXPECT_NE(m[2].str().find("COLLATE TSQL"), std::string::npos) << m[1];
        }
    }
    EXPECT_GT(columns, 25);
}

TEST_F(BareSchema, CorrelationKeysAreEveryColumnButTheTarget) {
    struct Table {
        std::string name, keyColumns, keyValues, target;
    } tables[] = {
        {"CG83_COLLRICL", "CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO", "80, '0101000001', 101",
         "CG83_CONTORICL_PC03"},
        {"PC07_COLLRICL", "PC07_CODICE_PC01, PC07_CONTO_PC03, PC07_CODICERICL_PC01, PC07_INDSEGNO", "201, '1001001', 102",
         "PC07_CONTORICL_PC03"},
        {"CGH0_COLLRICLHYP", "CGH0_GRUPPO_CG10, CGH0_CONTO_CG24, CGH0_CODICE_PC01, CGH0_INDSEGNO", "80, '0101000000', 301",
         "CGH0_CONTO_PC03"},
        {"CGB3_COLLRICLCONS", "CGB3_CODICE_CGC0, CGB3_CONTO_CG24, CGB3_CODICE_PC01, CGB3_INDSEGNO", "1, '0101000000', 401",
         "CGB3_CONTO_PC03"},
        {"CG93_CORRINTERMEDIRICL",
         "CG93_DITTA_CG18, CG93_TIPOCF_CG40, CG93_INTERMEDIO_CG40, CG93_CODICE_PC01, CG93_INDSEGNO", "1, 0, 7, 101",
         "CG93_CONTO_PC03"},
        {"CGB4_CORRINTERMEDICONS",
         "CGB4_CODICE_CGC0, CGB4_TIPOCF_CG40, CGB4_INTERMEDIO_CG40, CGB4_CODICE_PC01, CGB4_INDSEGNO", "1, 1, 3, 401",
         "CGB4_CONTO_PC03"},
    };
    for (const auto& t : tables) {
        auto insert = [&](const std::string& sign, const std::string& target) {
            return exec("INSERT INTO " + t.name + " (" + t.keyColumns + ", " + t.target + ") VALUES (" + t.keyValues +
                        ", " + sign + ", '" + target + "')");
        };
        EXPECT_EQ(insert("1", "A"), "") << t.name;
        EXPECT_EQ(insert("2", "A"), "") << t.name << ": the other sign is another key";
        EXPECT_NE(insert("1", "B").find("UNIQUE"), std::string::npos) << t.name << ": same key, other target";
        EXPECT_NE(insert("3", "B").find("CHECK"), std::string::npos) << t.name << ": a sign is 1 or 2";
    }
    // An account code differing only by case or trailing blanks is the same key.
    EXPECT_NE(exec("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
                   "CG83_CONTORICL_PC03) VALUES (80, '0101000001  ', 101, 1, 'B')")
                  .find("UNIQUE"),
              std::string::npos);
}

TEST_F(BareSchema, StandAloneColumnsHaveDefaults) {
    ASSERT_EQ(exec("INSERT INTO PC01_DESCRPDC (PC01_CODICE, PC01_INDTIPOPDC) VALUES (101, 3);"
                   "INSERT INTO PC03_ANAGPDC (PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR) VALUES (101, '01', 'x');"
                   "INSERT INTO CGC0_STRUTINFRAGRUPPO (CGC0_CODICE, CGC0_CODICE_CGB1, CGC0_DITTA_CG18) VALUES (1, 1, 2)"),
              "");
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT PC01_DESCR || '|' || PC01_NUMLIVELLI || '|' || PC01_MASKEDIT || '|' || "
                                 "PC03_INDANALITICO || '|' || PC03_INDTIPOCONTO FROM PC01_DESCRPDC, PC03_ANAGPDC",
                                 -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "|0||1|1");
    sqlite3_finalize(st);
}

TEST(LevelFilter, FollowsLevelAndConsolidationCounts) {
    EXPECT_EQ(levelFilter(Kind::COGE, 3, 0, "@@/@@@@/@@@@"), "RIGHT(CG24_CONTO,4) <> '0000'");
    EXPECT_EQ(levelFilter(Kind::COGE, 3, 0, "@@/@@@@@@/@@"), "RIGHT(CG24_CONTO,2) <> '00'");
    EXPECT_EQ(levelFilter(Kind::COGE, 2, 0, ""), "RIGHT(CG24_CONTO,5) <> '00000'");
    EXPECT_EQ(levelFilter(Kind::COGE, 4, 2, ""), "RIGHT(CG24_CONTO,4) <> '0000'") << "COGE ignores consolidation";
    EXPECT_EQ(levelFilter(Kind::COGE, 6, 0, ""), "RIGHT(CG24_CONTO,0) <> ''") << "only the masters are listed";
    EXPECT_EQ(levelFilter(Kind::HYPE, 4, 2, ""), "RIGHT(CG24_CONTO,6) = '000000' AND SUBSTRING(CG24_CONTO,3,2) <> '00'");
    EXPECT_EQ(levelFilter(Kind::CONS, 3, 2, "@@/@@@@/@@@@"),
              "RIGHT(CG24_CONTO,4) = '0000' AND SUBSTRING(CG24_CONTO,3,4) <> '0000'");
    EXPECT_EQ(levelFilter(Kind::HYPE, 5, 1, ""), "RIGHT(CG24_CONTO,8) = '00000000' AND SUBSTRING(CG24_CONTO,1,2) <> '00'");
    EXPECT_EQ(levelFilter(Kind::HYPE, 5, 4, ""), "RIGHT(CG24_CONTO,2) = '00' AND SUBSTRING(CG24_CONTO,7,2) <> '00'");
    EXPECT_EQ(levelFilter(Kind::HYPE, 3, 3, "@@/@@@@/@@@@"), "RIGHT(CG24_CONTO,4) <> '0000'") << "no such level";
}

TEST(Masks, LedgerMask) {
    EXPECT_EQ(ledgerMaskFromEdit("  xx/xxxx0000 "), "@@/@@@@@@@@");
    EXPECT_EQ(ledgerMaskFromEdit("XX/xx"), "XX/@@") << "the replacement is case-sensitive";
    EXPECT_EQ(ledgerMaskForLevels(4), "@@/@@/@@/@@@@");
    EXPECT_EQ(ledgerMaskForLevels(6), "");
}

TEST(WorkingTableStatement, ValuesStayInsideTheirLiterals) {
    WorkingTableInput in;
    in.kind = Kind::COGE;
    in.chart = "10";
    in.reclChart = "101";
    in.levels = 4;
    in.customersMaster = "14'1000000";
    in.suppliersMaster = "2601000000";
    in.company = "7";
    std::string sql = creaTabellaSql(in);
    EXPECT_EQ(sql.rfind(" SELECT  ROW_NUMBER() OVER (ORDER by CG24_CONTO) as FAKEID, \r\n", 0), 0u);
    EXPECT_NE(sql.find("WHEN '14' THEN 0\r\n"), std::string::npos);
    EXPECT_NE(sql.find("          OR CG24_CONTO = '14''1000000'\r\n"), std::string::npos);
    EXPECT_NE(sql.find("          OR CG24_CONTO = '2601000000')\r\n"), std::string::npos);
    EXPECT_NE(sql.find("FNPC03_ANAGPDC_COGE(CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, 7, Null) AS PC03_ANAGPDC "),
              std::string::npos);
    EXPECT_EQ(sql.find("<DITTA>"), std::string::npos);

    in.kind = Kind::CONS;
    in.intercompany = "1";
    in.database = "GRUPPO";
    sql = creaTabellaSql(in);
    EXPECT_NE(sql.find(" FROM    [GRUPPO].dbo.CG24_TABPDC WITH(NOLOCK)\r\n"), std::string::npos);
    EXPECT_NE(sql.find("      ON CGB3_CODICE_CGC0 = 1\r\n"), std::string::npos);

    in.reclChart = "101 OR 1=1";
    EXPECT_THROW(creaTabellaSql(in), ListRefused);
}

}  // namespace
