// The intermediaries editor end to end, as a user works it: open from the customers' or the
// suppliers' master row, correlate the master and intermediaries on both signs, change one,
// empty one, undo one, close; the exact statements, the rows of the correlation tables, and
// the calling editor back on the row it was on. Also the order in which leaving a row and
// saving it happen: the DELETE and the UPDATE must find the stored row. These run on SQLite
// and on PostgreSQL.

#include "EditorTestAccess.h"
#include "IntermediTestHost.h"

using editor::EditorTestAccess;
using namespace intermeditest;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

std::string joinLines(std::initializer_list<const char*> lines) {
    std::string out;
    std::size_t i = 0;
    for (const char* l : lines) out += std::string(l) + (++i == lines.size() ? "\r\n" : "\r");
    return out;
}

const std::string kInsertIntermediary2Sign1 = joinLines({
    " IF NOT EXISTS                                 ",
    "         (                                     ",
    "             SELECT  TOP 1 1                   ",
    "             FROM    CG93_CORRINTERMEDIRICL    ",
    "             WHERE   CG93_DITTA_CG18 = 1",
    "             AND     CG93_TIPOCF_CG40 = 0",
    "             AND     CG93_INTERMEDIO_CG40 = 2",
    "             AND     CG93_CODICE_PC01 = 101",
    "             AND     CG93_CONTO_PC03 = '0202001'",
    "             AND     CG93_INDSEGNO = 1",
    "         )                                     ",
    " BEGIN                                         ",
    "         INSERT INTO CG93_CORRINTERMEDIRICL    ",
    "         (                                     ",
    "                   CG93_DITTA_CG18             ",
    "               ,   CG93_TIPOCF_CG40            ",
    "               ,   CG93_INTERMEDIO_CG40        ",
    "               ,   CG93_CODICE_PC01            ",
    "               ,   CG93_CONTO_PC03             ",
    "               ,   CG93_INDSEGNO               ",
    "         )                                     ",
    "           VALUES                              ",
    "         (                                     ",
    "                   1",
    "               ,   0",
    "               ,   2",
    "               ,   101",
    "               ,   '0202001'",
    "               ,   1",
    "         )                                     ",
    " END ",
});

std::string cg93Update(const std::string& n, int intermediary, const std::string& k, int sign) {
    return " UPDATE CG93_CORRINTERMEDIRICL\r\n SET CG93_CONTO_PC03 = '" + n +
           "'\r\n WHERE CG93_DITTA_CG18 = 1\r\n   AND CG93_TIPOCF_CG40 = 0\r\n   AND CG93_INTERMEDIO_CG40 = " +
           std::to_string(intermediary) + "\r\n   AND CG93_CODICE_PC01 = 101\r\n   AND CG93_CONTO_PC03 = '" + k +
           "'   AND CG93_INDSEGNO = " + std::to_string(sign);
}

using IntermediEditorOn = rowstest::OnEveryServer<IntermediHost>;
ON_EVERY_SERVER(IntermediEditorOn);

TEST_P(IntermediEditorOn, CogeCustomersMasterAndIntermediariesOnBothSigns) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    // The calling editor stands on the master's credit row.
    goTo(*ed, "1401000000", 2);
    EXPECT_EQ(ed->get("BUT_CORRINTERMEDI").Caption(), "Correlazione intermedi mastro clienti");
    EXPECT_TRUE(ed->get("BUT_CORRINTERMEDI").TabStop());
    EXPECT_TRUE(ed->get("GRB_CHECK").Visible());
    const long before = position(*ed);
    takeSql();

    bool ran = false;
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        ran = true;
        EXPECT_EQ(w.Caption(), "Correlazione intermedi clienti");
        EXPECT_EQ(w.companyCode(), 1);
        EXPECT_EQ(w.tipoCf(), 0);
        EXPECT_EQ(w.masterAccount(), "1401000000");
        EXPECT_FALSE(w.loading());
        auto sql = takeSql();
        auto table = std::find_if(sql.begin(), sql.end(), [](auto& s) { return s.find("INTO #CORRINTERMEDI") != std::string::npos; });
        ASSERT_NE(table, sql.end());
        EXPECT_THAT(*table, HasSubstr(" WHERE   CG24_GRUPPO_CG10 = 10\r\n     AND CG24_CONTO = '1401000000'\r\n UNION\r\n"));
        EXPECT_THAT(*table, HasSubstr(" WHERE   CG40_DITTA_CG18 = 1\r\n     AND CG40_TIPOCF = 0\r\n     AND CG40_INTERMEDIO <> 0\r\n"));
        EXPECT_THAT(*table, HasSubstr("FNPC03_ANAGPDC_COGE(CG93_CODICE_PC01, CG93_CONTO_PC03, 1, NULL) AS ANALITICO"));
        EXPECT_NE(std::find(table, sql.end(),
                            " SELECT *\r\n FROM #CORRINTERMEDI\r\n WHERE ISNULL(CONTOPDC,'') <> ''\r\n"
                            " ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO\r\n"),
                  sql.end());

        // The master and intermediaries 1, 2 and 7, each on both signs; intermediary 1's code
        // is the master's own (its places 3-4 already read 01).
        ASSERT_EQ(wgrid(w).rowCount(), 8);
        EXPECT_EQ(w.RecordFrame()->Status(), kit::StatusShowing);
        const long m1 = wrow(w, "1401000000", 1, "Clienti diversi");
        const long i2s1 = wrow(w, "1402000000", 1), i2s2 = wrow(w, "1402000000", 2);
        const long i7s1 = wrow(w, "1407000000", 1), i7s2 = wrow(w, "1407000000", 2);
        ASSERT_GE(m1, 0);
        ASSERT_GE(i2s1, 0);
        ASSERT_EQ(i2s2, i2s1 + 1);
        ASSERT_EQ(i7s2, i7s1 + 1);
        EXPECT_EQ(wcell(w, m1, "CONTORICL").toText(), "0202001");    // from CG83_COLLRICL
        EXPECT_EQ(wcell(w, i7s1, "CONTORICL").toText(), "0203002");  // from CG93_CORRINTERMEDIRICL
        EXPECT_TRUE(wcell(w, i2s1, "CONTORICL").isNull());
        EXPECT_EQ(wcell(w, i7s1, "DESCRPDC").toText(), "Clienti grande distribuzione");
        EXPECT_EQ(wgrid(w).cellText(i7s1, 5), "Dare");
        // The sub-account column shows the codes as the calling editor's grid does.
        EXPECT_EQ(wgrid(w).cellText(i7s1, 3), "14/07/00/0000");
        EXPECT_EQ(wgrid(w).cellText(i7s2, 3), "");

        // Intermediary 2, debit: typed, left by clicking its credit row -> the INSERT.
        ASSERT_TRUE(wclick(w, i2s1));
        EXPECT_EQ(w.focused()->name(), "TXT_CONTOCOIN");
        EXPECT_EQ(w.get("TXT_CONTOINTERMEDIO").Text(), "14/02/000000");
        takeSql();
        wtype(w, "0202001");
        ASSERT_TRUE(wclick(w, i2s2));
        EXPECT_THAT(writes(), ElementsAre(kInsertIntermediary2Sign1));
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "0202001");
        EXPECT_EQ(wcell(w, i2s1, "CONTORICL").toText(), "0202001");
        EXPECT_EQ(wcell(w, i2s1, "DESCRRICL").toText(), "Crediti verso clienti");

        // Its credit row is proposed the debit account; Up saves it and goes back.
        EXPECT_EQ(wbox(w).Value(), "0202001");
        EXPECT_EQ(wcell(w, i2s2, "CONTORICL").toText(), "0202001");
        w.keyDown(kit::keys::Up);
        EXPECT_EQ(wposition(w), i2s1 + 1);
        auto inserted = writes();
        ASSERT_EQ(inserted.size(), 1u);
        EXPECT_THAT(inserted[0], HasSubstr("             AND     CG93_INDSEGNO = 2\r"));
        EXPECT_EQ(storedCg93(1, 0, 2, 2), "0202001");

        // Changed again on the same row: the UPDATE names the stored account.
        wtype(w, "0203001", kit::keys::Down);
        EXPECT_THAT(writes(), ElementsAre(cg93Update("0203001", 2, "0202001", 1)));
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "0203001");

        // Intermediary 7 (written 7, shown 07): emptied, left with Down -> the DELETE.
        ASSERT_TRUE(wclick(w, i7s1));
        EXPECT_EQ(w.get("TXT_CONTOINTERMEDIO").Text(), "14/07/000000");
        takeSql();
        wtype(w, "", kit::keys::Down);
        EXPECT_THAT(writes(), ElementsAre(" DELETE FROM CG93_CORRINTERMEDIRICL\r\n WHERE CG93_DITTA_CG18 = 1\r\n"
                                          "   AND CG93_TIPOCF_CG40 = 0\r\n   AND CG93_INTERMEDIO_CG40 = 7\r\n"
                                          "   AND CG93_CODICE_PC01 = 101\r\n   AND CG93_CONTO_PC03 = '0203002'"
                                          "   AND CG93_INDSEGNO = 1"));
        EXPECT_EQ(storedCg93(1, 0, 7, 1), "<none>");
        EXPECT_TRUE(wcell(w, i7s1, "CONTORICL").isNull());
        EXPECT_EQ(wcell(w, i7s1, "DESCRRICL").toText(), "");

        // The master's debit row goes through the calling editor's own save, with the sign
        // of this row although the calling editor stands on the credit row.
        ASSERT_TRUE(wclick(w, m1));
        takeSql();
        wtype(w, "0203002", kit::keys::Down);
        EXPECT_THAT(writes(), ElementsAre(" UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0203002' WHERE "
                                          "CG83_CODICE_CG10 = 10 AND CG83_CONTO_CG24 = '1401000000' AND "
                                          "CG83_INDSEGNO = 1 AND CG83_CODICERICL_PC01 = 101"));
        EXPECT_EQ(storedCoge("1401000000", 1), "0203002");
        EXPECT_EQ(storedCoge("1401000000", 2), "0202001");
        EXPECT_EQ(wcell(w, m1, "CONTORICL").toText(), "0203002");
        EXPECT_EQ(wcell(w, m1, "DESCRRICL").toText(), "Crediti diversi");

        // Undo blanks the shown account and writes nothing; leaving the row saves nothing.
        ASSERT_TRUE(wclick(w, i2s2));
        takeSql();
        EXPECT_FALSE(w.RecordFrame()->Undo());   // cancelled: the row stays, blanked
        EXPECT_EQ(wbox(w).Value(), "");
        EXPECT_EQ(wcell(w, i2s2, "CONTORICL").toText(), "");
        ASSERT_TRUE(wclick(w, i7s2));
        EXPECT_TRUE(writes().empty());
        EXPECT_EQ(storedCg93(1, 0, 2, 2), "0202001");
    }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(dialogs->takeShown().empty());
    ASSERT_FALSE(windows.closed().empty());
    EXPECT_EQ(windows.closed().back(), FRMCG_CORRINTERMEDI::kFormName);

    // Back in the calling editor: the same row, read again from the database.
    EXPECT_EQ(position(*ed), before);
    EXPECT_EQ(cell(*ed, "CONTOPDC").toText(), "1401000000");
    EXPECT_EQ(cell(*ed, "SEGNO").toInt32(), 2);
    EXPECT_EQ(rowCell(*ed, rowOf(*ed, "1401000000", 1), "CONTORICL").toText(), "0203002");
    EXPECT_EQ(box(*ed).Value(), "0202001");
    EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
    EXPECT_TRUE(ed->get("GRB_CHECK").Visible());   // intermediaries 1 and 2 are correlated
}

TEST_P(IntermediEditorOn, LeavingByClickOrByDownSavesWhileTheRowStillHoldsTheStoredAccount) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        const long s1 = wrow(w, "1402000000", 1), s2 = wrow(w, "1402000000", 2);
        ASSERT_GE(s1, 0);
        // Type, leave by clicking the other row: stored.
        ASSERT_TRUE(wclick(w, s1));
        wtype(w, "0202001");
        ASSERT_TRUE(wclick(w, s2));
        ASSERT_EQ(storedCg93(1, 0, 2, 1), "0202001");
        // Change it again, leave by clicking: the UPDATE finds it.
        ASSERT_TRUE(wclick(w, s1));
        takeSql();
        wtype(w, "0203001");
        ASSERT_TRUE(wclick(w, s2));
        EXPECT_THAT(writes(), ElementsAre(cg93Update("0203001", 2, "0202001", 1)));
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "0203001");
        // Again, left with Down this time (the proposal on s2 is saved on the way back).
        ASSERT_TRUE(wclick(w, s1));
        wtype(w, "0204001", kit::keys::Down);
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "0204001");
        w.keyDown(kit::keys::Up);
        takeSql();
        wtype(w, "0203002", kit::keys::Down);
        EXPECT_THAT(writes(), ElementsAre(cg93Update("0203002", 2, "0204001", 1)));
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "0203002");
        // Deleted in the frame: the DELETE names the stored account too.
        w.keyDown(kit::keys::Up);
        takeSql();
        EXPECT_FALSE(w.RecordFrame()->Delete());   // cancelled: the frame keeps the row
        EXPECT_THAT(writes(), ElementsAre(HasSubstr("   AND CG93_CONTO_PC03 = '0203002'   AND CG93_INDSEGNO = 1")));
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "<none>");
        EXPECT_EQ(wgrid(w).rowCount(), 8);
        // After the delete the row starts from nothing stored: a new account is inserted.
        wtype(w, "0202001", kit::keys::Down);
        auto w2 = writes();
        ASSERT_EQ(w2.size(), 1u);
        EXPECT_THAT(w2[0], HasSubstr(" IF NOT EXISTS"));
        EXPECT_EQ(storedCg93(1, 0, 2, 1), "0202001");
    }));
    EXPECT_TRUE(dialogs->takeShown().empty());
}

TEST_P(IntermediEditorOn, ConsSuppliersMasterWritesTheStructuresTables) {
    // A second supplier intermediary of the group company, in both databases.
    sql("INSERT INTO CG40_ANADITTAINTER (CG40_DITTA_CG18, CG40_TIPOCF, CG40_INTERMEDIO, CG40_DESCR) "
        "VALUES (2, 1, 4, 'Fornitori esteri del gruppo')");
    groupSql("INSERT INTO CG40_ANADITTAINTER (CG40_DITTA_CG18, CG40_TIPOCF, CG40_INTERMEDIO, CG40_DESCR) "
             "VALUES (2, 1, 4, 'Fornitori esteri del gruppo')");
    auto ed = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(ed);
    fillCons(*ed, "1", "401");
    ASSERT_GT(grid(*ed).rowCount(), 0);
    goTo(*ed, "2601000000", 1);
    EXPECT_EQ(ed->get("BUT_CORRINTERMEDI").Caption(), "Correlazione intermedi mastro fornitori");
    EXPECT_TRUE(ed->get("BUT_CORRINTERMEDI").TabStop());
    EXPECT_TRUE(ed->get("GRB_CHECK").Visible());   // intermediary 2 on the credit side
    // The debit row is proposed the credit row's account; opening the window drops the
    // proposal, which the window proposes again on the same row.
    EXPECT_EQ(box(*ed).Value(), "IC102");
    ASSERT_TRUE(EditorTestAccess::RecordFrame(*ed)->isProposal());
    ASSERT_EQ(storedCgb3("2601000000", 1), "<none>");
    const long before = position(*ed);

    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        EXPECT_EQ(w.Caption(), "Correlazione intermedi fornitori");
        EXPECT_EQ(w.companyCode(), 2);
        auto sql = takeSql();
        auto table = std::find_if(sql.begin(), sql.end(), [](auto& s) { return s.find("INTO #CORRINTERMEDI") != std::string::npos; });
        ASSERT_NE(table, sql.end());
        EXPECT_THAT(*table, HasSubstr(" FROM    [GRUPPO].dbo.CG40_ANADITTAINTER WITH(NOLOCK)\r\n"));
        EXPECT_THAT(*table, HasSubstr("      ON CGB4_CODICE_CGC0 = 1\r\n"));
        ASSERT_EQ(wgrid(w).rowCount(), 6);
        const long m1 = wrow(w, "2601000000", 1), m2 = wrow(w, "2601000000", 2);
        const long i2s2 = wrow(w, "2602000000", 2);
        const long i4s1 = wrow(w, "2604000000", 1), i4s2 = wrow(w, "2604000000", 2);
        ASSERT_GE(m1, 0);
        EXPECT_EQ(storedCgb3("2601000000", 1), "<none>");
        EXPECT_EQ(wgrid(w).currentRow(), m1);
        EXPECT_TRUE(w.RecordFrame()->isProposal());
        EXPECT_EQ(wcell(w, m1, "CONTORICL").toText(), "IC102");
        EXPECT_EQ(wcell(w, m2, "CONTORICL").toText(), "IC102");    // CGB3_COLLRICLCONS
        EXPECT_EQ(wcell(w, i2s2, "CONTORICL").toText(), "IC102");  // CGB4_CORRINTERMEDICONS
        EXPECT_EQ(wcell(w, i4s1, "DESCRPDC").toText(), "Fornitori esteri del gruppo");

        // A new intermediary on both signs: the structure code comes first.
        ASSERT_TRUE(wclick(w, i4s1));
        takeSql();
        wtype(w, "IC102", kit::keys::Down);
        auto ins = writes();
        ASSERT_EQ(ins.size(), 1u);
        EXPECT_THAT(ins[0], HasSubstr("             FROM    CGB4_CORRINTERMEDICONS    \r"
                                      "             WHERE   CGB4_CODICE_CGC0 = 1\r"
                                      "             AND     CGB4_TIPOCF_CG40 = 1\r"
                                      "             AND     CGB4_INTERMEDIO_CG40 = 4\r"));
        EXPECT_THAT(ins[0], HasSubstr("           VALUES                              \r"
                                      "         (                                     \r"
                                      "                   1\r               ,   1\r               ,   4\r"
                                      "               ,   401\r               ,   'IC102'\r               ,   1\r"));
        EXPECT_EQ(wposition(w), i4s2 + 1);
        EXPECT_EQ(wbox(w).Value(), "IC102");   // proposed
        wtype(w, "IC103", kit::keys::Up);
        EXPECT_EQ(storedCgb4(1, 1, 4, 1), "IC102");
        EXPECT_EQ(storedCgb4(1, 1, 4, 2), "IC103");

        // Intermediary 2: changed, then emptied.
        ASSERT_TRUE(wclick(w, i2s2));
        takeSql();
        wtype(w, "IC101");
        ASSERT_TRUE(wclick(w, m1));
        EXPECT_THAT(writes(), ElementsAre(" UPDATE CGB4_CORRINTERMEDICONS\r\n SET CGB4_CONTO_PC03 = 'IC101'\r\n"
                                          " WHERE CGB4_CODICE_CGC0 = 1\r\n   AND CGB4_TIPOCF_CG40 = 1\r\n"
                                          "   AND CGB4_INTERMEDIO_CG40 = 2\r\n   AND CGB4_CODICE_PC01 = 401\r\n"
                                          "   AND CGB4_CONTO_PC03 = 'IC102'   AND CGB4_INDSEGNO = 2"));
        EXPECT_EQ(storedCgb4(1, 1, 2, 2), "IC101");

        // The master's debit row, proposed IC102 again: the calling editor's own save, on this
        // row's sign, of the account typed over the proposal.
        takeSql();
        wtype(w, "IC101");
        ASSERT_TRUE(wclick(w, i2s2));
        EXPECT_THAT(writes(), ElementsAre(HasSubstr("INSERT INTO CGB3_COLLRICLCONS")));
        EXPECT_EQ(storedCgb3("2601000000", 1), "IC101");

        takeSql();
        wtype(w, "", kit::keys::Up);
        EXPECT_THAT(writes(), ElementsAre(HasSubstr(" DELETE FROM CGB4_CORRINTERMEDICONS\r\n WHERE CGB4_CODICE_CGC0 = 1\r\n")));
        EXPECT_EQ(storedCgb4(1, 1, 2, 2), "<none>");
    }));
    EXPECT_TRUE(dialogs->takeShown().empty());
    EXPECT_EQ(position(*ed), before);
    EXPECT_EQ(cell(*ed, "CONTOPDC").toText(), "2601000000");
    EXPECT_EQ(cell(*ed, "CONTORICL").toText(), "IC101");   // read again from CGB3
    EXPECT_TRUE(ed->get("GRB_CHECK").Visible());            // intermediary 4 now
}

}  // namespace
