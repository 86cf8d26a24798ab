#pragma once
// A fresh PostgreSQL database per test on the suite's throw-away server: copied from a
// template made once per server (the host tables, optionally with the demonstration data and
// its intercompany schema GRUPPO), dropped again when the test ends.

#include <string>

namespace testsupport {

// The server's connection string ("Provider=PostgreSQL;Host=…;database=postgres;…"), from
// BREVANTO_TEST_PG or the file the suite's cluster writes; "" when there is none (skip).
std::string postgresServer();

class PostgresTestDatabase {
public:
    enum class Content { Empty, Schema, Demo };
    // Throws std::runtime_error when there is no server or it refuses (skip on postgresServer()
    // being empty first).
    explicit PostgresTestDatabase(Content content = Content::Schema);
    ~PostgresTestDatabase();
    PostgresTestDatabase(const PostgresTestDatabase&) = delete;
    PostgresTestDatabase& operator=(const PostgresTestDatabase&) = delete;

    const std::string& name() const { return name_; }
    // "Provider=PostgreSQL;…;database=<name>": what a test opens.
    const std::string& connectionString() const { return connectionString_; }

private:
    std::string name_;
    std::string connectionString_;
};

}  // namespace testsupport
