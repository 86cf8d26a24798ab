// A command text holding a NUL reaches no engine: the connection refuses it once for every
// backend, in its Errors collection, and the database is left as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "support/TestSupport.h"

using testing::HasSubstr;

namespace {

class CountingBackend : public db::Backend {
public:
    explicit CountingBackend(int& calls) : calls_(calls) {}
    db::ExecResult execute(const std::string&) override {
        ++calls_;
        return {};
    }
    void close() override {}
    std::string name() const override { return "ODBC"; }

private:
    int& calls_;
};

void expectRefused(db::Connection& c, const std::string& text, const std::string& position) {
    EXPECT_THROW(c.Execute(text), db::Error);
    ASSERT_EQ(c.Errors().Count(), 1);
    EXPECT_THAT(c.Errors().Item(0).description, HasSubstr("carattere NUL (posizione " + position + ")"));
    EXPECT_EQ(c.Errors().Item(0).source, "ADO");
}

}  // namespace

TEST(CommandTextNul, NoBackendEverReceivesIt) {
    int calls = 0;
    db::registerBackend("Counting", [&](const db::ConnectionString&, const std::string&, const std::string&) {
        return std::make_unique<CountingBackend>(calls);
    });
    auto c = db::Connection::create();
    c->Open("Provider=Counting");
    expectRefused(*c, std::string("SELECT 'a\0'; DROP TABLE T", 26), "10");
    expectRefused(*c, std::string(1, '\0'), "1");
    EXPECT_EQ(calls, 0);
    c->Execute("SELECT 1");
    EXPECT_EQ(calls, 1);
    db::registerBackend("Counting", nullptr);
}

TEST(CommandTextNul, TheEmbeddedDatabaseKeepsItsRows) {
    testsupport::TempDir dir;
    auto c = db::Connection::create();
    c->Open("Provider=SQLite;database=T;Create=1;Data Source=" + dir.str());
    c->Execute("SELECT 'a' AS A INTO #T");
    expectRefused(*c, std::string("INSERT INTO #T VALUES ('x\0y')", 29), "26");
    EXPECT_EQ(c->Execute("SELECT COUNT(*) AS N FROM #T")->value("N").toText(), "1");
}
