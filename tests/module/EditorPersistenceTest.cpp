// Saving a row's reclassified account as a user meets it: typing and leaving the row issues
// INSERT, UPDATE or DELETE on the kind's table; each validation message with its effect on
// the box, the row and the focus; a statement the database refuses; and the reclassified
// account box's navigation keys. The saves and the refused statement run on SQLite and on
// PostgreSQL.

#include "EditorRowsTest.h"

using namespace rowstest;
using testing::ElementsAre;

namespace {

const char* kInsert =
    "INSERT INTO CG83_COLLRICL  (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_CONTORICL_PC03,  "
    "CG83_INDSEGNO) VALUES (10, '0101020001', 101, '0101001', 1)";

using EditorRowsOn = OnEveryServer<EditorRows>;
ON_EVERY_SERVER(EditorRowsOn);

TEST_F(EditorRows, AnAccountTypedThroughTheMaskIsSavedPlain) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101020001", 1);
    typeAndPress(*ed, "01/01/001", kit::keys::Down);   // chart 101's mask is xx/xx/xxx
    EXPECT_THAT(writes(), ElementsAre(kInsert));
    EXPECT_EQ(storedCoge("0101020001", 1), "0101001");
    EXPECT_EQ(box(*ed).DisplayText(), "01/01/001");
}

TEST_P(EditorRowsOn, TypingInsertsThenAnotherAccountUpdatesThenEmptyingDeletes) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101020001", 1);   // both signs empty
    const long row = position(*ed);

    typeAndPress(*ed, "0101001", kit::keys::Down);
    EXPECT_THAT(writes(), ElementsAre(kInsert));
    EXPECT_EQ(position(*ed), row + 1);
    EXPECT_EQ(storedCoge("0101020001", 1), "0101001");
    // The sign-2 row got the account as a proposal; leaving it saves that too.
    EXPECT_EQ(box(*ed).Value(), "0101001");
    ed->keyDown(kit::keys::Up);
    EXPECT_THAT(writes(), ElementsAre("INSERT INTO CG83_COLLRICL  (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                                      "CG83_CONTORICL_PC03,  CG83_INDSEGNO) VALUES (10, '0101020001', 101, '0101001', 2)"));
    ASSERT_EQ(position(*ed), row);
    EXPECT_EQ(ed->storedAccount(), "0101001");

    typeAndPress(*ed, "0101003", kit::keys::Down);
    EXPECT_THAT(writes(), ElementsAre(" UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0101003' WHERE CG83_CODICE_CG10 = 10 AND "
                                      "CG83_CONTO_CG24 = '0101020001' AND CG83_INDSEGNO = 1 AND CG83_CODICERICL_PC01 = 101"));
    EXPECT_EQ(storedCoge("0101020001", 1), "0101003");
    ed->keyDown(kit::keys::Up);   // an unchanged row is not saved again
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(cell(*ed, "CONTORICL").toText(), "0101003");
    EXPECT_EQ(cell(*ed, "DESCRRICL").toText(), "Avviamento");

    typeAndPress(*ed, "", kit::keys::Down);
    EXPECT_THAT(writes(), ElementsAre("DELETE FROM CG83_COLLRICL WHERE CG83_CONTORICL_PC03 = '0101003' AND CG83_CODICE_CG10 = 10 "
                                      "AND CG83_CONTO_CG24 = '0101020001' AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 1"));
    EXPECT_EQ(storedCoge("0101020001", 1), "<none>");
    EXPECT_EQ(storedCoge("0101020001", 2), "0101001");
    EXPECT_TRUE(rowCell(*ed, row - 1, "CONTORICL").isNull());
    EXPECT_TRUE(rowCell(*ed, row - 1, "DESCRRICL").isNull());
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(EditorRows, OneKeyReadsTheTypedAccountsDescriptionOnce) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101020001", 1);
    ASSERT_TRUE(box(*ed).FocusInput());
    box(*ed).enterText("0101001");
    takeSql();
    ed->keyDown(kit::keys::Down);
    const std::string description = "SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(101, '0101001', 1, Null) ";
    // The key's own handling reads the description before the save, and the box and the ledger
    // account are decoded once: the save, and the sign-2 row the cursor arrives on (the same
    // ledger account, proposed the same target), find them read.
    EXPECT_THAT(takeSql(),
                ElementsAre(testing::HasSubstr("FROM PC03_ANAGPDC WITH(NOLOCK) WHERE PC03_CODICE_PC01 = 101 AND "
                                               "PC03_CONTO = '0101001'"),
                            "SELECT * FROM PC03_ANAGPDC WHERE PC03_CODICE_PC01 = 101 AND PC03_CONTO = '0101001'",
                            " SELECT CG36_CODICE, CG36_CONTO_CG24 FROM CG36_PRSPDC WITH(NOLOCK) WHERE CG36_GRUPPO_CG10 = 10",
                            testing::HasSubstr("CG24_CONTO = '0101020001'"), description, kInsert));
    EXPECT_EQ(rowCell(*ed, position(*ed) - 1, "DESCRRICL").toText(), "Costi pluriennali");
    EXPECT_EQ(ed->get("TXT_DESCRRICL").Text(), "Costi pluriennali");
    EXPECT_EQ(ed->get("TXT_DESCRPDC").Text(), "F.do amm.to costi di impianto");

    // The next key is another action: the same account's description is read again.
    ed->keyDown(kit::keys::Up);
    ASSERT_TRUE(box(*ed).FocusInput());
    box(*ed).enterText("0101001");
    takeSql();
    ed->keyDown(kit::keys::Down);
    auto sent = takeSql();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), description), 1);
}

TEST_P(EditorRowsOn, RefusedInsertShowsMessage108OnceAndLeavesTheRowAsStored) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101020001", 1);
    const long row = position(*ed);
    // Someone else correlates the row meanwhile: the editor's INSERT meets the key.
    sql("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
        "CG83_CONTORICL_PC03) VALUES (10, '0101020001', 101, 1, '0101003')");
    takeSql();

    typeAndPress(*ed, "0101001", kit::keys::Down);
    EXPECT_THAT(writes(), ElementsAre(kInsert));
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 108);
    EXPECT_EQ(shown[0].type, 3);
    EXPECT_EQ(shown[0].text, "Aggiornamento conto di riclassificazione non eseguito.");
    EXPECT_EQ(ed->EditorConnection()->Errors().Count(), 0);
    EXPECT_EQ(storedCoge("0101020001", 1), "0101003");
    EXPECT_EQ(position(*ed), row + 1);   // the move itself goes on
    EXPECT_TRUE(rowCell(*ed, row - 1, "CONTORICL").isNull());
    EXPECT_TRUE(rowCell(*ed, row - 1, "DESCRRICL").isNull());
    EXPECT_EQ(grid(*ed).cellText(row - 1, 6), "");
    // The user is told only the message; the database's text goes to the trace.
    EXPECT_THAT(takeSwallowed(), testing::Contains(testing::Field(&db::SwallowedError::procedure,
                                                                  "AggiornaCorrelazioniCG83_PC07_CGH0")));
}

TEST_F(EditorRows, ASaveAfterTheDatabaseFileWasDeletedShowsMessage108AndClaimsNothing) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101020001", 1);
    const long row = position(*ed);
    // The files go away while the editor is open (another program, a cleaning script).
    for (const char* f : {"BREVANTO.db", "BREVANTO.db-wal", "BREVANTO.db-shm"})
        std::filesystem::remove(dir_.path() / f);

    typeAndPress(*ed, "0101001", kit::keys::Down);
    EXPECT_THAT(writes(), ElementsAre(kInsert));
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 108);
    EXPECT_EQ(shown[0].text, "Aggiornamento conto di riclassificazione non eseguito.");
    EXPECT_EQ(position(*ed), row + 1);
    EXPECT_TRUE(rowCell(*ed, row - 1, "CONTORICL").isNull());
    EXPECT_TRUE(rowCell(*ed, row - 1, "DESCRRICL").isNull());
    EXPECT_EQ(grid(*ed).cellText(row - 1, 6), "");
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "BREVANTO.db"));
}

struct Refusal {
    const char* account;     // row's ledger account (sign 1)
    const char* typed;
    long code;
    const char* text;
    const char* boxAfter;    // the box's value after the message
};

class EditorValidation : public EditorRows, public testing::WithParamInterface<Refusal> {};

TEST_P(EditorValidation, RefusedAccountShowsItsMessageKeepsTheFocusAndDoesNotMove) {
    const Refusal r = GetParam();
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, r.account, 1);
    const long row = position(*ed);
    const std::string descrBefore = cell(*ed, "DESCRRICL").toText();

    typeAndPress(*ed, r.typed, kit::keys::Down);
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, r.code);
    EXPECT_EQ(shown[0].type, 2);
    EXPECT_EQ(shown[0].text, r.text);
    EXPECT_EQ(position(*ed), row);
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    EXPECT_EQ(box(*ed).Value(), r.boxAfter);
    EXPECT_EQ(cell(*ed, "DESCRRICL").toText(), descrBefore);
    EXPECT_TRUE(writes().empty());

    // Leaving the box is refused the same way.
    box(*ed).enterText(r.typed);
    EXPECT_FALSE(ed->setFocus(ed->get("BUT_STAMPA")));
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    EXPECT_EQ(dialogs->takeShown().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, EditorValidation,
    testing::Values(Refusal{"0101020001", "9999999", 114, "Conto inesistente.", "9999999"},
                    // a quote in the typed code stays inside its literal: just an unknown account
                    Refusal{"0101020001", "01'01", 114, "Conto inesistente.", "01'01"},
                    Refusal{"0101020001", "0101", 110, "Correlare un conto analitico.", "0101"},
                    Refusal{"0101020001", "0701001", 111, "Conto non patrimoniale.", ""},
                    Refusal{"6001010002", "0101001", 109, "Conto non economico.", ""},
                    Refusal{"9001010001", "0101001", 112, "Conto non d'ordine.", ""}),
    [](const testing::TestParamInfo<Refusal>& info) {
        return "Message" + std::to_string(info.param.code) + "_" + std::to_string(info.index);
    });

TEST_P(EditorRowsOn, MasterMayTakeANonAnalyticAccountUnlessTheOtherMasterHasIt) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    // The suppliers' master takes the level-1 account 05.
    goTo(*ed, "2601000000", 1);
    typeAndPress(*ed, "05", kit::keys::Down);
    EXPECT_TRUE(dialogs->takeShown().empty());
    EXPECT_EQ(storedCoge("2601000000", 1), "05");

    // The customers' master may not take it too.
    goTo(*ed, "1401000000", 2);
    const long row = position(*ed);
    typeAndPress(*ed, "05", kit::keys::Down);
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 115);
    EXPECT_EQ(shown[0].type, 2);
    EXPECT_EQ(shown[0].text, "Il conto 05 non è valido in quanto è stato correlato al mastro fornitori.");
    EXPECT_EQ(position(*ed), row);
    EXPECT_TRUE(cell(*ed, "CONTORICL").isNull());
    EXPECT_TRUE(cell(*ed, "DESCRRICL").isNull());
    EXPECT_EQ(box(*ed).Value(), "");
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    EXPECT_EQ(storedCoge("1401000000", 2), "0202001");

    // The other way round names the customers.
    goTo(*ed, "1401000000", 1);
    typeAndPress(*ed, "02", kit::keys::Down);
    EXPECT_TRUE(dialogs->takeShown().empty());
    goTo(*ed, "2601000000", 2);
    typeAndPress(*ed, "02", kit::keys::Down);
    shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Il conto 02 non è valido in quanto è stato correlato al mastro clienti.");
}

TEST_P(EditorRowsOn, CoinTypeMismatchAsksWithTheSecondButtonAndAnswerZeroRestoresTheEntryValue) {
    auto ed = openFilled(CorrelationKind::COIN, "201", "102");
    ASSERT_TRUE(ed);
    goTo(*ed, "1001002", 1);   // holds 20003 (a cost, like the analytic account)
    const long row = position(*ed);

    dialogs->pushAnswer(0);
    typeAndPress(*ed, "50001", kit::keys::Down);   // a balance-sheet account
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 113);
    EXPECT_EQ(shown[0].type, 4);
    EXPECT_EQ(shown[0].defaultButton, 256);
    EXPECT_EQ(shown[0].text, "Il conto riclassificato non è dello stesso tipo del conto da riclassificare.");
    EXPECT_EQ(box(*ed).Value(), "20003");
    EXPECT_EQ(cell(*ed, "DESCRRICL").toText(), "Energia e utenze di produzione");
    EXPECT_EQ(position(*ed), row);
    EXPECT_TRUE(writes().empty());

    // Any other answer keeps the account: the analytic table gets it.
    dialogs->pushAnswer(1);
    typeAndPress(*ed, "50001", kit::keys::Down);
    EXPECT_EQ(dialogs->takeShown().size(), 1u);
    EXPECT_THAT(writes(), ElementsAre(" UPDATE PC07_COLLRICL SET PC07_CONTORICL_PC03 = '50001' WHERE PC07_CODICE_PC01 = 201 AND "
                                      "PC07_CONTO_PC03 = '1001002' AND PC07_INDSEGNO = 1 AND PC07_CODICERICL_PC01 = 102"));
    EXPECT_EQ(stored("PC07_COLLRICL", "PC07_CONTO_PC03 = '1001002' AND PC07_INDSEGNO = 1"), "50001");

    // A level that is not analytic is refused in COIN.
    goTo(*ed, "1001003", 1);
    typeAndPress(*ed, "50", kit::keys::Down);
    shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 110);
}

TEST_F(EditorRows, AccountBoxKeysMoveByOneAndByTenWithinTheRows) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    auto rs = ed->GridRecordset();
    const long count = rs->RecordCount();
    ASSERT_EQ(count, 102);

    ASSERT_TRUE(grid(*ed).clickRow(4));
    ASSERT_TRUE(box(*ed).FocusInput());
    ed->keyDown(kit::keys::PageUp);
    EXPECT_EQ(position(*ed), 1);
    ed->keyDown(kit::keys::Up);
    EXPECT_EQ(position(*ed), 1);
    ed->keyDown(kit::keys::PageDown);
    EXPECT_EQ(position(*ed), 11);
    ed->keyDown(kit::keys::Down);
    EXPECT_EQ(position(*ed), 12);
    ed->keyDown(kit::keys::PageUp);
    EXPECT_EQ(position(*ed), 2);

    ASSERT_TRUE(grid(*ed).clickRow(count - 6));   // row 97 of 102
    ASSERT_TRUE(box(*ed).FocusInput());
    ed->keyDown(kit::keys::PageDown);
    EXPECT_EQ(position(*ed), count);
    ed->keyDown(kit::keys::Down);
    EXPECT_EQ(position(*ed), count);
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    EXPECT_TRUE(dialogs->shown().empty());

    // Enter with an emptied box blanks the row's description and stays on the row.
    ASSERT_TRUE(grid(*ed).clickRow(0));
    ASSERT_TRUE(box(*ed).FocusInput());
    takeSql();
    box(*ed).enterText("");
    ed->keyDown(kit::keys::Enter);
    EXPECT_EQ(position(*ed), 1);
    EXPECT_EQ(cell(*ed, "DESCRRICL"), db::Variant(""));
    EXPECT_TRUE(writes().empty());
}

}  // namespace
