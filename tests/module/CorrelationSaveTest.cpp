// The editors' common save of one correlation, on the demo database: the operation the
// statement builder picks, the rows written, a refusal with the database's errors, and the
// history step of a write that changed the account (and none otherwise).

#include "EditorRowsTest.h"
#include "editor/CorrelationSave.h"
#include "journal/Journal.h"

using namespace rowstest;
using editor::CorrelationKey;
using editor::SaveOutcome;
using testing::ElementsAre;
using Operation = editor::SaveOperation;

namespace {

class CorrelationSave : public EditorRows {
protected:
    void SetUp() override {
        EditorRows::SetUp();
        if (IsSkipped()) return;
        journal::session().clear();
        conn = db::Connection::create();
        conn->Open(connectionString());
        takeSql();
    }
    void TearDown() override {
        if (conn) conn->Close();
        journal::session().clear();
        EditorRows::TearDown();
    }
    SaveOutcome save(const std::string& account, const std::string& previous, const char* source = "editor") {
        return editor::saveCorrelation(*conn, CorrelationKind::COGE, key, account, previous, source);
    }
    std::optional<journal::Step> lastStep() const { return journal::session().nextUndo(journal::Scope{0, "10", "101"}); }

    std::shared_ptr<db::Connection> conn;
    // Chart 10's 0101020001, sign 1, has nothing stored in chart 101.
    const CorrelationKey key = editor::correlationKey(CorrelationKind::COGE, "10", "1", "101", "0101020001", 1);
};

using CorrelationSaveOn = OnEveryServer<CorrelationSave>;
ON_EVERY_SERVER(CorrelationSaveOn);

TEST_F(CorrelationSave, InsertsUpdatesDeletesAndRecordsEachChangeInTheHistory) {
    // Each save: its operation, one row written, the stored account, and a history step with
    // the change.
    struct Case {
        const char* account;
        const char* previous;
        std::optional<Operation> operation;
        const char* stored;
    };
    for (const Case c : {Case{"0101001", "", Operation::Insert, "0101001"},
                         Case{"0101003", "0101001", Operation::Update, "0101003"},
                         Case{"", "0101003", Operation::Delete, "<none>"}}) {
        SCOPED_TRACE(std::string(c.account) + " <- " + c.previous);
        const SaveOutcome o = save(c.account, c.previous);
        EXPECT_EQ(o.operation, c.operation);
        EXPECT_FALSE(o.refused);
        EXPECT_EQ(o.rowsWritten, 1);
        EXPECT_TRUE(o.errors.empty());
        EXPECT_EQ(storedCoge("0101020001", 1), c.stored);
        const auto step = lastStep();
        ASSERT_TRUE(step);
        EXPECT_EQ(step->source, "editor");
        ASSERT_EQ(step->changes.size(), 1u);
        EXPECT_EQ(step->changes[0].account, "0101020001");
        EXPECT_EQ(step->changes[0].sign, 1);
        EXPECT_EQ(step->changes[0].before, c.previous);
        EXPECT_EQ(step->changes[0].after, c.account);
    }
    EXPECT_EQ(journal::session().undoable(journal::Scope{0, "10", "101"}).size(), 3u);
    // Exactly the builder's statements went to the database.
    EXPECT_THAT(writes(), ElementsAre(editor::saveCorrelationStatement(CorrelationKind::COGE, key, "0101001", ""),
                                      editor::saveCorrelationStatement(CorrelationKind::COGE, key, "0101003", "0101001"),
                                      editor::saveCorrelationStatement(CorrelationKind::COGE, key, "", "0101003")));
}

TEST_F(CorrelationSave, NothingStoredAndNothingTypedRunsNoStatementAndAnUnchangedAccountNoHistory) {
    SaveOutcome o = save("", "");
    EXPECT_EQ(o.operation, std::nullopt);
    EXPECT_FALSE(o.refused);
    EXPECT_TRUE(takeSql().empty());
    EXPECT_FALSE(lastStep());

    // The same account again is written (an UPDATE) but changes nothing: no history step.
    sql("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
        "CG83_CONTORICL_PC03) VALUES (10, '0101020001', 101, 1, '0101001')");
    o = save("0101001", "0101001");
    EXPECT_EQ(o.operation, Operation::Update);
    EXPECT_EQ(o.rowsWritten, 1);
    EXPECT_FALSE(lastStep());
}

TEST_P(CorrelationSaveOn, ARefusalReturnsTheDatabasesErrorsWritesNoHistoryAndLeavesErrorsEmpty) {
    // Someone else correlated the row meanwhile: the INSERT meets the key.
    sql("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
        "CG83_CONTORICL_PC03) VALUES (10, '0101020001', 101, 1, '0101003')");
    const SaveOutcome o = save("0101001", "");
    EXPECT_EQ(o.operation, Operation::Insert);
    EXPECT_TRUE(o.refused);
    EXPECT_EQ(o.rowsWritten, 0);
    ASSERT_FALSE(o.errors.empty());
    EXPECT_FALSE(o.errors[0].description.empty());
    EXPECT_EQ(conn->Errors().Count(), 0);
    EXPECT_FALSE(lastStep());
    EXPECT_EQ(storedCoge("0101020001", 1), "0101003");

    // A closed connection is a refusal too, not an exception.
    conn->Close();
    const SaveOutcome closed = save("0101001", "0101003");
    EXPECT_TRUE(closed.refused);
    EXPECT_FALSE(closed.errors.empty());
    conn.reset();
}

TEST_F(CorrelationSave, TheHistoryNamesTheSourceAndTheKeyAsTheHeaderGivesIt) {
    const CorrelationKey credit = editor::correlationKey(CorrelationKind::COGE, "10", "", "101", "0101020001", 2);
    const SaveOutcome o = editor::saveCorrelation(*conn, CorrelationKind::COGE, credit, "0101001", "", "intermediari");
    ASSERT_FALSE(o.refused);
    const auto step = journal::session().nextUndo(journal::Scope{0, "10", "101"});
    ASSERT_TRUE(step);
    EXPECT_EQ(step->source, "intermediari");
    EXPECT_EQ(step->changes[0].sign, 2);

    // The intercompany structure keys kind CONS; the ledger chart every other kind.
    EXPECT_EQ(editor::correlationKey(CorrelationKind::CONS, "10", "1", "401", "A", 1).ledgerCode, "1");
    EXPECT_EQ(editor::correlationKey(CorrelationKind::HYPE, "10", "1", "401", "A", 1).ledgerCode, "10");
}

}  // namespace
