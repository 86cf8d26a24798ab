#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Recordset.h"
#include "db/Trace.h"

using db::Connection;
using db::ExecResult;
using db::Recordset;
using db::UsageError;
using db::Variant;
using testing::HasSubstr;
namespace ado = db::ado;

namespace {

// A scripted engine: each command text maps to an outcome; anything else is a syntax error.
struct FakeState {
    std::map<std::string, std::function<ExecResult()>> script;
    std::vector<std::string> executed;
    int closes = 0;
    std::string lastConnectionString, lastUser;
};

class FakeBackend : public db::Backend {
public:
    explicit FakeBackend(FakeState& s) : s_(s) {}
    ExecResult execute(const std::string& text) override {
        s_.executed.push_back(text);
        auto it = s_.script.find(text);
        if (it == s_.script.end()) throw db::Error("near \"" + text + "\": syntax error", 1, "HY000", "Fake");
        return it->second();
    }
    void close() override { ++s_.closes; }
    std::string name() const override { return "Fake"; }

private:
    FakeState& s_;
};

ExecResult rows(std::vector<std::string> accounts) {
    db::ResultSet rs;
    rs.fields = {{"CONTOPDC", ado::adVarWChar, 15}, {"SEGNO", ado::adDecimal, 1}};
    for (auto& a : accounts)
        for (int s : {1, 2}) rs.rows.push_back({Variant(a), Variant::decimal(s)});
    ExecResult r;
    r.resultSets.push_back(std::move(rs));
    return r;
}

class ConnectionTest : public testing::Test {
protected:
    void SetUp() override {
        db::registerBackend("Fake", [this](const db::ConnectionString& cs, const std::string& user,
                                           const std::string&) {
            state.lastConnectionString = cs.text();
            state.lastUser = user;
            return std::make_unique<FakeBackend>(state);
        });
        token = db::addGlobalSink(db::makeSink([this](const db::TraceEvent& e) { trace.push_back(e); }));
        state.script["SELECT * FROM #CORRPDCRICL"] = [] { return rows({"A", "B"}); };
        state.script["DELETE FROM T"] = [] {
            ExecResult r;
            r.rowsAffected = 3;
            return r;
        };
    }
    void TearDown() override {
        db::removeGlobalSink(token);
        db::registerBackend("Fake", nullptr);
    }
    std::shared_ptr<Connection> open() {
        auto c = Connection::create();
        c->Open("Provider=Fake;database=MAIN", "sa");
        return c;
    }

    FakeState state;
    std::vector<db::TraceEvent> trace;
    long token = 0;
};

}  // namespace

TEST_F(ConnectionTest, OpenAndCloseDriveTheEngine) {
    auto c = Connection::create();
    EXPECT_EQ(c->State(), ado::adStateClosed);
    EXPECT_EQ(c->providerName(), "");
    c->setConnectionString("provider=FAKE;database=MAIN");
    c->Open("", "sa", "pw");
    EXPECT_EQ(c->State(), ado::adStateOpen);
    EXPECT_EQ(c->providerName(), "Fake");
    EXPECT_EQ(state.lastConnectionString, "provider=FAKE;database=MAIN");
    EXPECT_EQ(state.lastUser, "sa");
    EXPECT_THROW(c->Open(), UsageError);
    c->Close();
    EXPECT_EQ(c->State(), ado::adStateClosed);
    EXPECT_EQ(state.closes, 1);
    c->Close();
    EXPECT_EQ(state.closes, 1);
    {
        auto scoped = open();
    }
    EXPECT_EQ(state.closes, 2);   // the destructor closes
    EXPECT_NE(open()->id(), open()->id());
}

TEST_F(ConnectionTest, UnknownProviderIsAClearError) {
    for (const char* provider : {"SQLOLEDB", "MSOLEDBSQL", "SQLOLEDB.1"}) {
        auto c = Connection::create();
        try {
            c->Open(std::string("Provider=") + provider + ";Data Source=SRV;Initial Catalog=DB");
            FAIL() << provider;
        } catch (const db::Error& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Provider '") + provider +
                                                 "' non disponibile: usare Provider=SQLite, Provider=PostgreSQL o Provider=ODBC");
            ASSERT_EQ(c->Errors().Count(), 1);
            EXPECT_EQ(c->Errors().Item(0).sqlState, "IM002");
        }
        EXPECT_EQ(c->State(), ado::adStateClosed);
    }
}

TEST_F(ConnectionTest, ExecuteReturnsAClientSideStaticRecordset) {
    auto c = open();
    long affected = 0;
    auto rs = c->Execute("SELECT * FROM #CORRPDCRICL", &affected);
    ASSERT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_EQ(rs->ActiveConnection(), c);
    EXPECT_EQ(rs->CursorLocation(), ado::adUseClient);
    EXPECT_EQ(rs->CursorType(), ado::adOpenStatic);
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(affected, -1);

    auto none = c->Execute("DELETE FROM T", &affected);
    EXPECT_EQ(none->State(), ado::adStateClosed);
    EXPECT_EQ(affected, 3);
    EXPECT_EQ(c->ExecuteAll("DELETE FROM T").rowsAffected, 3);
    EXPECT_EQ(c->Execute("SELECT * FROM #CORRPDCRICL", nullptr, int{ado::adCmdText} | ado::adExecuteNoRecords)->State(),
              ado::adStateClosed);
}

TEST_F(ConnectionTest, FailureFillsErrorsAndIsTraced) {
    auto c = open();
    trace.clear();
    try {
        c->Execute("INSERT INTO X VALUES ('it''s')");
        FAIL();
    } catch (const db::Error& e) {
        EXPECT_THAT(e.what(), HasSubstr("syntax error"));
    }
    ASSERT_EQ(c->Errors().Count(), 1);
    EXPECT_EQ(c->Errors().Item(0).nativeError, 1);
    EXPECT_EQ(c->Errors().Item(0).source, "Fake");
    EXPECT_THROW(c->Errors().Item(1), UsageError);
    EXPECT_THROW(c->Errors().Item(-1), UsageError);

    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0].commandText, "INSERT INTO X VALUES ('it''s')");
    EXPECT_EQ(trace[0].connectionId, c->id());
    EXPECT_FALSE(trace[0].failed);
    EXPECT_TRUE(trace[1].failed);
    EXPECT_THAT(trace[1].error, HasSubstr("syntax error"));

    // A later success keeps the collection; only Clear or a new failure replaces it.
    c->Execute("DELETE FROM T");
    EXPECT_EQ(c->Errors().Count(), 1);
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_FALSE(trace[2].failed);
    c->Errors().Clear();
    EXPECT_EQ(c->Errors().Count(), 0);
}

TEST_F(ConnectionTest, TryExecuteReportsARefusalInItsResultAsExecuteWouldInErrorsAndTrace) {
    auto c = open();
    trace.clear();
    const db::ExecuteResult done = c->TryExecute("DELETE FROM T");
    EXPECT_TRUE(done.ok);
    EXPECT_EQ(done.recordsAffected, 3);
    EXPECT_TRUE(done.errors.empty());
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].commandText, "DELETE FROM T");

    db::ExecuteResult refused;
    EXPECT_NO_THROW(refused = c->TryExecute("INSERT INTO X VALUES ('it''s')"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.recordsAffected, 0);
    ASSERT_EQ(refused.errors.size(), 1u);
    EXPECT_THAT(refused.errors[0].description, HasSubstr("syntax error"));
    EXPECT_EQ(refused.errors[0].source, "Fake");
    // The collection holds the same entries, and the trace shows the failure.
    ASSERT_EQ(c->Errors().Count(), 1);
    EXPECT_EQ(c->Errors().Item(0).description, refused.errors[0].description);
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[1].commandText, "INSERT INTO X VALUES ('it''s')");
    EXPECT_TRUE(trace[2].failed);

    // A closed connection and an engine fault are refusals too, never exceptions.
    state.script["BOOM"] = []() -> ExecResult { throw std::runtime_error("motore in panne"); };
    const db::ExecuteResult fault = c->TryExecute("BOOM");
    EXPECT_FALSE(fault.ok);
    ASSERT_EQ(fault.errors.size(), 1u);
    EXPECT_EQ(fault.errors[0].description, "motore in panne");
    c->Close();
    const db::ExecuteResult closed = c->TryExecute("DELETE FROM T");
    EXPECT_FALSE(closed.ok);
    ASSERT_EQ(closed.errors.size(), 1u);
    EXPECT_THAT(closed.errors[0].description, HasSubstr("chiuso"));
}

TEST_F(ConnectionTest, ExecuteOnAClosedConnectionIsAnError) {
    auto c = Connection::create();
    EXPECT_THROW(c->Execute("SELECT 1"), db::Error);
    ASSERT_EQ(c->Errors().Count(), 1);
    EXPECT_THAT(c->Errors().Item(0).description, HasSubstr("chiuso"));
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_TRUE(trace[1].failed);
}

TEST_F(ConnectionTest, EngineFaultsOtherThanDatabaseErrorsBecomeDatabaseErrors) {
    state.script["BOOM"] = []() -> ExecResult { throw std::runtime_error("motore in panne"); };
    auto c = open();
    try {
        c->Execute("BOOM");
        FAIL();
    } catch (const db::Error& e) {
        EXPECT_STREQ(e.what(), "motore in panne");
    }
    EXPECT_EQ(c->Errors().Count(), 1);
}

TEST_F(ConnectionTest, RecordsetReopensOnItsSourceAndKeepsBookmarks) {
    auto c = open();
    auto rs = Recordset::create();
    rs->setCursorLocation(ado::adUseClient);
    rs->Open("SELECT * FROM #CORRPDCRICL", c, ado::adOpenStatic, ado::adLockOptimistic);
    EXPECT_EQ(rs->LockType(), ado::adLockOptimistic);
    rs->setAbsolutePosition(3);
    Variant mark = rs->Bookmark();
    // The refresh after the intermediaries window: close, reopen on the same source, go back.
    rs->Close();
    rs->Open();
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    rs->setBookmark(mark);
    EXPECT_EQ(rs->value("CONTOPDC").toText(), "B");
    EXPECT_EQ(rs->value("SEGNO").toInt32(), 1);
    EXPECT_EQ(state.executed.size(), 2u);

    auto bad = Recordset::create();
    EXPECT_THROW(bad->Open("SELECT nonsense", c), db::Error);
    EXPECT_EQ(bad->State(), ado::adStateClosed);
    // A source that returns no rows leaves the recordset closed.
    bad->Open("DELETE FROM T", c);
    EXPECT_EQ(bad->State(), ado::adStateClosed);
}
