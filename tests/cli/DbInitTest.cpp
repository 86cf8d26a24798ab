// brevanto-cli db init: the schema it creates, the demo data and the refusal to overwrite.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CliTestHelpers.h"
#include "hostdb/Schema.h"

using namespace clitest;
using testsupport::TempDir;

namespace {

TEST(DbInit, EmptyDatabaseHasEveryTableAndNoRows) {
    TempDir dir;
    auto r = cli("db init --dir " + sh(dir.str()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string file = (dir.path() / "BREVANTO.db").string();
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "GRUPPO.db"));
    EXPECT_NE(r.out.find("Provider=SQLite;database=BREVANTO;Data Source=" + dir.str()), std::string::npos) << r.out;
    for (const auto& table : hostdb::hostTableNames()) {
        EXPECT_EQ(scalar(file, "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name='" + table + "'"), "1")
            << table;
        EXPECT_EQ(count(file, table), 0) << table;
    }
}

TEST(DbInit, RefusesToOverwriteWithoutForce) {
    TempDir dir;
    ASSERT_EQ(cli("db init --dir " + sh(dir.str()) + " --demo").exitCode, 0);
    const std::string file = (dir.path() / "BREVANTO.db").string();
    long before = count(file, "CG24_TABPDC");
    ASSERT_GT(before, 0);

    auto again = cli("db init --dir " + sh(dir.str()));
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("esiste già"), std::string::npos) << again.err;
    EXPECT_NE(again.err.find("--force"), std::string::npos) << again.err;
    EXPECT_EQ(count(file, "CG24_TABPDC"), before) << "the refused run must not touch the data";

    auto forced = cli("db init --dir " + sh(dir.str()) + " --force");
    ASSERT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(count(file, "CG24_TABPDC"), 0);
}

// Only db init makes a database: an empty BREVANTO.db (a failed copy, a `touch`) is refused by
// the other commands and left empty, and db init replaces it only when told to.
TEST(DbInit, AnEmptyFileIsNoDatabaseUntilInitReplacesItWithForce) {
    TempDir dir;
    const auto file = dir.path() / "BREVANTO.db";
    std::ofstream(file, std::ios::binary).flush();
    for (const std::string& command : {"sql --dir " + sh(dir.str()) + " 'SELECT 1'",
                                      "list --kind COGE --pdc 10 --ricl 101 --dir " + sh(dir.str())}) {
        auto r = cli(command);
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_NE(r.err.find("il file è vuoto, non è un database Brevanto"), std::string::npos) << r.err;
    }
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "BREVANTO.db-wal"));

    auto refused = cli("db init --dir " + sh(dir.str()));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("esiste già"), std::string::npos) << refused.err;
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    ASSERT_EQ(cli("db init --dir " + sh(dir.str()) + " --force").exitCode, 0);
    EXPECT_EQ(count(file.string(), "CG24_TABPDC"), 0);
}

TEST(DbInit, OptionMistakesAreMessagesNotCrashes) {
    TempDir dir;
    auto noDemo = cli("db init --dir " + sh(dir.str()) + " --accounts 10");
    EXPECT_EQ(noDemo.exitCode, 1);
    EXPECT_NE(noDemo.err.find("--demo"), std::string::npos) << noDemo.err;

    auto semicolon = cli("db init --dir " + sh(dir.str() + "/a;b"));
    EXPECT_EQ(semicolon.exitCode, 1);
    EXPECT_NE(semicolon.err.find("';'"), std::string::npos) << semicolon.err;

    auto missing = cli("db init");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.err.find("--dir"), std::string::npos) << missing.err;
}

class DemoDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        auto r = cli("db init --dir " + sh(dir_->str()) + " --demo");
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string host() { return (dir_->path() / "BREVANTO.db").string(); }
    static std::string group() { return (dir_->path() / "GRUPPO.db").string(); }
    static TempDir* dir_;
};
TempDir* DemoDatabase::dir_ = nullptr;

TEST_F(DemoDatabase, ChartsCompaniesAndStructures) {
    EXPECT_EQ(scalar(host(), "SELECT CG10_MASKEDIT || '|' || CG10_NUMLIVELLI || '|' || CG10_NUMLIVCONS FROM CG10_DESPDC WHERE CG10_GRUPPO = 80"),
              "xx/xxxx/xxxx|3|2");
    EXPECT_EQ(scalar(host(), "SELECT CG10_MASKEDIT || '|' || CG10_NUMLIVELLI FROM CG10_DESPDC WHERE CG10_GRUPPO = 10"),
              "xx/xx/xx/xxxx|4");
    long chart10 = count(host(), "CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 10");
    long chart80 = count(host(), "CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 80");
    EXPECT_GE(chart10, 60);
    EXPECT_LE(chart10, 160);
    EXPECT_GE(chart80, 60);
    EXPECT_LE(chart80, 160);
    EXPECT_EQ(count(host(), "CG24_TABPDC WHERE length(CG24_CONTO) <> 10"), 0);
    for (int type = 0; type <= 2; ++type)
        EXPECT_GT(count(host(), "CG24_TABPDC WHERE CG24_INDTIPOCONTO = " + std::to_string(type)), 0) << type;
    EXPECT_EQ(scalar(host(), "SELECT CG24_DESCR FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 80 AND CG24_CONTO = '1401000000'"),
              "CLIENTI");
    EXPECT_EQ(scalar(host(), "SELECT group_concat(CG36_CODICE || '=' || CG36_CONTO_CG24) FROM CG36_PRSPDC WHERE CG36_GRUPPO_CG10 = 10"),
              "10=1401000000,20=2601000000");
    // The text survives a quote inside it.
    EXPECT_EQ(count(host(), "CG24_TABPDC WHERE CG24_DESCR = 'Utile (perdita) d''esercizio'"), 1);

    EXPECT_EQ(count(host(), "PC01_DESCRPDC"), 7);
    EXPECT_EQ(count(host(), "PC02_CONFIGPDC WHERE PC02_CODICE_PC01 = 110"), 0);
    EXPECT_EQ(count(host(), "PC02_CONFIGPDC"), 6);
    EXPECT_EQ(scalar(host(), "SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = 103"), "6");
    EXPECT_GT(count(host(), "PC03_ANAGPDC WHERE PC03_CODICE_PC01 = 201 AND PC03_INDANALITICO = 0"), 0);
    EXPECT_GT(count(host(), "PC03_ANAGPDC WHERE PC03_CODICE_PC01 = 201 AND PC03_INDANALITICO = 1"), 0);

    EXPECT_EQ(scalar(host(), "SELECT group_concat(CG40_INTERMEDIO) FROM (SELECT CG40_INTERMEDIO FROM CG40_ANADITTAINTER "
                             "WHERE CG40_DITTA_CG18 = 1 AND CG40_TIPOCF = 0 ORDER BY 1)"),
              "0,2,4,7");
    EXPECT_EQ(scalar(host(), "SELECT group_concat(CG40_INTERMEDIO) FROM (SELECT CG40_INTERMEDIO FROM CG40_ANADITTAINTER "
                             "WHERE CG40_DITTA_CG18 = 1 AND CG40_TIPOCF = 1 ORDER BY 1)"),
              "0,3,5");
    EXPECT_EQ(scalar(host(), "SELECT CGB1_DATABASE FROM CGC0_STRUTINFRAGRUPPO JOIN CGB1_DATABASEINFRAGRUPPO "
                             "ON CGB1_CODICE = CGC0_CODICE_CGB1 WHERE CGC0_CODICE = 1"),
              "GRUPPO");
    EXPECT_EQ(scalar(host(), "SELECT CGC0_DITTA_CG18 IS NULL FROM CGC0_STRUTINFRAGRUPPO WHERE CGC0_CODICE = 2"), "1");
    EXPECT_EQ(scalar(host(), "SELECT CG21_DESCR FROM CG21_SCHEMACEE WHERE CG21_CODICE = 82"), "CEE Analitico post 30/09/2004");
}

TEST_F(DemoDatabase, IntercompanyDatabaseHoldsTheGroupCompanysLedger) {
    EXPECT_EQ(scalar(group(), "SELECT CG25_GRUPPO_CG10 FROM CG25_ANADITTAGEST WHERE CG25_DITTA_CG18 = 2"), "80");
    EXPECT_EQ(count(group(), "CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 80"), count(host(), "CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 80"));
    EXPECT_EQ(count(group(), "CG36_PRSPDC WHERE CG36_GRUPPO_CG10 = 80"), 2);
    EXPECT_GT(count(group(), "CG40_ANADITTAINTER WHERE CG40_DITTA_CG18 = 2"), 0);
    EXPECT_EQ(count(group(), "CG83_COLLRICL"), 0) << "correlations live in the host database only";
}

TEST_F(DemoDatabase, EveryCorrelationTableHasRowsThatPointAtExistingAccounts) {
    for (const char* table : {"CG83_COLLRICL", "PC07_COLLRICL", "CGH0_COLLRICLHYP", "CGB3_COLLRICLCONS",
                              "CG93_CORRINTERMEDIRICL", "CGB4_CORRINTERMEDICONS", "CG20_COLLPDCRICL"})
        EXPECT_GT(count(host(), table), 0) << table;
    EXPECT_EQ(count(host(), "CG83_COLLRICL LEFT JOIN PC03_ANAGPDC ON PC03_CODICE_PC01 = CG83_CODICERICL_PC01 "
                            "AND PC03_CONTO = CG83_CONTORICL_PC03 WHERE PC03_CONTO IS NULL"),
              0);
    EXPECT_EQ(count(host(), "CG83_COLLRICL LEFT JOIN CG24_TABPDC ON CG24_GRUPPO_CG10 = CG83_CODICE_CG10 "
                            "AND CG24_CONTO = CG83_CONTO_CG24 WHERE CG24_CONTO IS NULL"),
              0);
    // The standard chart is correlated with the interim balances for every leaf and sign, so
    // the CEE bulk correlation of chart 10 has a source for each CEE item.
    EXPECT_EQ(count(host(), "CG83_COLLRICL WHERE CG83_CODICE_CG10 = 80 AND CG83_CODICERICL_PC01 = 103 "
                            "AND substr(CG83_CONTO_CG24, 7) <> '0000'"),
              2 * count(host(), "CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 80 AND substr(CG24_CONTO, 7) <> '0000'"));
    EXPECT_GT(count(host(), "CG20_COLLPDCRICL WHERE CG20_GRUPPO_CG10 = 10 AND CG20_CODICE_CG21 = 82"), 0);
    EXPECT_EQ(count(host(), "CG20_COLLPDCRICL WHERE CG20_CONTO_CG24 LIKE '145%'"), 0) << "no generated accounts asked for";
}

// The generated accounts are linked to the CEE scheme 82 on both signs, over items the standard
// chart has interim-balance correlations for: the CEE bulk correlation then derives a row for
// every one of them.
TEST(DbInit, GeneratedAccountsAreLinkedToTheCeeScheme) {
    TempDir dir;
    auto r = cli("db init --demo --accounts 120 --dir " + sh(dir.str()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string host = (dir.path() / "BREVANTO.db").string();
    const std::string generated =
        "CG20_COLLPDCRICL WHERE CG20_GRUPPO_CG10 = 10 AND CG20_CONTO_CG24 LIKE '145%' AND CG20_CODICE_CG21 = 82";
    EXPECT_EQ(count(host, generated), 240);
    EXPECT_EQ(count(host, generated + " AND CG20_INDSEGNO = 2 AND substr(CG20_CONTO_CG24, 7) <> '0000'"), 120)
        << "leaves only, each on the credit side as well";
    EXPECT_GT(count(host, "(SELECT DISTINCT CG20_CODICE_CG23 FROM " + generated + ")"), 20) << "spread over the items";
    EXPECT_EQ(count(host, generated + " AND NOT EXISTS (SELECT 1 FROM CG20_COLLPDCRICL s JOIN CG83_COLLRICL b"
                                      " ON b.CG83_CODICE_CG10 = 80 AND b.CG83_CONTO_CG24 = s.CG20_CONTO_CG24"
                                      " AND b.CG83_INDSEGNO = s.CG20_INDSEGNO AND b.CG83_CODICERICL_PC01 = 103"
                                      " WHERE s.CG20_GRUPPO_CG10 = 80 AND s.CG20_CODICE_CG21 = 82"
                                      " AND s.CG20_CODICE_CG23 = CG20_COLLPDCRICL.CG20_CODICE_CG23"
                                      " AND s.CG20_INDSEGNO = CG20_COLLPDCRICL.CG20_INDSEGNO)"),
              0);
}

TEST_F(DemoDatabase, KeysRefuseDuplicatesAndTextComparesLikeSqlServer) {
    const std::string conn = " --dir " + sh(dir_->str());
    auto dup = cli("sql" + conn + " " +
                   sh("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
                      "CG83_CONTORICL_PC03) VALUES (80, '0101000001', 103, 1, 'A0102')"));
    EXPECT_EQ(dup.exitCode, 1);
    EXPECT_NE(dup.err.find("SQLSTATE 23000"), std::string::npos) << dup.err;
    EXPECT_EQ(scalar(host(), "SELECT CG83_CONTORICL_PC03 FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 80 "
                             "AND CG83_CONTO_CG24 = '0101000001' AND CG83_CODICERICL_PC01 = 103 AND CG83_INDSEGNO = 1"),
              "A0101");

    // Case and trailing blanks do not matter in a comparison, nor in a key.
    auto found = cli("sql --json" + conn + " " +
                     sh("SELECT COUNT(*) AS N FROM CG24_TABPDC WHERE CG24_DESCR = 'clienti ITALIA   '"));
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(parseJson(found.out)[0]["N"], 2) << found.out;
    auto caseDup = cli("sql" + conn + " " +
                       sh("INSERT INTO PC03_ANAGPDC (PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR) VALUES (103, 'a0101 ', 'x')"));
    EXPECT_EQ(caseDup.exitCode, 1) << caseDup.out;
}

}  // namespace
