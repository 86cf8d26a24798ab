// brevanto-cli sql: rows as a table or JSON, rows changed, batches on one session, errors with
// their codes and exit status, and where the text and the connection come from.

#include <gtest/gtest.h>

#include <fstream>

#include "CliTestHelpers.h"

using namespace clitest;
using testsupport::TempDir;

namespace {

class SqlCommand : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(cli("db init --dir " + sh(dir.str())).exitCode, 0); }
    testsupport::CommandResult sql(const std::string& args, const std::string& input = "") {
        return cli("sql --dir " + sh(dir.str()) + " " + args, input);
    }
    TempDir dir;
};

TEST_F(SqlCommand, PrintsRowsAlignedAndAsJson) {
    ASSERT_EQ(sql(sh("INSERT INTO CG18_ANADITTA (CG18_DITTA, CG18_RAGSOC) VALUES (1, 'Rossi S.p.A.'), "
                     "(12, 'Caffè Nero S.r.l.')"))
                  .exitCode,
              0);
    auto table = sql(sh("SELECT CG18_DITTA, CG18_RAGSOC FROM CG18_ANADITTA ORDER BY CG18_DITTA"));
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(table.out,
              "CG18_DITTA  CG18_RAGSOC\n"
              "----------  -----------------\n"
              "1           Rossi S.p.A.\n"
              "12          Caffè Nero S.r.l.\n"
              "(2 righe)\n");

    auto json = sql("--json " + sh("SELECT CG18_DITTA, CG18_RAGSOC, NULL AS NIENTE FROM CG18_ANADITTA WHERE CG18_DITTA = 12"));
    ASSERT_EQ(json.exitCode, 0) << json.err;
    auto j = parseJson(json.out);
    ASSERT_TRUE(j.is_array()) << json.out;
    ASSERT_EQ(j.size(), 1u);
    EXPECT_EQ(j[0]["CG18_DITTA"], 12);
    EXPECT_EQ(j[0]["CG18_RAGSOC"], "Caffè Nero S.r.l.");
    EXPECT_TRUE(j[0]["NIENTE"].is_null());
    EXPECT_LT(json.out.find("CG18_DITTA"), json.out.find("CG18_RAGSOC")) << "columns keep their order";
}

TEST_F(SqlCommand, ReportsRowsChanged) {
    auto ins = sql(sh("INSERT INTO CG21_SCHEMACEE (CG21_CODICE, CG21_DESCR) VALUES (82, 'a'), (83, 'b'), (84, 'c')"));
    ASSERT_EQ(ins.exitCode, 0) << ins.err;
    EXPECT_EQ(ins.out, "3 righe interessate\n");
    auto upd = sql(sh("UPDATE CG21_SCHEMACEE SET CG21_DESCR = 'x' WHERE CG21_CODICE = 99"));
    EXPECT_EQ(upd.out, "0 righe interessate\n");
}

TEST_F(SqlCommand, AQuoteInsideAValueStaysInTheValue) {
    auto ins = sql(sh("INSERT INTO CG18_ANADITTA (CG18_DITTA, CG18_RAGSOC) VALUES (7, 'Bar dell''Angolo; DROP TABLE CG18_ANADITTA')"));
    ASSERT_EQ(ins.exitCode, 0) << ins.err;
    auto sel = sql("--json " + sh("SELECT CG18_RAGSOC FROM CG18_ANADITTA WHERE CG18_RAGSOC = 'Bar dell''Angolo; DROP TABLE CG18_ANADITTA'"));
    ASSERT_EQ(sel.exitCode, 0) << sel.err;
    EXPECT_EQ(parseJson(sel.out)[0]["CG18_RAGSOC"], "Bar dell'Angolo; DROP TABLE CG18_ANADITTA");
}

TEST_F(SqlCommand, ABatchSharesItsSessionAndShowsTheLastRows) {
    const std::string batch =
        "INSERT INTO CG21_SCHEMACEE (CG21_CODICE, CG21_DESCR) VALUES (82, 'CEE Analitico');\n"
        "SELECT CG21_CODICE AS CODICE, CG21_DESCR AS DESCR INTO #SCHEMI FROM CG21_SCHEMACEE;\n"
        "SELECT 'prima' AS X;\n"
        "SELECT DESCR FROM #SCHEMI WHERE CODICE = 82";
    auto r = sql("--json", batch);   // the text comes from standard input
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = parseJson(r.out);
    ASSERT_EQ(j.size(), 1u) << r.out;
    EXPECT_EQ(j[0]["DESCR"], "CEE Analitico");

    // The temporary table belonged to that session only.
    auto later = sql(sh("SELECT * FROM #SCHEMI"));
    EXPECT_EQ(later.exitCode, 1);
}

TEST_F(SqlCommand, ReadsTheTextFromAFile) {
    auto file = dir.path() / "q.sql";
    std::ofstream(file) << "SELECT COUNT(*) AS N FROM CG24_TABPDC\r\n";
    auto r = sql("--json --file " + sh(file.string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(parseJson(r.out)[0]["N"], 0);

    auto missing = sql("--file " + sh((dir.path() / "nope.sql").string()));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("nope.sql"), std::string::npos);
}

TEST_F(SqlCommand, ErrorsGoToStderrWithCodesAndExitOne) {
    auto syntax = sql(sh("SELEC 1"));
    EXPECT_EQ(syntax.exitCode, 1);
    EXPECT_TRUE(syntax.out.empty()) << syntax.out;
    EXPECT_NE(syntax.err.find("SQLSTATE"), std::string::npos) << syntax.err;
    EXPECT_NE(syntax.err.find("codice nativo"), std::string::npos) << syntax.err;

    auto noTable = sql(sh("SELECT * FROM NON_ESISTE"));
    EXPECT_EQ(noTable.exitCode, 1);
    EXPECT_NE(noTable.err.find("NON_ESISTE"), std::string::npos) << noTable.err;

    auto dup = sql(sh("INSERT INTO CG21_SCHEMACEE (CG21_CODICE, CG21_DESCR) VALUES (1, 'a'), (1, 'b')"));
    EXPECT_EQ(dup.exitCode, 1);
    EXPECT_NE(dup.err.find("SQLSTATE 23000"), std::string::npos) << dup.err;
}

TEST(SqlConnection, MissingDatabaseAndConnectionAreMessages) {
    TempDir empty;
    auto noFile = cli("sql --dir " + sh(empty.str()) + " " + sh("SELECT 1"));
    EXPECT_EQ(noFile.exitCode, 1);
    EXPECT_NE(noFile.err.find("BREVANTO"), std::string::npos) << noFile.err;
    EXPECT_FALSE(std::filesystem::exists(empty.path() / "BREVANTO.db")) << "never created silently";

    auto none = testsupport::runCommand("env -u BREVANTO_CONNECTION " + std::string(BREVANTO_CLI) + " sql " + sh("SELECT 1"));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("--dir"), std::string::npos) << none.err;

    auto broken = cli("sql --conn " + sh("Provider=Nessuno;database=X") + " " + sh("SELECT 1"));
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_FALSE(broken.err.empty());
}

TEST(SqlConnection, TakesTheConnectionFromTheEnvironment) {
    TempDir dir;
    ASSERT_EQ(cli("db init --dir " + sh(dir.str())).exitCode, 0);
    auto r = testsupport::runCommand("BREVANTO_CONNECTION=" + sh("Provider=SQLite;database=BREVANTO;Data Source=" + dir.str()) +
                                     " " + BREVANTO_CLI + " sql --json " + sh("SELECT COUNT(*) AS N FROM PC01_DESCRPDC"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(parseJson(r.out)[0]["N"], 0);
}

}  // namespace
