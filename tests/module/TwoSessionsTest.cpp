// Two users correlating the same chart on one PostgreSQL database at the same moment: two
// programs (hosts), each with its own editor and connection. The first user's save runs inside
// a transaction the test keeps open; the second user's save runs meanwhile on a thread of its
// own, and the test sees on the server whether it had to wait for the first. Different rows
// are both stored without waiting; the same row goes to the first user, and the second one
// gets message 108 and sees the row again as it knew it.

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <thread>

#include "EditorRowsTest.h"
#include "db/Trace.h"
#include "journal/HistoryTable.h"

namespace {

using rowstest::CorrelationKind;
using rowstest::FRMCG_CORRRICL;
using rowstest::Server;

class TwoSessions : public rowstest::EditorRows {
protected:
    TwoSessions() { server_ = Server::PostgreSQL; }

    void SetUp() override {
        EditorRows::SetUp();
        if (IsSkipped()) return;
        secondHost = newHost(secondDialogs, secondEvents);
        secondNavigator = secondHost.newNavigator();
    }

    // Both users' editors on chart 10 with reclassification chart 101.
    std::shared_ptr<FRMCG_CORRRICL> openFirst() { return openFilled(CorrelationKind::COGE, "10", "101"); }
    std::shared_ptr<FRMCG_CORRRICL> openSecond() {
        auto ed = open(entryFor(CorrelationKind::COGE, secondHost, secondNavigator));
        if (ed) fillHeader(*ed, "10", "101");
        takeSql();
        return ed;
    }

    long correlationsOfTheChart() {
        auto c = db::Connection::create();
        c->Open(connectionString());
        auto rs = c->Execute("SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 101");
        const long n = rs->fields().Item(0L).Value().toInt32();
        c->Close();
        return n;
    }

    // Runs `second` (the second user's keys) on a thread while the first user's transaction on
    // `first` is open, watching the server: returns whether the second user's statement waited
    // for a lock. The transaction is committed then, and `second` runs to its end.
    bool secondWaitedForFirst(db::Connection& first, const std::function<void()>& second) {
        db::Untraced quiet;   // the test's own statements; the second user's are traced
        auto watcher = db::Connection::create();
        watcher->Open(connectionString());
        const auto lockWaiters = [&] {
            auto r = watcher->ExecuteNative(
                "SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' AND datname = current_database()");
            return r.resultSets.at(0).rows[0][0].toInt32();
        };

        std::atomic<bool> done{false};
        std::exception_ptr failure;
        std::thread other([&] {
            try {
                second();
            } catch (...) {
                failure = std::current_exception();
            }
            done = true;
        });
        bool waited = false;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done && !waited && std::chrono::steady_clock::now() < limit)
            waited = lockWaiters() > 0;
        first.CommitTrans();
        other.join();
        watcher->Close();
        if (failure) std::rethrow_exception(failure);
        return waited;
    }

    std::shared_ptr<standalone::HostEventLog> secondEvents = std::make_shared<standalone::HostEventLog>();
    std::shared_ptr<standalone::ScriptedDialogs> secondDialogs = std::make_shared<standalone::ScriptedDialogs>(secondEvents);
    standalone::StandaloneHost secondHost;
    std::shared_ptr<standalone::RecordingNavigator> secondNavigator;
};

TEST_F(TwoSessions, DifferentRowsSavedAtTheSameMomentAreBothStored) {
    auto first = openFirst();
    auto second = openSecond();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    ASSERT_NE(first->EditorConnection(), second->EditorConnection());
    const long before = correlationsOfTheChart();
    goTo(*first, "0101020001", 1);
    goTo(*second, "0102010002", 1);

    first->EditorConnection()->BeginTrans();
    typeAndPress(*first, "0101001", kit::keys::Down);
    ASSERT_EQ(storedCoge("0101020001", 1), "<none>");   // not committed yet
    const bool waited = secondWaitedForFirst(*first->EditorConnection(), [&] {
        box(*second).FocusInput();
        box(*second).enterText("0102002");
        second->keyDown(kit::keys::Down);
    });

    EXPECT_FALSE(waited);
    EXPECT_EQ(storedCoge("0101020001", 1), "0101001");
    EXPECT_EQ(storedCoge("0102010002", 1), "0102002");
    EXPECT_EQ(correlationsOfTheChart(), before + 2);
    EXPECT_TRUE(dialogs->shown().empty());
    EXPECT_TRUE(secondDialogs->shown().empty());
    EXPECT_EQ(rowCell(*second, rowOf(*second, "0102010002", 1), "CONTORICL").toText(), "0102002");
    EXPECT_EQ(rowCell(*second, rowOf(*second, "0102010002", 1), "DESCRRICL").toText(), "Impianti e macchinari");
}

TEST_F(TwoSessions, TheSameRowGoesToTheFirstAndTheSecondGetsMessage108) {
    auto first = openFirst();
    auto second = openSecond();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    const long before = correlationsOfTheChart();
    // Both see the row empty.
    goTo(*first, "0101020001", 1);
    goTo(*second, "0101020001", 1);
    const long row = rowOf(*second, "0101020001", 1);
    ASSERT_TRUE(rowCell(*second, row, "CONTORICL").isNull());

    first->EditorConnection()->BeginTrans();
    typeAndPress(*first, "0101001", kit::keys::Down);
    takeSql();
    const bool waited = secondWaitedForFirst(*first->EditorConnection(), [&] {
        box(*second).FocusInput();
        box(*second).enterText("0101003");
        second->keyDown(kit::keys::Down);
    });

    // The second INSERT waited for the first user's transaction, then met its key.
    EXPECT_TRUE(waited);
    EXPECT_THAT(writes(), testing::ElementsAre(
                              "INSERT INTO CG83_COLLRICL  (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                              "CG83_CONTORICL_PC03,  CG83_INDSEGNO) VALUES (10, '0101020001', 101, '0101003', 1)"));
    EXPECT_TRUE(dialogs->shown().empty());
    auto shown = secondDialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 108);
    EXPECT_EQ(shown[0].type, 3);
    EXPECT_EQ(shown[0].text, "Aggiornamento conto di riclassificazione non eseguito.");
    EXPECT_EQ(second->EditorConnection()->Errors().Count(), 0);

    // The first user's account is stored, nothing else changed; the second user's row shows
    // again what it knew (empty), and the cursor went on as the key asked.
    EXPECT_EQ(storedCoge("0101020001", 1), "0101001");
    EXPECT_EQ(correlationsOfTheChart(), before + 1);
    EXPECT_TRUE(rowCell(*second, row, "CONTORICL").isNull());
    EXPECT_TRUE(rowCell(*second, row, "DESCRRICL").isNull());
    EXPECT_EQ(grid(*second).cellText(row, 6), "");
    EXPECT_EQ(position(*second), row + 2);
    EXPECT_EQ(rowCell(*first, row, "CONTORICL").toText(), "0101001");

    // Both go on working: the second user's next save is stored.
    typeAndPress(*second, "0101002", kit::keys::Up);
    EXPECT_TRUE(secondDialogs->takeShown().empty());
    EXPECT_EQ(storedCoge("0101020001", 2), "0101002");
}

// Two sessions writing their history at once: both read the same last step number, the key
// refuses the second one's first line, and it takes the next number. No history row is lost.
TEST_F(TwoSessions, HistoryStepsWrittenAtTheSameMomentAreBothKept) {
    auto open = [&] {
        auto c = db::Connection::create();
        c->Open(connectionString());
        return c;
    };
    auto first = open();
    auto second = open();
    ASSERT_EQ(journal::ensureHistoryTable(*first), "");
    const auto stepFor = [](const std::string& account) {
        journal::Step step;
        step.source = "editor";
        step.user = "test";
        step.time = "2026-12-08 10:00:00";
        step.scope = {0, "10", "101"};
        step.changes = {{journal::Rows::Correlation, account, 1, "", "0101001"},
                        {journal::Rows::Correlation, account, 2, "", "0101001"}};
        return step;
    };
    first->BeginTrans();
    const long firstNumber = journal::writeHistory(*first, stepFor("0101020001"), 0);
    long secondNumber = 0;
    const bool waited = secondWaitedForFirst(*first, [&] {
        secondNumber = journal::writeHistory(*second, stepFor("0102010002"), 0);
    });
    EXPECT_TRUE(waited);
    EXPECT_EQ(secondNumber, firstNumber + 1);
    const auto steps = journal::readHistory(*first);
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(steps[steps.size() - 2].changes.size(), 2u);
    EXPECT_EQ(steps[steps.size() - 2].changes[0].account, "0101020001");
    EXPECT_EQ(steps.back().changes.size(), 2u);
    EXPECT_EQ(steps.back().changes[0].account, "0102010002");
    first->Close();
    second->Close();
}

}  // namespace
