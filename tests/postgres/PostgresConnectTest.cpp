// Opening a PostgreSQL connection: the refusals a user can meet, each in a clear sentence with
// its SQLSTATE, and a password that holds the connection string's own separators.

#include <gtest/gtest.h>

#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "postgres/PostgresFixture.h"
#include "support/DbErrors.h"

namespace {

using testsupport::errorOf;

std::string server() { return testsupport::postgresServer(); }

// The server's string with one item replaced (or removed when value is empty).
std::string with(const std::string& key, const std::string& value) {
    std::string out = db::ConnectionString(server()).without({key});
    return value.empty() ? out : out + key + "=" + value;
}

db::Error openError(const std::string& cs) {
    auto c = db::Connection::create();
    return errorOf([&] { c->Open(cs); });
}

class PostgresConnectTest : public PostgresFixture {};

TEST_F(PostgresConnectTest, RefusalsAreExplainedInItalian) {
    auto missing = openError("Provider=PostgreSQL;Port=5432");
    EXPECT_EQ(missing.items()[0].sqlState, "08001");
    EXPECT_NE(std::string(missing.what()).find("manca Host"), std::string::npos) << missing.what();
    EXPECT_NE(std::string(missing.what()).find("database, User"), std::string::npos) << missing.what();

    auto database = openError(with("database", "brevanto_nessuno"));
    EXPECT_EQ(database.items()[0].sqlState, "3D000");
    EXPECT_NE(std::string(database.what()).find("Il database 'brevanto_nessuno' non esiste"), std::string::npos)
        << database.what();

    auto unreachable = openError(with("Host", "/nessuna/cartella"));
    EXPECT_EQ(unreachable.items()[0].sqlState, "08001");
    EXPECT_NE(std::string(unreachable.what()).find("non raggiungibile"), std::string::npos) << unreachable.what();

    auto port = openError(with("Port", "abc"));
    EXPECT_EQ(port.items()[0].sqlState, "08001");

    // The connection reports every refusal in Errors too.
    auto c = db::Connection::create();
    EXPECT_THROW(c->Open(with("Port", "abc")), db::Error);
    EXPECT_EQ(c->Errors().Count(), 1);
    EXPECT_EQ(c->State(), db::ado::adStateClosed);
}

TEST_F(PostgresConnectTest, PasswordWithSeparatorsAndQuotesAndTheUserOfOpen) {
    conn_->ExecuteNative("DROP ROLE IF EXISTS brevanto_quote");
    conn_->ExecuteNative("CREATE ROLE brevanto_quote LOGIN PASSWORD 'a;b''c\"d}e'");
    const std::string base = db::ConnectionString(database_->connectionString()).without({"User"}) + "User=brevanto_quote";
    auto password = openError(db::ConnectionString(base).without({"Password"}) + "Password=sbagliata");
    EXPECT_EQ(password.items()[0].sqlState, "28P01");
    EXPECT_NE(std::string(password.what()).find("Accesso negato"), std::string::npos) << password.what();
    EXPECT_EQ(password.items()[0].source, "PostgreSQL");

    auto c = db::Connection::create();
    c->Open(db::ConnectionString(base).without({"Password"}) + "Password={a;b'c\"d}}e}");
    EXPECT_EQ(c->providerName(), "PostgreSQL");
    EXPECT_EQ(scalar("SELECT current_user", c.get()), "brevanto_quote");
    c->Close();

    // The user and password of Open win over the string's.
    auto d = db::Connection::create();
    d->Open(base, "brevanto_quote", "a;b'c\"d}e");
    EXPECT_EQ(scalar("SELECT current_user", d.get()), "brevanto_quote");
    d->Close();
    conn_->ExecuteNative("DROP ROLE brevanto_quote");
}

TEST_F(PostgresConnectTest, DefaultSchemaMustExist) {
    auto missing = openError(database_->connectionString() + ";DefaultSchema=GRUPPO");
    EXPECT_EQ(missing.items()[0].nativeError, 911);
    conn_->ExecuteNative("CREATE SCHEMA \"GRUPPO\"; CREATE TABLE \"GRUPPO\".t (a int)");
    auto c = db::Connection::create();
    c->Open(database_->connectionString() + ";DefaultSchema=GRUPPO");
    c->Execute("INSERT INTO t VALUES (7)");
    EXPECT_EQ(scalar("SELECT a FROM \"GRUPPO\".t"), "7");
}

}  // namespace
