// The ODBC backend against a real PostgreSQL server: batches with several results, decimals,
// accented text and the server's own error states. The suite starts a throw-away cluster
// (cluster.sh) and names it in a file; BREVANTO_TEST_ODBC_PG names another server instead, e.g.
// "Driver=PostgreSQL Unicode;Server=localhost;Port=5432;Database=test;UID=u;PWD=p;".

#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "db/Backend.h"
#include "db/odbc/Odbc.h"
#include "support/DbErrors.h"

namespace {

using db::Variant;
using testsupport::errorOf;
using testsupport::hasState;

std::string serverConnectionString() {
    if (const char* cs = std::getenv("BREVANTO_TEST_ODBC_PG"); cs && *cs) return cs;
    std::ifstream file(BREVANTO_PG_STATE "/odbc.txt");
    std::string line;
    std::getline(file, line);
    return line;
}

class OdbcPostgresTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string cs = serverConnectionString();
        if (cs.empty()) GTEST_SKIP() << "no PostgreSQL server: its server programs are not installed";
        try {
            backend_ = db::openOdbcBackend(db::ConnectionString(cs), "", "");
        } catch (const db::Error& e) {
            FAIL() << "PostgreSQL not reachable through " << cs << ": " << e.what();
        }
        // A session table: the tests run at once in several processes on one server.
        backend_->execute("CREATE TEMP TABLE brevanto_odbc_t (id INTEGER PRIMARY KEY, amount NUMERIC(12,2), note VARCHAR(40))");
    }
    void TearDown() override {
        if (backend_) backend_->execute("DROP TABLE IF EXISTS pg_temp.brevanto_odbc_t");
    }
    std::unique_ptr<db::Backend> backend_;
};

TEST_F(OdbcPostgresTest, BatchReturnsEveryResultAndDecimals) {
    auto r = backend_->execute(
        "INSERT INTO brevanto_odbc_t VALUES (1, 12.50, 'è à ''x'); INSERT INTO brevanto_odbc_t VALUES (2, NULL, NULL); "
        "SELECT id, amount, note FROM brevanto_odbc_t ORDER BY id; SELECT COUNT(*) AS n FROM brevanto_odbc_t");
    EXPECT_EQ(r.rowsAffected, 2);
    ASSERT_EQ(r.resultSets.size(), 2u);
    const auto& rows = r.resultSets[0].rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(r.resultSets[0].fields[1].type, db::ado::adDecimal);
    EXPECT_EQ(rows[0][1].type(), Variant::Type::Decimal);
    EXPECT_DOUBLE_EQ(rows[0][1].toDouble(), 12.5);
    EXPECT_EQ(rows[0][2], Variant("è à 'x"));
    EXPECT_TRUE(rows[1][1].isNull());
    EXPECT_EQ(r.resultSets[1].rows.at(0).at(0).toInt64(), 2);

    auto e = errorOf([&] { backend_->execute("INSERT INTO brevanto_odbc_t VALUES (1, 0, 'dup')"); });
    EXPECT_TRUE(hasState(e, "23505")) << e.what();
    EXPECT_TRUE(db::odbc::isDuplicateKey(e));

    // A failing statement later in a batch fails the whole call.
    auto syntax = errorOf([&] { backend_->execute("SELECT 1; SELEC 2"); });
    EXPECT_TRUE(hasState(syntax, "42601")) << syntax.what();
    EXPECT_FALSE(db::odbc::isDuplicateKey(syntax));
}

TEST_F(OdbcPostgresTest, PreparedStatementsBindValuesInsideATransaction) {
    backend_->beginTransaction();
    auto insert = backend_->prepare("INSERT INTO brevanto_odbc_t (id, amount, note) VALUES (?, ?, ?)");
    EXPECT_EQ(insert->execute({1, Variant("3.25"), Variant("l'anno; --")}), 1);
    EXPECT_EQ(insert->execute({2, Variant::null(), Variant::null()}), 1);
    auto dup = errorOf([&] { insert->execute({1, Variant::null(), Variant("x")}); });
    EXPECT_TRUE(hasState(dup, "23505")) << dup.what();
    backend_->rollbackTransaction();
    EXPECT_EQ(backend_->execute("SELECT COUNT(*) FROM brevanto_odbc_t").resultSets.at(0).rows.at(0).at(0).toInt64(), 0);

    backend_->beginTransaction();
    EXPECT_EQ(insert->execute({3, Variant("1"), Variant("l'anno; --")}), 1);
    backend_->commitTransaction();
    auto r = backend_->execute("SELECT note FROM brevanto_odbc_t WHERE id = 3");
    EXPECT_EQ(r.resultSets.at(0).rows.at(0).at(0), Variant("l'anno; --"));
    auto remove = backend_->prepare("DELETE FROM brevanto_odbc_t WHERE id = ?");
    EXPECT_EQ(remove->execute({4}), 0);
    EXPECT_EQ(remove->execute({3}), 1);
}

}  // namespace
