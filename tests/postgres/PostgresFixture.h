#pragma once
// A fresh database of the suite's PostgreSQL server per test, skipped without a server.

#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "db/Connection.h"
#include "support/PostgresTestDatabase.h"

class PostgresFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (testsupport::postgresServer().empty()) GTEST_SKIP() << "no PostgreSQL server: its server programs are not installed";
        database_.emplace(content());
        conn_ = open();
    }
    virtual testsupport::PostgresTestDatabase::Content content() const {
        return testsupport::PostgresTestDatabase::Content::Empty;
    }
    std::shared_ptr<db::Connection> open() const {
        auto c = db::Connection::create();
        c->Open(database_->connectionString());
        return c;
    }
    // The first column of the first row of a query, as text ("" for no row).
    std::string scalar(const std::string& sql, db::Connection* on = nullptr) const {
        auto r = (on ? *on : *conn_).ExecuteNative(sql);
        if (r.resultSets.empty() || r.resultSets[0].rows.empty()) return "";
        return r.resultSets[0].rows[0][0].toText();
    }

    std::optional<testsupport::PostgresTestDatabase> database_;
    std::shared_ptr<db::Connection> conn_;
};
