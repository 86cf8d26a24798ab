// The correlation editor's rows as a user sees them: the grid filled for the charts in the
// header (sign pairing, master markers, the masked account column, COIN's client-side
// build), a second fill after an empty chart, the proposals of the other sign, delete and
// undo in the record frame, the account search, the new-correlation button and the
// intermediaries button on the master rows.

#include "EditorRowsTest.h"
#include "EditorTestAccess.h"

using editor::EditorTestAccess;
using namespace rowstest;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

// A database that lacks the table the grid is built from: the failure is reported once, at
// opening and at each fill, and nothing reads the working table that could not be made.
TEST_F(EditorRows, AMissingLedgerTableIsReportedOnceAndTheGridStaysEmpty) {
    sql("DROP TABLE CG24_TABPDC");
    auto ed = open(entryFor(CorrelationKind::COGE));
    ASSERT_TRUE(ed);
    auto reports = [&] {
        std::vector<std::string> out;
        for (const auto& b : dialogs->takeShown()) out.push_back(b.procedure + ": " + b.text.substr(0, b.text.find('\n')));
        return out;
    };
    const std::string missing = "CreaTabella: Errore n. -2147217900: no such table: CG24_TABPDC";
    EXPECT_THAT(reports(), ElementsAre(missing));
    fillHeader(*ed, "10", "101");
    EXPECT_THAT(reports(), ElementsAre(missing));
    for (const auto& s : takeSql()) EXPECT_THAT(s, testing::Not(HasSubstr("FROM #CORRPDCRICL")));
    EXPECT_EQ(grid(*ed).rowCount(), 0);
}

TEST_F(EditorRows, CogeFillListsEveryAccountOnceASignInOrderWithMasterMarkersAndMask) {
    auto ed = openKind(CorrelationKind::COGE);
    ASSERT_TRUE(ed);
    fillHeader(*ed, "10", "101");
    auto sql = takeSql();
    EXPECT_TRUE(dialogs->shown().empty()) << dialogs->shown().front().text;

    // The working table for chart 10 / 101, then its reading query.
    auto create = std::find_if(sql.begin(), sql.end(), [](auto& s) { return s.find("INTO #CORRPDCRICL") != std::string::npos; });
    ASSERT_NE(create, sql.end());
    EXPECT_THAT(*create, HasSubstr(" WHERE   CG24_GRUPPO_CG10 = 10\r\n"));
    EXPECT_THAT(*create, HasSubstr("     AND CG83_CODICERICL_PC01 = 101\r\n"));
    EXPECT_NE(std::find(create, sql.end(), " SELECT *\r\n FROM #CORRPDCRICL\r\n ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO\r\n"),
              sql.end());

    auto& g = grid(*ed);
    auto rs = ed->GridRecordset();
    ASSERT_TRUE(rs);
    EXPECT_EQ(g.Recordset(), rs);
    EXPECT_TRUE(g.Enabled());
    ASSERT_EQ(g.rowCount(), 102);   // 51 accounts of the lowest level, masters included
    for (long i = 0; i < g.rowCount(); i += 2) {
        const auto& s1 = rs->viewRow(i);
        const auto& s2 = rs->viewRow(i + 1);
        auto f = [&](const char* n) { return *rs->fields().indexOf(n); };
        ASSERT_EQ(s1[f("SEGNO")].toInt32(), 1) << i;
        ASSERT_EQ(s2[f("SEGNO")].toInt32(), 2) << i;
        ASSERT_EQ(s1[f("CONTOPDC")].toText(), s2[f("CONTOPDC")].toText()) << i;
        EXPECT_EQ(s1[f("CONTOPDCGRID")].toText(), s1[f("CONTOPDC")].toText());
        EXPECT_TRUE(s2[f("CONTOPDCGRID")].isNull());
        if (i > 0) {
            EXPECT_LT(rs->viewRow(i - 2)[f("CONTOPDC")].toText(), s1[f("CONTOPDC")].toText());
        }
        const std::string conto = s1[f("CONTOPDC")].toText();
        const int tipoCf = conto.rfind("14", 0) == 0 ? 0 : conto.rfind("26", 0) == 0 ? 1 : -1;
        EXPECT_EQ(s1[f("TIPOCF")].toInt32(), tipoCf) << conto;
    }
    EXPECT_GE(rowOf(*ed, "1401000000", 1), 0);
    EXPECT_GE(rowOf(*ed, "2601000000", 2), 0);

    // The account column through the chart's mask, on the sign-1 rows only.
    EXPECT_EQ(g.cellText(0, 3), "01/01/01/0001");
    EXPECT_EQ(g.cellText(1, 3), "");
    EXPECT_EQ(g.cellText(0, 5), "Dare");
    EXPECT_EQ(g.cellText(1, 5), "Avere");

    // The first row is shown, the header leaves the tab order, the user types the account.
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->Status(), kit::StatusShowing);
    EXPECT_EQ(box(*ed).Value(), "0101001");
    EXPECT_EQ(box(*ed).ChartCode().toText(), "101");
    EXPECT_EQ(ed->get("TXT_DESCRRICL").Text(), "Costi pluriennali");
    EXPECT_EQ(ed->get("TXT_CONTO").Text(), "0101010001");
    EXPECT_FALSE(ed->get("TXT_CONTO").TabStop());
    EXPECT_FALSE(ed->get("TXT_CODICE_PDC").TabStop());
    EXPECT_FALSE(ed->get("TXT_CODICE_RICL").TabStop());
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    // Filling writes nothing.
    EXPECT_TRUE(std::none_of(sql.begin(), sql.end(), [](auto& s) { return s.find("INSERT INTO CG83") != std::string::npos; }));
}

TEST_F(EditorRows, TwoLevelMaskShowsTwoCharactersSlashAndEight) {
    // With a one-segment lower level the chart's level filter lists only the two masters.
    sql("UPDATE CG10_DESPDC SET CG10_MASKEDIT = 'xx/xxxxxxxx', CG10_NUMLIVELLI = 3 WHERE CG10_GRUPPO = 80");
    auto ed = openFilled(CorrelationKind::COGE, "80", "103");
    ASSERT_TRUE(ed);
    auto& g = grid(*ed);
    ASSERT_EQ(g.rowCount(), 4);
    EXPECT_EQ(g.cellText(0, 3), "14/01000000");
    EXPECT_EQ(g.cellText(2, 3), "26/01000000");
    EXPECT_EQ(g.cellText(0, 4), "CLIENTI");
}

TEST_F(EditorRows, CoinBuildsDebitAndCreditRowsOnTheClientAndKeepsTheBoxOnTheReclassificationChart) {
    auto ed = openFilled(CorrelationKind::COIN, "201", "102");
    ASSERT_TRUE(ed);
    EXPECT_TRUE(dialogs->shown().empty()) << dialogs->shown().front().text;
    auto rs = ed->GridRecordset();
    ASSERT_TRUE(rs);
    EXPECT_FALSE(rs->fields().contains("FAKEID"));
    auto& g = grid(*ed);
    // 14 analytic accounts; the chart's upper levels (10, 1001 ...) are not listed.
    ASSERT_EQ(g.rowCount(), 28);
    auto row = [&](long i) {
        std::vector<std::string> v;
        for (const char* f : {"CONTOPDC", "CONTOPDCGRID", "CONTORICL", "SEGNO"}) v.push_back(rs->viewRow(i)[*rs->fields().indexOf(f)].toText());
        return v;
    };
    EXPECT_THAT(row(0), ElementsAre("1001001", "10/01/001", "20002", "1"));    // both signs
    EXPECT_THAT(row(1), ElementsAre("1001001", "", "20002", "2"));
    EXPECT_THAT(row(2), ElementsAre("1001002", "10/01/002", "20003", "1"));    // debit only
    EXPECT_THAT(row(3), ElementsAre("1001002", "", "", "2"));
    EXPECT_THAT(row(4), ElementsAre("1001003", "10/01/003", "", "1"));         // none
    EXPECT_THAT(row(5), ElementsAre("1001003", "", "", "2"));
    long credit = rowOf(*ed, "2001001", 1);                                    // credit only
    EXPECT_THAT(row(credit), ElementsAre("2001001", "20/01/001", "", "1"));
    EXPECT_THAT(row(credit + 1), ElementsAre("2001001", "", "20004", "2"));
    EXPECT_THAT(row(26), ElementsAre("4002001", "40/02/001", "10001", "1"));   // last, debit only
    EXPECT_THAT(row(27), ElementsAre("4002001", "", "", "2"));
    EXPECT_TRUE(rs->viewRow(0)[*rs->fields().indexOf("TIPOCF")].isNull());
    EXPECT_TRUE(rs->viewRow(0)[*rs->fields().indexOf("INDTIPOCONTO")].isNull());
    // The analytic column is shown as built, not through the ledger mask.
    EXPECT_EQ(g.cellText(0, 3), "10/01/001");

    // The box decodes reclassified accounts after the fill.
    EXPECT_EQ(box(*ed).ChartCode().toText(), "102");
    EXPECT_EQ(box(*ed).Value(), "20002");
    EXPECT_TRUE(box(*ed).IsDecoded());
    EXPECT_EQ(box(*ed).Description(), "Lavorazioni esterne");
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->Status(), kit::StatusShowing);
}

TEST_F(EditorRows, AfterAnEmptyChartASecondFillTakesANewRecordsetAndTheWindowStaysUsable) {
    sql("INSERT INTO CG10_DESPDC (CG10_GRUPPO, CG10_DESCR, CG10_MASKEDIT, CG10_NUMLIVELLI, CG10_NUMLIVCONS) "
        "VALUES (81, 'Piano vuoto', 'xx/xx/xx/xxxx', 4, 2)");
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    ASSERT_EQ(grid(*ed).rowCount(), 102);
    fillHeader(*ed, "81", "101");
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 107);
    EXPECT_EQ(shown[0].type, 3);
    EXPECT_EQ(shown[0].text, "Non è stato definito nessun conto del piano dei conti impostato.");
    EXPECT_FALSE(ed->GridRecordset());
    EXPECT_EQ(grid(*ed).rowCount(), 0);
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->Status(), kit::StatusNew);
    EXPECT_TRUE(ed->get("TXT_CODICE_PDC").TabStop());
    EXPECT_TRUE(ed->get("TXT_CODICE_RICL").TabStop());
    EXPECT_EQ(box(*ed).Value(), "");

    fillHeader(*ed, "10", "101");
    EXPECT_TRUE(dialogs->takeShown().empty());
    ASSERT_TRUE(ed->GridRecordset());
    EXPECT_EQ(grid(*ed).Recordset(), ed->GridRecordset());
    ASSERT_EQ(grid(*ed).rowCount(), 102);
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->recordset(), ed->GridRecordset());

    // And a row still saves.
    goTo(*ed, "0101020001", 1);
    typeAndPress(*ed, "0101001", kit::keys::Down);
    EXPECT_THAT(writes(), ElementsAre("INSERT INTO CG83_COLLRICL  (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                                      "CG83_CONTORICL_PC03,  CG83_INDSEGNO) VALUES (10, '0101020001', 101, '0101001', 1)"));
    EXPECT_EQ(storedCoge("0101020001", 1), "0101001");
}

TEST_F(EditorRows, EmptyRowIsProposedTheOtherSignsAccountAndSavingWritesItForItsSign) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    // Sign 2 of 0101010002 is empty, its sign 1 has 0101002.
    ASSERT_TRUE(grid(*ed).clickRow(rowOf(*ed, "0101010002", 2)));
    EXPECT_EQ(box(*ed).Value(), "0101002");
    EXPECT_EQ(ed->get("TXT_DESCRRICL").Text(), "Software e brevetti");
    EXPECT_EQ(cell(*ed, "CONTORICL").toText(), "0101002");
    EXPECT_EQ(ed->storedAccount(), "");
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(storedCoge("0101010002", 2), "<none>");

    ASSERT_TRUE(box(*ed).FocusInput());
    ed->keyDown(kit::keys::Down);
    EXPECT_THAT(writes(), ElementsAre("INSERT INTO CG83_COLLRICL  (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                                      "CG83_CONTORICL_PC03,  CG83_INDSEGNO) VALUES (10, '0101010002', 101, '0101002', 2)"));
    EXPECT_EQ(storedCoge("0101010002", 2), "0101002");

    // Sign 1 of the suppliers' master is empty, its sign 2 has 0501001.
    ASSERT_TRUE(grid(*ed).clickRow(rowOf(*ed, "2601000000", 1)));
    EXPECT_EQ(box(*ed).Value(), "0501001");
    EXPECT_EQ(cell(*ed, "DESCRRICL").toText(), "Debiti verso fornitori");
    // A row whose other sign is empty too gets nothing.
    ASSERT_TRUE(grid(*ed).clickRow(rowOf(*ed, "0101020001", 1)));
    EXPECT_EQ(box(*ed).Value(), "");
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(EditorRows, DeleteKeepsTheRowWithAnEmptyAccountAndDeletesTheRowsSign) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101010001", 2);
    EXPECT_FALSE(EditorTestAccess::RecordFrame(*ed)->Delete());   // the frame keeps the row
    EXPECT_THAT(writes(), ElementsAre("DELETE FROM CG83_COLLRICL WHERE CG83_CONTORICL_PC03 = '0101001' AND CG83_CODICE_CG10 = 10 "
                                      "AND CG83_CONTO_CG24 = '0101010001' AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 2"));
    EXPECT_EQ(grid(*ed).rowCount(), 102);
    EXPECT_EQ(cell(*ed, "CONTOPDC").toText(), "0101010001");
    EXPECT_TRUE(cell(*ed, "CONTORICL").isNull());
    EXPECT_TRUE(cell(*ed, "DESCRRICL").isNull());
    EXPECT_EQ(box(*ed).Value(), "");
    EXPECT_EQ(ed->get("TXT_DESCRRICL").Text(), "");
    EXPECT_EQ(storedCoge("0101010001", 2), "<none>");
    EXPECT_EQ(storedCoge("0101010001", 1), "0101001");
    EXPECT_FALSE(EditorTestAccess::RecordFrame(*ed)->isChanged());
}

TEST_F(EditorRows, UndoBlanksTheRowWithoutTouchingTheDatabase) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101010001", 1);
    EXPECT_FALSE(EditorTestAccess::RecordFrame(*ed)->Undo());
    EXPECT_EQ(cell(*ed, "CONTORICL").toText(), "");
    EXPECT_EQ(cell(*ed, "DESCRRICL").toText(), "");
    EXPECT_EQ(box(*ed).Value(), "");
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(storedCoge("0101010001", 1), "0101001");
    // Leaving the row does not save it either.
    ed->keyDown(kit::keys::Down);
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(storedCoge("0101010001", 1), "0101001");
}

TEST_F(EditorRows, SearchBoxMovesToTheTypedAccountOrStaysSilentlyOrFallsBackToTheFirstKey) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    auto& nav = ed->get<kit::GridNavigator>("GRIDNAV");
    auto& conto = ed->get<kit::LedgerAccountBox>("TXT_CONTO");

    // "Nuovo": the frame leaves the row, the search box joins the tab order with the header.
    ASSERT_TRUE(nav.press("Nuovo"));
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->Status(), kit::StatusNew);
    EXPECT_TRUE(conto.TabStop());
    EXPECT_EQ(conto.Text(), "");
    EXPECT_TRUE(ed->get("TXT_CODICE_PDC").TabStop());
    EXPECT_TRUE(ed->get("TXT_CODICE_RICL").TabStop());
    EXPECT_EQ(focused(*ed), "TXT_CONTO");

    // An account that is not listed: nothing happens, the user stays in the box.
    conto.enterText("9999999999");
    ed->keyDown(kit::keys::Enter);
    EXPECT_TRUE(dialogs->shown().empty());
    EXPECT_EQ(focused(*ed), "TXT_CONTO");
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->Status(), kit::StatusNew);

    // A listed account: its sign-1 row, the focus in the account box.
    conto.enterText("2601000000");
    ed->keyDown(kit::keys::Enter);
    EXPECT_TRUE(dialogs->shown().empty());
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->Status(), kit::StatusShowing);
    EXPECT_EQ(cell(*ed, "CONTOPDC").toText(), "2601000000");
    EXPECT_EQ(cell(*ed, "SEGNO").toInt32(), 1);
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    EXPECT_FALSE(conto.TabStop());
    EXPECT_EQ(ed->get("BUT_CORRINTERMEDI").Caption(), "Correlazione intermedi mastro fornitori");

    // A listed account whose rows carry no key: "Conto non trovato!" and the row of key 1.
    auto rs = ed->GridRecordset();
    for (int sign : {1, 2}) {
        rs->setAbsolutePosition(rowOf(*ed, "1801010001", sign) + 1);
        rs->setValue("FAKEID", db::Variant(0));
    }
    ASSERT_TRUE(nav.press("Nuovo"));
    conto.enterText("1801010001");
    ed->keyDown(kit::keys::Enter);
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 117);
    EXPECT_EQ(shown[0].type, 3);
    EXPECT_EQ(shown[0].text, "Conto non trovato!");
    EXPECT_EQ(EditorTestAccess::RecordFrame(*ed)->Status(), kit::StatusShowing);
    EXPECT_EQ(cell(*ed, "FAKEID").toInt32(), 1);
}

TEST_F(EditorRows, SearchBoxShowsAndTakesTheCodeThroughTheChartsMask) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    auto& conto = ed->get<kit::LedgerAccountBox>("TXT_CONTO");
    EXPECT_EQ(conto.Mask(), ed->FormattaConto(0));
    EXPECT_EQ(conto.DisplayText(), grid(*ed).cellText(0, 3));   // "01/01/01/0001", as the grid shows it
    EXPECT_EQ(conto.Text(), "0101010001");

    ASSERT_TRUE(ed->get<kit::GridNavigator>("GRIDNAV").press("Nuovo"));
    takeSql();
    conto.enterText("26/01/00/0000");
    ed->keyDown(kit::keys::Enter);
    EXPECT_EQ(cell(*ed, "CONTOPDC").toText(), "2601000000");
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    // The module saw the plain code only.
    for (const auto& s : takeSql()) EXPECT_EQ(s.find("26/01"), std::string::npos) << s;
}

TEST_F(EditorRows, NewCorrelationButtonEmptiesTheHeaderAndTheRowWithoutWriting) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    ASSERT_TRUE(clickButton(*ed, "BUT_NUOVACORR"));
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(storedCoge("1401000000", 1), "0202001");
    for (const char* name : {"TXT_CODICE_PDC", "TXT_CODICE_RICL", "TXT_CONTO", "TXT_DESCRPDC", "TXT_DESCRRICL"})
        EXPECT_EQ(ed->get(name).Text(), "") << name;
    EXPECT_EQ(box(*ed).Value(), "");
    EXPECT_TRUE(ed->get("TXT_CODICE_PDC").TabStop());
    EXPECT_TRUE(ed->get("TXT_CODICE_RICL").TabStop());
    EXPECT_EQ(focused(*ed), "TXT_CODICE_PDC");
    EXPECT_FALSE(grid(*ed).Recordset());
    EXPECT_FALSE(grid(*ed).Enabled());
    EXPECT_FALSE(ed->get("BUT_CORRINTERMEDI").TabStop());
    EXPECT_EQ(ed->get("BUT_CORRINTERMEDI").Caption(), "Correlazione intermedi");
    EXPECT_FALSE(ed->get("GRB_CHECK").Visible());
    EXPECT_FALSE(ed->get("BUT_CORRINFRANNUALECEE").TabStop());

    // CONS: the focus goes to the intercompany structure.
    auto cons = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(cons);
    ASSERT_TRUE(clickButton(*cons, "BUT_NUOVACORR"));
    EXPECT_EQ(focused(*cons), "TXT_CODINTERCOMPANY");
    EXPECT_TRUE(cons->get("TXT_CODINTERCOMPANY").TabStop());
}

TEST_F(EditorRows, NavigatorButtonsGiveTheFocusToTheGridOrToAnEmptyRowsAccountBox) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    auto& nav = ed->get<kit::GridNavigator>("GRIDNAV");
    ASSERT_TRUE(grid(*ed).clickRow(0));
    ASSERT_TRUE(nav.press("successivo"));   // a row with an account: the grid keeps the focus
    EXPECT_EQ(position(*ed), 2);
    EXPECT_EQ(focused(*ed), "GRID_CORRPDC");
    ASSERT_TRUE(grid(*ed).clickRow(4));     // both signs empty: the account box asks for one
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    ASSERT_TRUE(nav.press("successivo"));
    EXPECT_EQ(position(*ed), 6);
    EXPECT_EQ(box(*ed).Value(), "");
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    EXPECT_TRUE(writes().empty());
}

TEST_F(EditorRows, IntermediariesButtonFollowsTheMasterRows) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    auto& button = ed->get("BUT_CORRINTERMEDI");
    auto& check = ed->get("GRB_CHECK");

    goTo(*ed, "1401000000", 1);
    EXPECT_EQ(button.Caption(), "Correlazione intermedi mastro clienti");
    EXPECT_TRUE(button.TabStop());
    EXPECT_TRUE(check.Visible());   // intermediaries 1 and 7 are correlated in 101

    ASSERT_TRUE(grid(*ed).clickRow(rowOf(*ed, "0101010001", 1)));
    EXPECT_EQ(button.Caption(), "Correlazione intermedi");
    EXPECT_FALSE(button.TabStop());
    EXPECT_FALSE(check.Visible());

    takeSql();
    ASSERT_TRUE(grid(*ed).clickRow(rowOf(*ed, "2601000000", 2)));
    EXPECT_EQ(button.Caption(), "Correlazione intermedi mastro fornitori");
    EXPECT_TRUE(button.TabStop());
    auto sql = takeSql();
    EXPECT_NE(std::find(sql.begin(), sql.end(),
                        "  SELECT COUNT(1)  FROM   CG40_ANADITTAINTER WITH(NOLOCK)  WHERE  CG40_DITTA_CG18 = 1    AND  "
                        "CG40_TIPOCF = 1"),
              sql.end());

    // Without correlated intermediaries in the chart: in the tab order, no check mark.
    auto other = openFilled(CorrelationKind::COGE, "10", "102");
    ASSERT_TRUE(other);
    goTo(*other, "1401000000", 1);
    EXPECT_TRUE(other->get("BUT_CORRINTERMEDI").TabStop());
    EXPECT_FALSE(other->get("GRB_CHECK").Visible());
}

}  // namespace
