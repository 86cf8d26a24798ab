// The module's statements, compared with the texts the database must receive.

#include <gtest/gtest.h>

#include "statements/ByCeeStatements.h"
#include "statements/CorrelationStatements.h"
#include "statements/HandoffStatements.h"
#include "statements/HeaderStatements.h"
#include "statements/SqlValues.h"
#include "statements/WorkingTableStatements.h"
#include "statements/IntermediStatements.h"

using editor::CorrelationKind;

TEST(LevelFilter, LowestLevelByLevelCount) {
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 2, 0, ""), "RIGHT(CG24_CONTO,5) <> '00000'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 3, 0, "@@/@@@@/@@@@"), "RIGHT(CG24_CONTO,4) <> '0000'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 3, 0, "@@/@@/@@@@@@"), "RIGHT(CG24_CONTO,6) <> '000000'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 4, 2, "@@/@@/@@/@@@@"), "RIGHT(CG24_CONTO,4) <> '0000'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 5, 0, ""), "RIGHT(CG24_CONTO,2) <> '00'");
    // Any other count lists no ordinary account: only the masters match.
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 6, 0, ""), "RIGHT(CG24_CONTO,0) <> ''");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 0, 0, ""), "RIGHT(CG24_CONTO,0) <> ''");
}

TEST(LevelFilter, ConsolidationLevelsOnlyForHyperionAndIntercompany) {
    EXPECT_EQ(editor::levelFilter(CorrelationKind::HYPE, 4, 2, ""),
              "RIGHT(CG24_CONTO,6) = '000000' AND SUBSTRING(CG24_CONTO,3,2) <> '00'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::CONS, 5, 4, ""),
              "RIGHT(CG24_CONTO,2) = '00' AND SUBSTRING(CG24_CONTO,7,2) <> '00'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::CONS, 2, 1, ""),
              "RIGHT(CG24_CONTO,8) = '00000000' AND SUBSTRING(CG24_CONTO,1,2) <> '00'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::HYPE, 3, 2, "@@/@@@@/@@@@"),
              "RIGHT(CG24_CONTO,4) = '0000' AND SUBSTRING(CG24_CONTO,3,4) <> '0000'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::HYPE, 4, 3, ""),
              "RIGHT(CG24_CONTO,4) = '0000' AND SUBSTRING(CG24_CONTO,5,2) <> '00'");
    // A consolidation count that fits no row keeps the lowest level.
    EXPECT_EQ(editor::levelFilter(CorrelationKind::HYPE, 3, 3, "@@/@@@@/@@@@"), "RIGHT(CG24_CONTO,4) <> '0000'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COGE, 4, 2, ""), "RIGHT(CG24_CONTO,4) <> '0000'");
    EXPECT_EQ(editor::levelFilter(CorrelationKind::COIN, 4, 1, ""), "RIGHT(CG24_CONTO,4) <> '0000'");
}

TEST(WorkingTableStatement, CogeTextAsTheDatabaseReceivesIt) {
    editor::WorkingTableInput in;
    in.kind = CorrelationKind::COGE;
    in.chartCode = "80";
    in.reclChartCode = "101";
    in.levels = 3;
    in.mask = "@@/@@@@/@@@@";
    in.customersMaster = "1401000000";
    in.suppliersMaster = "2601000000";
    in.companyCode = "1";
    const std::string expected =
        " SELECT  ROW_NUMBER() OVER (ORDER by CG24_CONTO) as FAKEID, \r\n"
        "         CAST(CG24_CONTO AS NVARCHAR(15)) AS CONTOPDC,\r\n"
        "         CAST(CG24_DESCR AS NVARCHAR(80)) AS DESCRPDC,\r\n"
        "         CAST(CASE WHEN SEGNO = 2 THEN NULL ELSE CG24_CONTO END AS NVARCHAR(20)) AS CONTOPDCGRID,\r\n"
        "         CAST(CASE WHEN SEGNO = 2 THEN NULL ELSE CG24_DESCR END AS NVARCHAR(80)) AS DESCRPDCGRID,\r\n"
        "         CAST(RTRIM(PC03_CONTO) AS NVARCHAR(15)) AS CONTORICL,\r\n"
        "         CAST(PC03_DESCR AS NVARCHAR(80)) AS DESCRRICL,\r\n"
        "         CAST(SEGNO AS DECIMAL(1)) AS SEGNO,\r\n"
        "         CAST(CG24_INDTIPOCONTO AS DECIMAL(2)) AS INDTIPOCONTO,\r\n"
        "         CAST(CASE LEFT(CG24_CONTO,2)\r\n"
        "                WHEN '14' THEN 0\r\n"
        "                WHEN '26' THEN 1\r\n"
        "                ELSE -1\r\n"
        "              END AS DECIMAL(2)) AS TIPOCF\r\n"
        "    INTO #CORRPDCRICL\r\n"
        " FROM (\r\n"
        " SELECT  CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO, 1 AS SEGNO\r\n"
        " FROM    CG24_TABPDC WITH(NOLOCK)\r\n"
        " WHERE   CG24_GRUPPO_CG10 = 80\r\n"
        "     AND (  (RIGHT(CG24_CONTO,4) <> '0000')\r\n"
        "          OR CG24_CONTO = '1401000000'\r\n"
        "          OR CG24_CONTO = '2601000000')\r\n"
        " GROUP BY CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO\r\n"
        " UNION\r\n"
        " SELECT  CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO, 2 AS SEGNO\r\n"
        " FROM    CG24_TABPDC WITH(NOLOCK)\r\n"
        " WHERE   CG24_GRUPPO_CG10 = 80\r\n"
        "     AND (  (RIGHT(CG24_CONTO,4) <> '0000')\r\n"
        "          OR CG24_CONTO = '1401000000'\r\n"
        "          OR CG24_CONTO = '2601000000')\r\n"
        " GROUP BY CG24_GRUPPO_CG10, CG24_CONTO, CG24_DESCR, CG24_INDTIPOCONTO\r\n"
        " ) AS CORRPDCRICL\r\n"
        " LEFT OUTER JOIN CG83_COLLRICL\r\n"
        "      ON CG24_GRUPPO_CG10 = CG83_CODICE_CG10\r\n"
        "     AND CG24_CONTO = CG83_CONTO_CG24\r\n"
        "     AND CG83_CODICERICL_PC01 = 101\r\n"
        "     AND CG83_INDSEGNO = SEGNO\r\n"
        " OUTER APPLY FNPC03_ANAGPDC_COGE(CG83_CODICERICL_PC01, CG83_CONTORICL_PC03, 1, Null) AS PC03_ANAGPDC ";
    EXPECT_EQ(editor::workingTableStatement(in), expected);
}

TEST(WorkingTableStatement, IntercompanyUsesStructureAndDatabasePrefix) {
    editor::WorkingTableInput in;
    in.kind = CorrelationKind::CONS;
    in.chartCode = "80";
    in.reclChartCode = "401";
    in.intercompanyCode = "1";
    in.intercompanyDatabase = "GRUPPO";
    in.companyCode = "2";
    std::string sql = editor::workingTableStatement(in);
    EXPECT_NE(sql.find(" FROM    [GRUPPO].dbo.CG24_TABPDC WITH(NOLOCK)\r\n"), std::string::npos);
    EXPECT_NE(sql.find(" LEFT OUTER JOIN CGB3_COLLRICLCONS\r\n      ON CGB3_CODICE_CGC0 = 1\r\n"
                       "     AND CGB3_CONTO_CG24 = CG24_CONTO\r\n     AND CGB3_CODICE_PC01 = 401\r\n"),
              std::string::npos);
    EXPECT_NE(sql.find("FNPC03_ANAGPDC_COGE(CGB3_CODICE_PC01, CGB3_CONTO_PC03, 2, Null) AS PC03_ANAGPDC "),
              std::string::npos);
    // Missing masters and charts: empty quoted texts and zero codes, as the statement expects.
    EXPECT_NE(sql.find("WHEN '' THEN 0"), std::string::npos);
    in.chartCode.clear();
    EXPECT_NE(editor::workingTableStatement(in).find("CG24_GRUPPO_CG10 = 0\r\n"), std::string::npos);
}

TEST(WorkingTableStatement, ReadingAndAnalyticQueries) {
    EXPECT_EQ(editor::workingTableReadingQuery(),
              " SELECT *\r\n FROM #CORRPDCRICL\r\n ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO\r\n");
    EXPECT_EQ(editor::analyticRowsQuery("201", "101", "1"),
              " SELECT A.PC03_CODICE_PC01 AS CODICEPDC, A.PC03_CONTO AS CONTOPDC, A.PC03_DESCR AS DESCRCONTO,"
              " B.PC03_CODICE_PC01 AS CODICEPDCRICL, B.PC03_CONTO CONTOPDCRICL, B.PC03_DESCR AS DESCRCONTORICL,"
              " PC07_INDSEGNO AS SEGNO FROM PC03_ANAGPDC A LEFT OUTER JOIN PC07_COLLRICL ON A.PC03_CODICE_PC01 ="
              " PC07_CODICE_PC01 AND A.PC03_CONTO = PC07_CONTO_PC03 AND PC07_CODICERICL_PC01 = 101 OUTER APPLY"
              " FNPC03_ANAGPDC_COGE(PC07_CODICERICL_PC01, PC07_CONTORICL_PC03, 1, Null ) AS B \r\n WHERE"
              " A.PC03_CODICE_PC01 = 201 AND (PC07_CODICERICL_PC01 = 101 OR PC07_CODICERICL_PC01 IS NULL)"
              " ORDER BY A.PC03_CONTO, PC07_INDSEGNO");
}

TEST(CorrelationStatements, ChoosesAndBuildsEachOperation) {
    editor::CorrelationKey key{"80", "0101000001", "101", 2};
    EXPECT_EQ(editor::saveCorrelationStatement(CorrelationKind::COGE, key, "", "A.1"),
              "DELETE FROM CG83_COLLRICL WHERE CG83_CONTORICL_PC03 = 'A.1' AND CG83_CODICE_CG10 = 80 AND "
              "CG83_CONTO_CG24 = '0101000001' AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 2");
    EXPECT_EQ(editor::saveCorrelationStatement(CorrelationKind::HYPE, key, "B.2", "A.1"),
              " UPDATE CGH0_COLLRICLHYP SET CGH0_CONTO_PC03 = 'B.2' WHERE CGH0_GRUPPO_CG10 = 80 AND "
              "CGH0_CONTO_CG24 = '0101000001' AND CGH0_INDSEGNO = 2 AND CGH0_CODICE_PC01 = 101");
    EXPECT_EQ(editor::saveCorrelationStatement(CorrelationKind::CONS, key, "B.2", ""),
              "INSERT INTO CGB3_COLLRICLCONS  (CGB3_CODICE_CGC0, CGB3_CONTO_CG24, CGB3_CODICE_PC01, "
              "CGB3_CONTO_PC03,  CGB3_INDSEGNO) VALUES (80, '0101000001', 101, 'B.2', 2)");
    EXPECT_EQ(editor::saveCorrelationStatement(CorrelationKind::COIN, key, "", ""),
              "DELETE FROM PC07_COLLRICL WHERE PC07_CONTORICL_PC03 = '' AND PC07_CODICE_PC01 = 80 AND "
              "PC07_CONTO_PC03 = '0101000001' AND PC07_CODICERICL_PC01 = 101 AND PC07_INDSEGNO = 2");
}

TEST(CorrelationStatements, QuotesInValuesCannotEndTheLiteral) {
    editor::CorrelationKey key{"80", "01'; DROP TABLE CG83_COLLRICL --", "1 OR 1=1", 1};
    std::string sql = editor::insertCorrelationStatement(CorrelationKind::COGE, key, "x'y");
    EXPECT_NE(sql.find("'01''; DROP TABLE CG83_COLLRICL --'"), std::string::npos);
    EXPECT_NE(sql.find("'x''y'"), std::string::npos);
    // A code that is not a number is written as a literal, never as SQL.
    EXPECT_NE(sql.find("'1 OR 1=1'"), std::string::npos);
    EXPECT_EQ(editor::bareValue("-12.5"), "-12.5");
    EXPECT_EQ(editor::bareValue("", "0"), "0");
    EXPECT_EQ(editor::bareValue("12a"), "'12a'");
}

TEST(HeaderStatements, MaskAndChartQueries) {
    EXPECT_EQ(editor::maskQuery(""), "SELECT CG10_MASKEDIT, CG10_NUMLIVELLI  FROM CG10_DESPDC \r\n  WHERE CG10_GRUPPO = -1");
    EXPECT_EQ(editor::maskFromStored("  xx/xxxx0000 "), "@@/@@@@@@@@");
    EXPECT_EQ(editor::maskFromStored("XX/xx"), "XX/@@");
    EXPECT_EQ(editor::maskForLevels(4).value(), "@@/@@/@@/@@@@");
    EXPECT_FALSE(editor::maskForLevels(6).has_value());
    EXPECT_EQ(editor::accountDescriptionQuery("", "A'1", "1"),
              "SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(0, 'A''1', 1, Null) ");
    EXPECT_EQ(editor::chartConfiguredQuery(""), "SELECT PC02_CODICE_PC01 FROM PC02_CONFIGPDC WHERE PC02_CODICE_PC01 = 0");
    EXPECT_EQ(editor::masterAccountsQuery("80", "GRP"),
              " SELECT CG36_CODICE, CG36_CONTO_CG24 FROM [GRP].dbo.CG36_PRSPDC WITH(NOLOCK) WHERE CG36_GRUPPO_CG10 = 80");
    EXPECT_EQ(editor::intercompanyStructureQuery("7"),
              " SELECT *\r FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)\r LEFT OUTER JOIN CGB1_DATABASEINFRAGRUPPO "
              "WITH(NOLOCK)\r   ON CGB1_CODICE = CGC0_CODICE_CGB1\r WHERE CGC0_CODICE = 7");
}

TEST(HeaderStatements, IntercompanyConnectionStringRewrite) {
    EXPECT_EQ(editor::intercompanyConnectionString("Provider=SQLOLEDB;database=MAIN;Integrated Security=SSPI", "GRP"),
              "Provider=SQLOLEDB;database=GRP;Integrated Security=SSPI");
    EXPECT_EQ(editor::intercompanyConnectionString("Provider=SQLOLEDB;Initial Catalog=MAIN;", "GRP"),
              "Provider=SQLOLEDB;Initial Catalog=MAIN;");
    EXPECT_EQ(editor::intercompanyConnectionString("Provider=SQLite;database=MAIN", "GRP"), "Provider=SQLite;database=MAIN");
    EXPECT_EQ(editor::intercompanyConnectionString("Provider=SQLite;Database=MAIN;", "GRP"), "Provider=SQLite;Database=MAIN;");
    EXPECT_EQ(editor::intercompanyConnectionString("database=MAIN;", ""), "database=MAIN;");
}

TEST(HandoffStatements, CountsSkipIntermediaryZeroOnlyWhenCorrelated) {
    EXPECT_EQ(editor::intermediariesCountQuery("", "1", 0),
              "  SELECT COUNT(1)  FROM   CG40_ANADITTAINTER WITH(NOLOCK)  WHERE  CG40_DITTA_CG18 = 1    AND  CG40_TIPOCF = 0");
    std::string cons = editor::correlatedIntermediariesCountQuery(true, "GRP", "2", 1, "401", "1");
    EXPECT_EQ(cons.rfind(" AND CG40_INTERMEDIO <> 0"), cons.size() - 25);
    EXPECT_NE(cons.find("FROM   [GRP].dbo.CG40_ANADITTAINTER"), std::string::npos);
    EXPECT_NE(cons.find("WHERE  CGB4_CODICE_CGC0 = 1                         AND  CGB4_TIPOCF_CG40 = CG40_TIPOCF"),
              std::string::npos);
    EXPECT_EQ(cons.find('\r'), std::string::npos);
}

TEST(IntermediStatements, SubAccountNumbersAndSaves) {
    EXPECT_EQ(intermedi::intermediaryOfCode("1407000000"), 7);
    EXPECT_EQ(intermedi::intermediaryOfCode("14"), 0);
    EXPECT_EQ(intermedi::intermediaryOfCode("14AB000000"), 0);
    intermedi::IntermediKey k{false, "1", 0, 5, "101", 2};
    EXPECT_EQ(intermedi::deleteIntermediStatement(k, "A'1"),
              " DELETE FROM CG93_CORRINTERMEDIRICL\r\n WHERE CG93_DITTA_CG18 = 1\r\n   AND CG93_TIPOCF_CG40 = 0\r\n"
              "   AND CG93_INTERMEDIO_CG40 = 5\r\n   AND CG93_CODICE_PC01 = 101\r\n   AND CG93_CONTO_PC03 = 'A''1'"
              "   AND CG93_INDSEGNO = 2");
    k.cons = true;
    EXPECT_EQ(intermedi::updateIntermediStatement(k, "B", "A"),
              " UPDATE CGB4_CORRINTERMEDICONS\r\n SET CGB4_CONTO_PC03 = 'B'\r\n WHERE CGB4_CODICE_CGC0 = 1\r\n"
              "   AND CGB4_TIPOCF_CG40 = 0\r\n   AND CGB4_INTERMEDIO_CG40 = 5\r\n   AND CGB4_CODICE_PC01 = 101\r\n"
              "   AND CGB4_CONTO_PC03 = 'A'   AND CGB4_INDSEGNO = 2");
    std::string ins = intermedi::conditionalInsertIntermediStatement(k, "B");
    EXPECT_EQ(ins.substr(0, ins.find('\r') + 1), " IF NOT EXISTS                                 \r");
    EXPECT_NE(ins.find("\r                   CGB4_CODICE_CGC0            \r"), std::string::npos);
    EXPECT_NE(ins.find("\r               ,   'B'\r"), std::string::npos);
    EXPECT_EQ(ins.substr(ins.size() - 7), " END \r\n");
    EXPECT_EQ(std::count(ins.begin(), ins.end(), '\n'), 1);
}

TEST(IntermediStatements, WorkingTableComposesSubAccountCodes) {
    intermedi::IntermediTableInput in{false, "", "80", "1401000000", "1", 0, "101", ""};
    std::string sql = intermedi::intermediTableStatement(in);
    EXPECT_NE(sql.find("LEFT(CG24_CONTO,2) + RIGHT('00' + CAST(CG40_INTERMEDIO AS NVARCHAR(2)),2) + RIGHT(CG24_CONTO,6) "
                       "AS CG24_CONTO, (SELECT CG40_DESCR"),
              std::string::npos);
    EXPECT_NE(sql.find("CG40_DITTA_CG18))AS CG24_DESCR, CG24_INDTIPOCONTO, 1 AS SEGNO\r\n"), std::string::npos);
    EXPECT_NE(sql.find("(CG40_TIPOCF , CG40_INTERMEDIO , CG40_DITTA_CG18)), CG24_DESCR) AS CG24_DESCR, "
                       "CG24_INDTIPOCONTO, 2 AS SEGNO\r\n"),
              std::string::npos);
    EXPECT_NE(sql.find("     AND CG40_INTERMEDIO <> 0\r\n ) AS CORRPDCRICL\r\n LEFT OUTER JOIN CG83_COLLRICL\r\n"),
              std::string::npos);
    EXPECT_NE(sql.find("AS ANALITICO \r\n"), std::string::npos);
    EXPECT_EQ(sql.find("<DITTA>"), std::string::npos);
    EXPECT_EQ(intermedi::intermediReadingQuery(),
              " SELECT *\r\n FROM #CORRINTERMEDI\r\n WHERE ISNULL(CONTOPDC,'') <> ''\r\n ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO\r\n");
}

TEST(ByCeeStatements, LinesJoinedByCarriageReturns) {
    std::string q = bycee::pdcCorrelatedWithCeeQuery(10, 82);
    EXPECT_EQ(q.substr(0, 35), "DECLARE @PdcCodice AS TinyInt = 10\r");
    EXPECT_EQ(q.substr(q.size() - 3), "\r; ");
    EXPECT_EQ(std::count(q.begin(), q.end(), '\r'), 13);
    std::string s = bycee::bulkCorrelationScript(80, 10, 82, 103);
    EXPECT_EQ(s.find('\n'), std::string::npos);
    EXPECT_NE(s.find("\rDECLARE @Pdc_Std    tinyint  = 80 -- "), std::string::npos);
    EXPECT_NE(s.find("\r      , @BI_Std     smallint = 103 -- "), std::string::npos);
    EXPECT_NE(s.find("\r    OUTPUT $action  \r"), std::string::npos);
    EXPECT_EQ(s.substr(s.size() - 50), "SELECT COUNT(*) AS ELABORATI FROM @MyVartable; \r; ");
}
