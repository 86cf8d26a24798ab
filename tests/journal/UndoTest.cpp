// The session's history of correlation writes: a bulk write is one step that undo reverts and
// redo reapplies in the database, every step lands in BRV_STORICO, a row another session
// changed stops the undo before anything is written, and a database where the history table
// cannot be made still undoes, saying the history is not kept.

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include "journal/HistoryTable.h"
#include "journal/Journal.h"
#include "journal/StoredTargets.h"
#include "mapping/Plan.h"
#include "mapping/Undo.h"
#include "mapping/MappingFixture.h"

using namespace mapping;
using testing::HasSubstr;

namespace {

class UndoTest : public mappingtest::MappingTest {
protected:
    void SetUp() override {
        MappingTest::SetUp();
        journal::session().clear();
    }
    void TearDown() override { journal::session().clear(); }

    static Desired want(const std::string& account, int sign, const std::string& target) {
        return Desired{0, Key{account, sign}, target, false, {}};
    }
    static Desired removal(const std::string& account, int sign) { return Desired{0, Key{account, sign}, "", true, {}}; }

    // An import of three rows: one added, one changed, one removed.
    long importThree() {
        Plan plan = makePlan(load(coge()), {want("0101010002", 2, "0101002"), want("0101010002", 1, "0101003"),
                                            removal("0101010001", 1)});
        plan.source = "importazione";
        return applyPlan(*conn, plan);
    }
    std::string sources() const {
        std::string out;
        for (int n = 1;; ++n) {
            std::string s = scalar("SELECT BRV_ORIGINE FROM BRV_STORICO WHERE BRV_PASSO = " + std::to_string(n) +
                                   " AND BRV_RIGA = 1");
            if (s.empty() || s.rfind("<error", 0) == 0) return out;
            out += (out.empty() ? "" : ",") + s;
        }
    }
};

}  // namespace

TEST_F(UndoTest, AnImportIsOneStepThatUndoRevertsAndRedoReapplies) {
    const std::string d2 = stored("0101010002", 2), d1 = stored("0101010002", 1), kept = stored("0101010001", 1);
    ASSERT_EQ(kept, "0101001");
    ASSERT_EQ(importThree(), 3);
    EXPECT_EQ(undoText(coge()), "Annulla: importazione, 3 correlazioni");
    EXPECT_EQ(redoText(coge()), "");
    EXPECT_EQ(undoText(coge("10", "109")), "");   // another list has nothing to undo

    auto undone = undoLast(*conn, coge());
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->changes.size(), 3u);
    EXPECT_EQ(stored("0101010002", 2), d2);
    EXPECT_EQ(stored("0101010002", 1), d1);
    EXPECT_EQ(stored("0101010001", 1), "0101001");
    EXPECT_EQ(undoText(coge()), "");
    EXPECT_EQ(redoText(coge()), "Ripeti: importazione, 3 correlazioni");

    ASSERT_TRUE(redoLast(*conn, coge()));
    EXPECT_EQ(stored("0101010002", 2), "0101002");
    EXPECT_EQ(stored("0101010002", 1), "0101003");
    EXPECT_EQ(stored("0101010001", 1), "");
    EXPECT_EQ(undoText(coge()), "Annulla: importazione, 3 correlazioni");

    // Every write, the undo and the redo too, is a step of the table, with who and when.
    EXPECT_EQ(sources(), "importazione,annullamento,ripristino");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM BRV_STORICO"), "9");
    EXPECT_EQ(scalar("SELECT BRV_RIFERIMENTO FROM BRV_STORICO WHERE BRV_PASSO = 3 AND BRV_RIGA = 1"), "1");
    EXPECT_EQ(scalar("SELECT BRV_UTENTE FROM BRV_STORICO WHERE BRV_PASSO = 1 AND BRV_RIGA = 1"), journal::currentUser());
    const auto history = journal::readHistory(*conn);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].scope, (journal::Scope{0, "10", "101"}));
    EXPECT_EQ(history[1].changes[0].before, history[0].changes[0].after);
    EXPECT_THAT(journal::session().historyProblem(), testing::IsEmpty());

    // A new write ends the redos; undo all goes back to the start.
    Plan more = makePlan(load(coge()), {want("0101010001", 2, "0101002")});
    ASSERT_EQ(applyPlan(*conn, more), 1);
    EXPECT_EQ(redoText(coge()), "");
    EXPECT_EQ(undoAll(*conn, coge()), 2);
    EXPECT_EQ(stored("0101010002", 2), d2);
    EXPECT_EQ(stored("0101010001", 1), "0101001");
    EXPECT_EQ(stored("0101010001", 2), "0101001");
}

TEST_F(UndoTest, ARowAnotherSessionChangedStopsTheUndoBeforeAnythingIsWritten) {
    ASSERT_EQ(importThree(), 3);
    rawExec("UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0101004' WHERE CG83_CODICE_CG10 = 10 AND "
            "CG83_CODICERICL_PC01 = 101 AND CG83_CONTO_CG24 = '0101010002' AND CG83_INDSEGNO = 1");
    try {
        undoLast(*conn, coge());
        FAIL() << "undo went through";
    } catch (const UndoRefused& e) {
        EXPECT_THAT(e.what(), HasSubstr("il conto 0101010002 in Dare è stato cambiato da un'altra sessione"));
        EXPECT_THAT(e.what(), HasSubstr("ora è correlato a 0101004"));
        EXPECT_THAT(e.what(), HasSubstr("Nulla è stato scritto."));
    }
    EXPECT_EQ(stored("0101010002", 2), "0101002");   // the other rows of the step kept their value
    EXPECT_EQ(stored("0101010001", 1), "");
    EXPECT_EQ(undoText(coge()), "Annulla: importazione, 3 correlazioni");   // still there to retry
    EXPECT_EQ(sources(), "importazione");
}

TEST_F(UndoTest, WithoutAHistoryTableUndoStillWorksAndTheProblemIsReported) {
    // An object of that name the table cannot be created over, as on a host database where
    // the user may not create tables.
    rawExec("CREATE INDEX BRV_STORICO ON CG83_COLLRICL (CG83_CONTO_CG24)");
    ASSERT_EQ(importThree(), 3);
    EXPECT_THAT(journal::session().historyProblem(), HasSubstr("Lo storico delle modifiche non viene conservato"));
    EXPECT_FALSE(journal::historyTableExists(*conn));
    ASSERT_TRUE(undoLast(*conn, coge()));
    EXPECT_EQ(stored("0101010001", 1), "0101001");
    ASSERT_TRUE(redoLast(*conn, coge()));
    EXPECT_EQ(stored("0101010001", 1), "");
}

TEST_F(UndoTest, QuotesAndTheCeeRunsDifferenceSurviveTheHistory) {
    journal::Step step;
    step.source = "editor";
    step.scope = journal::Scope{0, "10", "101"};
    step.changes = journal::differences({{{"O'Brien", 1}, "A'1"}, {{"0101010001", 2}, "0101001"}},
                                        {{{"O'Brien", 1}, "B'') --"}, {{"0101010002", 1}, "0101003"}});
    ASSERT_EQ(step.changes.size(), 3u);
    EXPECT_GT(journal::session().record(*conn, step), 0);
    const auto history = journal::readHistory(*conn);
    ASSERT_EQ(history.size(), 1u);
    ASSERT_EQ(history[0].changes.size(), 3u);
    EXPECT_EQ(history[0].changes[0].account, "0101010001");
    EXPECT_EQ(history[0].changes[0].after, "");
    EXPECT_EQ(history[0].changes[1].before, "");
    EXPECT_EQ(history[0].changes[2].account, "O'Brien");
    EXPECT_EQ(history[0].changes[2].before, "A'1");
    EXPECT_EQ(history[0].changes[2].after, "B'') --");
    // The filters of `history`: by kind and from a day on.
    EXPECT_EQ(journal::readHistory(*conn, {1, ""}).size(), 0u);
    EXPECT_EQ(journal::readHistory(*conn, {0, "2000-01-01"}).size(), 1u);
    EXPECT_EQ(journal::readHistory(*conn, {std::nullopt, "2999-01-01"}).size(), 0u);
}

TEST_F(UndoTest, HistoryListsWhatWasDoneAsTextAndJson) {
    auto history = [&](const std::string& args) {
        return testsupport::runCommand(std::string(BREVANTO_CLI) + " history --dir '" + dir.str() + "' " + args);
    };
    auto none = history("");
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_THAT(none.err, HasSubstr("la tabella BRV_STORICO non esiste ancora"));

    ASSERT_EQ(importThree(), 3);
    ASSERT_TRUE(undoLast(*conn, coge()));
    auto json = history("--json");
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto steps = nlohmann::json::parse(json.out);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0]["source"], "importazione");
    EXPECT_EQ(steps[0]["kind"], "COGE");
    EXPECT_EQ(steps[0]["changes"].size(), 3u);
    EXPECT_EQ(steps[1]["source"], "annullamento");
    EXPECT_EQ(steps[1]["refersTo"], steps[0]["step"]);
    EXPECT_EQ(steps[1]["changes"][0]["before"], steps[0]["changes"][0]["after"]);

    auto text = history("--kind coge --since 2000-01-01");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_THAT(text.out, HasSubstr("annullamento del passo 1"));
    EXPECT_THAT(text.out, HasSubstr("2 passi, 6 correlazioni"));
    EXPECT_THAT(history("--kind HYPE").out, HasSubstr("Nessuna modifica nello storico."));

    auto bad = history("--since 31/12/2024");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_THAT(bad.err, HasSubstr("data non valida '31/12/2024': indicarla come AAAA-MM-GG"));
}

TEST_F(UndoTest, AnIntermediarysRowIsUndoneAndRedoneThroughItsOwnStatements) {
    const std::string row = "FROM CG93_CORRINTERMEDIRICL WHERE CG93_DITTA_CG18 = 1 AND CG93_TIPOCF_CG40 = 0 AND "
                            "CG93_INTERMEDIO_CG40 = 7 AND CG93_CODICE_PC01 = 101 AND CG93_INDSEGNO = 2";
    rawExec("INSERT INTO CG93_CORRINTERMEDIRICL (CG93_DITTA_CG18, CG93_TIPOCF_CG40, CG93_INTERMEDIO_CG40, "
            "CG93_CODICE_PC01, CG93_CONTO_PC03, CG93_INDSEGNO) VALUES (1, 0, 7, 101, '0101001', 2)");
    journal::Step saved;
    saved.source = "intermediari";
    saved.scope = journal::Scope{0, "10", "101"};
    saved.changes.push_back({journal::Rows::Intermediary, journal::intermediaryKeyText("1", 0, 7), 2, "", "0101001"});
    journal::session().record(*conn, saved);
    EXPECT_EQ(undoText(coge()), "Annulla: intermediari, intermediario 1/0/7 in Avere");

    ASSERT_TRUE(undoLast(*conn, coge()));
    EXPECT_EQ(scalar("SELECT COUNT(*) " + row), "0");
    ASSERT_TRUE(redoLast(*conn, coge()));
    EXPECT_EQ(scalar("SELECT CG93_CONTO_PC03 " + row), "0101001");

    // Changed elsewhere: refused, the row keeps what the other session wrote.
    rawExec("UPDATE CG93_CORRINTERMEDIRICL SET CG93_CONTO_PC03 = '0101002' WHERE CG93_INTERMEDIO_CG40 = 7");
    try {
        undoLast(*conn, coge());
        FAIL() << "undo went through";
    } catch (const UndoRefused& e) {
        EXPECT_THAT(e.what(), HasSubstr("l'intermediario 1/0/7 in Avere è stato cambiato da un'altra sessione"));
    }
    EXPECT_EQ(scalar("SELECT CG93_CONTO_PC03 " + row), "0101002");
}
