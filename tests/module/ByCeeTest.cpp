// The interim-balance correlation by CEE scheme opened from a COGE editor on chart 10 and
// the interim-balance chart 103: the mandatory code, the two scheme checks, the declined
// confirmation, a run that derives chart 10's correlations from the standard chart 80's, a
// run that finds nothing to derive; the statements executed, the rows of CG83_COLLRICL, the
// messages and the calling editor afterwards. The runs and the refusals also on PostgreSQL.

#include <functional>

#include "EditorRowsTest.h"
#include "statements/ByCeeStatements.h"
#include "bycee/FRMCG_CORRRICLBYCEE.h"
#include "journal/Journal.h"
#include "support/TestSupport.h"

namespace {

using bycee::FRMCG_CORRRICLBYCEE;
using rowstest::CorrelationKind;
using rowstest::FRMCG_CORRRICL;
using testing::HasSubstr;

class ByCee : public rowstest::EditorRows {
protected:
    std::shared_ptr<FRMCG_CORRRICL> openEditor() {
        auto ed = openFilled(CorrelationKind::COGE, "10", "103");
        dialogs->takeShown();
        return ed;
    }

    // Clicks BUT_CORRINFRANNUALECEE; `inside` runs in the open window, which is closed
    // afterwards when the test left it open. Returns whether the window was shown.
    bool openByCee(FRMCG_CORRRICL& ed, const std::function<void(FRMCG_CORRRICLBYCEE&)>& inside) {
        const auto before = windows.shown().size();
        windows.onModal(FRMCG_CORRRICLBYCEE::kFormName, [&](kit::Form& f) {
            auto& w = dynamic_cast<FRMCG_CORRRICLBYCEE&>(f);
            inside(w);
            if (w.isOpen()) w.close();
        });
        const bool clicked = clickButton(ed, "BUT_CORRINFRANNUALECEE");
        return clicked && windows.shown().size() > before;
    }

    static void typeCee(FRMCG_CORRRICLBYCEE& w, const std::string& code) {
        auto& b = w.get<kit::CodeEditBox>("TXT_CEE_COD");
        ASSERT_TRUE(w.setFocus(b));
        b.enterText(code);
        w.keyDown(kit::keys::Tab);
    }
    static bool elabora(FRMCG_CORRRICLBYCEE& w) {
        auto& b = w.get<kit::MenuButton>("BUT_ELABORA");
        if (!w.setFocus(b)) return false;
        return b.click();
    }

    std::vector<long> shownCodes() {
        std::vector<long> out;
        for (const auto& box : dialogs->takeShown()) out.push_back(box.code);
        return out;
    }

    std::string scalar(const std::string& query) {
        return testsupport::queryValue(connectionString(), query);
    }
    // The interim-balance account the standard chart gives a CEE item and sign: the smallest
    // one when its accounts point to several.
    std::string expectedFor(const std::string& account, int sign) {
        return scalar(
            "SELECT MIN(b.CG83_CONTORICL_PC03) FROM CG20_COLLPDCRICL e"
            " JOIN CG20_COLLPDCRICL s ON s.CG20_GRUPPO_CG10 = 80 AND s.CG20_CODICE_CG21 = 82"
            " AND s.CG20_CODICE_CG23 = e.CG20_CODICE_CG23 AND s.CG20_INDSEGNO = e.CG20_INDSEGNO"
            " JOIN CG83_COLLRICL b ON b.CG83_CODICE_CG10 = 80 AND b.CG83_CONTO_CG24 = s.CG20_CONTO_CG24"
            " AND b.CG83_INDSEGNO = s.CG20_INDSEGNO AND b.CG83_CODICERICL_PC01 = 103"
            " WHERE e.CG20_GRUPPO_CG10 = 10 AND e.CG20_CODICE_CG21 = 82 AND e.CG20_CONTO_CG24 = '" +
            account + "' AND e.CG20_INDSEGNO = " + std::to_string(sign));
    }
    // A chart-10 account and sign whose CEE item the standard chart points to several
    // interim-balance accounts (so the smallest one must be chosen), or any correlated one.
    std::pair<std::string, int> accountWithSeveralTargets(int sign) {
        const std::string account = scalar(
            "SELECT e.CG20_CONTO_CG24 FROM CG20_COLLPDCRICL e"
            " JOIN CG20_COLLPDCRICL s ON s.CG20_GRUPPO_CG10 = 80 AND s.CG20_CODICE_CG21 = 82"
            " AND s.CG20_CODICE_CG23 = e.CG20_CODICE_CG23 AND s.CG20_INDSEGNO = e.CG20_INDSEGNO"
            " JOIN CG83_COLLRICL b ON b.CG83_CODICE_CG10 = 80 AND b.CG83_CONTO_CG24 = s.CG20_CONTO_CG24"
            " AND b.CG83_INDSEGNO = s.CG20_INDSEGNO AND b.CG83_CODICERICL_PC01 = 103"
            " WHERE e.CG20_GRUPPO_CG10 = 10 AND e.CG20_CODICE_CG21 = 82 AND e.CG20_INDSEGNO = " +
            std::to_string(sign) +
            " GROUP BY e.CG20_CONTO_CG24 ORDER BY COUNT(DISTINCT b.CG83_CONTORICL_PC03) DESC, e.CG20_CONTO_CG24");
        return {account, sign};
    }
    std::string derivedCount() {
        return scalar("SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 103");
    }

    static long indexOf(const std::vector<std::string>& sql, const std::string& statement) {
        for (std::size_t i = 0; i < sql.size(); ++i)
            if (sql[i] == statement) return static_cast<long>(i);
        return -1;
    }
};

using ByCeeOn = rowstest::OnEveryServer<ByCee>;
ON_EVERY_SERVER(ByCeeOn);

TEST_F(ByCee, WindowControlsAndMandatoryCode) {
    auto ed = openEditor();
    ASSERT_TRUE(ed);
    ASSERT_TRUE(ed->get("BUT_CORRINFRANNUALECEE").TabStop());
    bool seen = false;
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        seen = true;
        EXPECT_EQ(w.Caption(), "Correlazione Bilanci Infrannuali by CEE");
        EXPECT_EQ(w.get("LBL_CEE").Caption(), "Codice bilancio CEE");
        EXPECT_EQ(w.get("BUT_ELABORA").Caption(), "Elabora");
        auto& code = w.get<kit::CodeEditBox>("TXT_CEE_COD");
        EXPECT_TRUE(code.Mandatory());
        EXPECT_TRUE(code.UpperCase());
        EXPECT_TRUE(w.get<kit::CaptionLabel>("LBL_CEE_DESC").Border());
        takeSql();
        dialogs->takeShown();

        // No code: the click reaches the button (the empty box lets the focus go), then the
        // mandatory message, the focus back on the code, nothing executed.
        ASSERT_TRUE(w.setFocus(code));
        ASSERT_TRUE(elabora(w));
        EXPECT_EQ(shownCodes(), std::vector<long>{71149});
        EXPECT_EQ(w.focused(), &code);
        EXPECT_TRUE(takeSql().empty());
        EXPECT_TRUE(w.isOpen());

        // A code the lookup does not decode counts as missing too.
        typeCee(w, "99");
        dialogs->takeShown();
        takeSql();
        EXPECT_FALSE(code.IsDecoded());
        ASSERT_TRUE(elabora(w));
        EXPECT_EQ(shownCodes(), std::vector<long>{71149});
        EXPECT_TRUE(takeSql().empty());

        // The scheme's description is decoded into the bordered label.
        typeCee(w, "82");
        EXPECT_TRUE(code.IsDecoded());
        EXPECT_EQ(w.get("LBL_CEE_DESC").Text(), "CEE Analitico post 30/09/2004");
        EXPECT_EQ(code.lastError(), "");
    }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(derivedCount(), "0");
}

TEST_F(ByCee, EscapeAndChiudiCloseTheWindowWithoutRunning) {
    auto ed = openEditor();
    ASSERT_TRUE(ed);
    const auto closedBefore = windows.closed().size();
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        auto& chiudi = w.get<kit::MenuButton>("BUT_CHIUDI");
        EXPECT_EQ(chiudi.Caption(), "&Chiudi");
        EXPECT_TRUE(chiudi.Cancel());
        typeCee(w, "82");   // a valid scheme typed, never run
        takeSql();
        ASSERT_TRUE(w.setFocus(w.get("TXT_CEE_COD")));
        w.keyDown(kit::keys::Escape);
        EXPECT_FALSE(w.isOpen());
    }));
    EXPECT_EQ(windows.closed().size(), closedBefore + 1);
    EXPECT_TRUE(takeSql().empty());
    EXPECT_TRUE(shownCodes().empty());
    EXPECT_EQ(host.global->currentProgram(), ed->EntryClass());   // the unload ran

    // The button itself, also with the code box empty and focused.
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        ASSERT_TRUE(w.setFocus(w.get("TXT_CEE_COD")));
        auto& chiudi = w.get<kit::MenuButton>("BUT_CHIUDI");
        ASSERT_TRUE(w.setFocus(chiudi));
        ASSERT_TRUE(chiudi.click());
        EXPECT_FALSE(w.isOpen());
    }));
    EXPECT_TRUE(shownCodes().empty());
    EXPECT_EQ(derivedCount(), "0");
}

TEST_P(ByCeeOn, RunDerivesCorrelationsRefillsEditorAndCloses) {
    journal::session().clear();
    auto ed = openEditor();
    ASSERT_TRUE(ed);
    ASSERT_EQ(derivedCount(), "0");
    const auto debit = accountWithSeveralTargets(1);
    const auto credit = accountWithSeveralTargets(2);
    const std::string debitTarget = expectedFor(debit.first, 1);
    const std::string creditTarget = expectedFor(credit.first, 2);
    ASSERT_NE(debitTarget, "<none>");
    ASSERT_NE(creditTarget, "<none>");

    std::vector<std::string> sql;
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        typeCee(w, "82");
        takeSql();
        dialogs->takeShown();
        dialogs->pushAnswer(1);   // 52477: confirmed
        ASSERT_TRUE(elabora(w));
        sql = takeSql();
        EXPECT_FALSE(w.isOpen());
    }));
    EXPECT_EQ(shownCodes(), (std::vector<long>{52477, 77179}));

    const long pdcCheck = indexOf(sql, bycee::pdcCorrelatedWithCeeQuery(10, 82));
    const long stdCheck = indexOf(sql, bycee::pdcCorrelatedWithCeeQuery(80, 82));
    const long merge = indexOf(sql, bycee::bulkCorrelationScript(80, 10, 82, 103));
    ASSERT_EQ(pdcCheck, 0);
    EXPECT_EQ(stdCheck, 1);
    EXPECT_EQ(merge, 2);
    EXPECT_THAT(sql.at(0), HasSubstr("DECLARE @PdcCodice AS TinyInt = 10\r      , @CeeCodice AS TinyInt = 82\r"));
    EXPECT_GT(sql.size(), 3u);   // the editor's grid was filled again

    EXPECT_EQ(storedCoge(debit.first, 1, 10, 103), debitTarget);
    EXPECT_EQ(storedCoge(credit.first, 2, 10, 103), creditTarget);
    EXPECT_NE(derivedCount(), "0");
    // The run is one step of the session's history, with every row it derived (for undo).
    const auto step = journal::session().nextUndo(journal::Scope{0, "10", "103"});
    ASSERT_TRUE(step);
    EXPECT_EQ(step->source, "CEE");
    EXPECT_EQ(std::to_string(step->changes.size()), derivedCount());
    // Only chart 10's rows of chart 103 were written.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 101"),
              "53");

    // The editor's grid, filled again, shows the new correlations.
    ASSERT_TRUE(ed->GridRecordset());
    bool shown = false;
    for (long i = 0; i < ed->GridRecordset()->viewSize(); ++i)
        if (rowCell(*ed, i, "CONTOPDC").toText() == debit.first && rowCell(*ed, i, "SEGNO").toInt32() == 1) {
            EXPECT_EQ(rowCell(*ed, i, "CONTORICL").toText(), debitTarget);
            shown = true;
        }
    EXPECT_TRUE(shown);

    // A second run writes the same rows again: the merge updates them, so it still reports
    // rows processed and the window closes with the same message.
    const std::string count = derivedCount();
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        typeCee(w, "82");
        dialogs->takeShown();
        dialogs->pushAnswer(1);
        ASSERT_TRUE(elabora(w));
        EXPECT_FALSE(w.isOpen());
    }));
    EXPECT_EQ(shownCodes(), (std::vector<long>{52477, 77179}));
    EXPECT_EQ(derivedCount(), count);
    EXPECT_EQ(storedCoge(debit.first, 1, 10, 103), debitTarget);
}

TEST_F(ByCee, DeclinedConfirmationRunsNothingAndStaysOpen) {
    auto ed = openEditor();
    ASSERT_TRUE(ed);
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        typeCee(w, "82");
        takeSql();
        dialogs->takeShown();
        dialogs->pushAnswer(0);   // 52477: declined
        ASSERT_TRUE(elabora(w));
        const auto sql = takeSql();
        EXPECT_EQ(sql.size(), 2u);   // the two scheme checks only
        EXPECT_EQ(indexOf(sql, bycee::bulkCorrelationScript(80, 10, 82, 103)), -1);
        EXPECT_EQ(shownCodes(), std::vector<long>{52477});
        EXPECT_TRUE(w.isOpen());
    }));
    EXPECT_EQ(derivedCount(), "0");
}

TEST_P(ByCeeOn, SchemeNotCorrelatedWithEitherChartIsRefused) {
    auto ed = openEditor();
    ASSERT_TRUE(ed);
    // Scheme 83 exists but chart 10 is not correlated with it.
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        typeCee(w, "83");
        dialogs->takeShown();
        takeSql();
        ASSERT_TRUE(elabora(w));
        EXPECT_EQ(takeSql(), std::vector<std::string>{bycee::pdcCorrelatedWithCeeQuery(10, 83)});
        const auto shown = dialogs->takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].code, 62988);
        EXPECT_EQ(shown[0].type, 2);
        EXPECT_EQ(shown[0].text, "Il piano dei conti 10 non è correlato con lo schema di bilancio CEE 83.");
        EXPECT_TRUE(w.isOpen());
    }));

    // Chart 10 correlated with 83, the standard chart is not: the second check refuses.
    sql("INSERT INTO CG20_COLLPDCRICL (CG20_GRUPPO_CG10, CG20_CONTO_CG24, CG20_CODICE_CG21, CG20_CODICE_CG23,"
        " CG20_INDSEGNO, CG20_IDMEDIA_CG99) VALUES (10, '0101010001', 83, 'BI01', 1, 0)");
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        typeCee(w, "83");
        dialogs->takeShown();
        ASSERT_TRUE(elabora(w));
        const auto shown = dialogs->takeShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "Il piano dei conti 80 non è correlato con lo schema di bilancio CEE 83.");
        EXPECT_TRUE(w.isOpen());
    }));
    EXPECT_EQ(derivedCount(), "0");
}

TEST_P(ByCeeOn, NothingToDeriveKeepsWindowOpen) {
    // Without the standard chart's interim-balance correlations no row can be derived.
    sql("DELETE FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 80 AND CG83_CODICERICL_PC01 = 103");
    auto ed = openEditor();
    ASSERT_TRUE(ed);
    ASSERT_TRUE(openByCee(*ed, [&](FRMCG_CORRRICLBYCEE& w) {
        typeCee(w, "82");
        dialogs->takeShown();
        dialogs->pushAnswer(1);
        ASSERT_TRUE(elabora(w));
        EXPECT_EQ(shownCodes(), (std::vector<long>{52477, 38891}));
        EXPECT_TRUE(w.isOpen());
    }));
    EXPECT_EQ(derivedCount(), "0");
}

}  // namespace
