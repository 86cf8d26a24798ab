// The intermediaries editor's edge cases: a supplier master without intermediaries, only
// intermediary 0 correlated, a master missing from the chart (message 118), a row that is
// not a master, a duplicate key refused by the database on an intermediary's row and on the
// master's own row (message 108), the validation
// messages, and the page keys at both ends of the rows.

#include "IntermediTestHost.h"
#include "journal/Journal.h"

using namespace intermeditest;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

class IntermediEdge : public IntermediHost {};

TEST_F(IntermediEdge, SupplierMasterWithoutIntermediariesStillOpensOnItsTwoRows) {
    sql("DELETE FROM CG40_ANADITTAINTER WHERE CG40_DITTA_CG18 = 1 AND CG40_TIPOCF = 1");
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "2601000000", 2);
    EXPECT_EQ(ed->get("BUT_CORRINTERMEDI").Caption(), "Correlazione intermedi mastro fornitori");
    EXPECT_FALSE(ed->get("BUT_CORRINTERMEDI").TabStop());
    EXPECT_FALSE(ed->get("GRB_CHECK").Visible());

    // The button stays clickable: the window shows the master's own rows and works.
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        ASSERT_EQ(wgrid(w).rowCount(), 2);
        EXPECT_EQ(wcell(w, 0, "DESCRPDC").toText(), "FORNITORI");   // no intermediary 0: the account's own
        EXPECT_EQ(w.focused()->name(), "TXT_CONTOCOIN");             // the first row has no account
        takeSql();
        wtype(w, "0501002", kit::keys::Down);
        EXPECT_THAT(writes(), ElementsAre("INSERT INTO CG83_COLLRICL  (CG83_CODICE_CG10, CG83_CONTO_CG24, "
                                          "CG83_CODICERICL_PC01, CG83_CONTORICL_PC03,  CG83_INDSEGNO) VALUES (10, "
                                          "'2601000000', 101, '0501002', 1)"));
    }));
    for (const auto& b : dialogs->takeShown()) ADD_FAILURE() << b.code << " " << b.text;
    EXPECT_EQ(storedCoge("2601000000", 1), "0501002");
    EXPECT_EQ(storedCoge("2601000000", 2), "0501001");
    EXPECT_EQ(cell(*ed, "SEGNO").toInt32(), 2);
    EXPECT_EQ(rowCell(*ed, rowOf(*ed, "2601000000", 1), "CONTORICL").toText(), "0501002");
}

TEST_F(IntermediEdge, MasterRowIsSavedForBothGridsAndARefusalShowsMessage108Once) {
    sql("DELETE FROM CG40_ANADITTAINTER WHERE CG40_DITTA_CG18 = 1 AND CG40_TIPOCF = 1");
    journal::session().clear();
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "2601000000", 2);
    const long callerSign1 = rowOf(*ed, "2601000000", 1), callerSign2 = rowOf(*ed, "2601000000", 2);
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        ASSERT_EQ(wgrid(w).rowCount(), 2);
        // Another user correlates sign 1 behind the window's back: the INSERT meets the key.
        sql("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
            "CG83_CONTORICL_PC03) VALUES (10, '2601000000', 101, 1, '0501003')");
        takeSql();
        takeSwallowed();
        wtype(w, "0501002", kit::keys::Down);
        EXPECT_THAT(writes(), ElementsAre(HasSubstr("INSERT INTO CG83_COLLRICL")));
        auto shown = dialogs->takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].code, 108);
        EXPECT_EQ(shown[0].type, 3);
        EXPECT_EQ(shown[0].text, "Aggiornamento conto di riclassificazione non eseguito.");
        EXPECT_TRUE(wcell(w, 0, "CONTORICL").isBlank());
        EXPECT_TRUE(rowCell(*ed, callerSign1, "CONTORICL").isBlank());
        EXPECT_EQ(storedCoge("2601000000", 1), "0501003");
        EXPECT_FALSE(journal::session().nextUndo(journal::Scope{0, "10", "101"}));
        EXPECT_THAT(takeSwallowed(), testing::Contains(testing::Field(&db::SwallowedError::procedure,
                                                                      "AggiornaCG83CollPdcRicl")));

        // Sign 2 is stored: both this row and the calling editor's show it, and the history
        // names the intermediaries editor.
        ASSERT_EQ(wposition(w), 2);
        wtype(w, "0501004", kit::keys::Up);
        EXPECT_THAT(writes(), ElementsAre(HasSubstr(" UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0501004'")));
        EXPECT_TRUE(dialogs->takeShown().empty());
        EXPECT_EQ(storedCoge("2601000000", 2), "0501004");
        EXPECT_EQ(wcell(w, 1, "CONTORICL").toText(), "0501004");
        EXPECT_EQ(rowCell(*ed, callerSign2, "CONTORICL").toText(), "0501004");
        EXPECT_EQ(rowCell(*ed, callerSign2, "DESCRRICL").toText(), "Altri debiti");
        const auto step = journal::session().nextUndo(journal::Scope{0, "10", "101"});
        ASSERT_TRUE(step);
        EXPECT_EQ(step->source, "intermediari");
        ASSERT_EQ(step->changes.size(), 1u);
        EXPECT_EQ(step->changes[0].before, "0501001");
        EXPECT_EQ(step->changes[0].after, "0501004");
    }));
    journal::session().clear();
}

TEST_F(IntermediEdge, OnlyIntermediaryZeroCorrelatedGivesTheTabStopWithoutCheckMark) {
    sql("DELETE FROM CG93_CORRINTERMEDIRICL WHERE CG93_TIPOCF_CG40 = 1");
    sql("INSERT INTO CG93_CORRINTERMEDIRICL (CG93_DITTA_CG18, CG93_TIPOCF_CG40, CG93_INTERMEDIO_CG40, "
        "CG93_CODICE_PC01, CG93_INDSEGNO, CG93_CONTO_PC03) VALUES (1, 1, 0, 101, 1, '0501001')");
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "2601000000", 2);
    EXPECT_TRUE(ed->get("BUT_CORRINTERMEDI").TabStop());
    EXPECT_FALSE(ed->get("GRB_CHECK").Visible());
}

TEST_F(IntermediEdge, MasterMissingFromTheChartShowsMessage118AndCloses) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    sql("DELETE FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 10 AND CG24_CONTO = '1401000000'");
    bool ran = false;
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI&) { ran = true; }));
    EXPECT_FALSE(ran);   // it closed itself while opening
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 118);
    EXPECT_EQ(shown[0].type, 3);
    EXPECT_EQ(shown[0].text, "Non esistono intermedi per il conto 14/01/00/0000!");
    EXPECT_EQ(windows.closed().back(), FRMCG_CORRINTERMEDI::kFormName);
    // The calling editor is back and usable (its rows no longer list the master).
    EXPECT_EQ(rowOf(*ed, "1401000000", 1), -1);
    EXPECT_GT(grid(*ed).rowCount(), 0);
}

TEST_F(IntermediEdge, RowThatIsNotAMasterClosesWithoutAMessage) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101010001", 2);
    const long before = position(*ed);
    bool ran = false;
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI&) { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(dialogs->takeShown().empty());
    EXPECT_EQ(position(*ed), before);
    // No working table was built.
    for (const auto& s : takeSql()) EXPECT_EQ(s.find("#CORRINTERMEDI"), std::string::npos) << s;
}

TEST_F(IntermediEdge, DuplicateKeyShowsMessage108OnceAndTheRowKeepsItsAccount) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        // Another user correlates intermediary 2 behind the window's back.
        sql("INSERT INTO CG93_CORRINTERMEDIRICL (CG93_DITTA_CG18, CG93_TIPOCF_CG40, CG93_INTERMEDIO_CG40, "
            "CG93_CODICE_PC01, CG93_INDSEGNO, CG93_CONTO_PC03) VALUES (1, 0, 2, 101, 1, '0203002')");
        const long s1 = wrow(w, "1402000000", 1);
        ASSERT_TRUE(wclick(w, s1));
        wtype(w, "0202001", kit::keys::Down);
        auto shown = dialogs->takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].code, 108);
        EXPECT_EQ(shown[0].type, 3);
        EXPECT_EQ(shown[0].text, "Aggiornamento conto di riclassificazione non eseguito.");
        EXPECT_TRUE(wcell(w, s1, "CONTORICL").isBlank());
        EXPECT_EQ(wcell(w, s1, "DESCRRICL").toText(), "");
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "0203002");
        EXPECT_EQ(wposition(w), s1 + 2);   // the move itself went on
        EXPECT_EQ(wbox(w).Value(), "");     // nothing stored to propose
    }));
    EXPECT_TRUE(dialogs->takeShown().empty());
}

TEST_F(IntermediEdge, ValidationRefusesUnknownNonAnalyticAndWrongTypeAccounts) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        const long s1 = wrow(w, "1402000000", 1);
        ASSERT_TRUE(wclick(w, s1));
        takeSql();
        wtype(w, "9999999", kit::keys::Down);
        auto shown = dialogs->takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].code, 114);
        EXPECT_EQ(shown[0].type, 2);
        EXPECT_EQ(wposition(w), s1 + 1);
        EXPECT_EQ(w.focused()->name(), "TXT_CONTOCOIN");

        // Not analytic on an intermediary row; leaving by a click is refused as well.
        wtype(w, "02", kit::keys::Down);
        shown = dialogs->takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].code, 110);
        EXPECT_FALSE(w.setFocus(wgrid(w)));
        EXPECT_EQ(dialogs->takeShown().size(), 1u);
        EXPECT_EQ(wposition(w), s1 + 1);
        EXPECT_TRUE(writes().empty());

        // A profit-and-loss account for the balance-sheet master: 111, back to the entry value.
        wtype(w, "", kit::keys::Enter);
        const long m1 = wrow(w, "1401000000", 1, "Clienti diversi");
        ASSERT_TRUE(wclick(w, m1));
        ASSERT_EQ(wbox(w).Value(), "0202001");
        takeSql();
        wtype(w, "0601001", kit::keys::Down);
        shown = dialogs->takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].code, 111);
        EXPECT_EQ(shown[0].text, "Conto non patrimoniale.");
        EXPECT_EQ(wbox(w).Value(), "0202001");
        EXPECT_EQ(wposition(w), m1 + 1);
        EXPECT_TRUE(writes().empty());
    }));
    EXPECT_EQ(storedCoge("1401000000", 1), "0202001");
}

TEST_F(IntermediEdge, PageKeysStopAtTheEndsAndMoveTenRowsOtherwise) {
    for (int n = 10; n <= 25; ++n)
        sql("INSERT INTO CG40_ANADITTAINTER (CG40_DITTA_CG18, CG40_TIPOCF, CG40_INTERMEDIO, CG40_DESCR) VALUES (1, 0, " +
            std::to_string(n) + ", 'Clienti zona " + std::to_string(n) + "')");
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        ASSERT_EQ(wgrid(w).rowCount(), 40);
        auto pressAt = [&](long position, int key) {
            EXPECT_TRUE(wclick(w, position - 1));
            EXPECT_TRUE(wbox(w).FocusInput());
            w.keyDown(key);
            return wposition(w);
        };
        EXPECT_EQ(pressAt(1, kit::keys::Up), 1);
        EXPECT_EQ(pressAt(1, kit::keys::PageDown), 11);
        EXPECT_EQ(pressAt(11, kit::keys::PageUp), 1);
        EXPECT_EQ(pressAt(12, kit::keys::PageUp), 2);
        EXPECT_EQ(pressAt(29, kit::keys::PageDown), 39);
        EXPECT_EQ(pressAt(30, kit::keys::PageDown), 40);
        EXPECT_EQ(pressAt(40, kit::keys::Down), 40);
        EXPECT_EQ(pressAt(40, kit::keys::PageDown), 40);
        EXPECT_EQ(pressAt(39, kit::keys::Down), 40);
        EXPECT_EQ(w.focused()->name(), "TXT_CONTOCOIN");
    }));
    EXPECT_TRUE(dialogs->takeShown().empty());
}

}  // namespace
