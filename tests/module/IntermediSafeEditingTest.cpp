// The intermediaries window writes only what the user confirmed and validation accepted:
// every way of leaving one of its rows with a proposed account, a typed valid one, a typed
// unknown one and an emptied box; and the first row, current when the window opens, can be
// corrected (an update, not an insert).

#include "IntermediTestHost.h"

using namespace intermeditest;
using testing::HasSubstr;

namespace {

enum class Entry { Proposal, TypedValid, TypedUnknown, Cleared };
enum class Way { Down, Up, PageDown, PageUp, TabThenClick, FrameSave, GridClick, NavFirst, NavPrevious, NavNext, NavLast, Chiudi, CloseX };

const char* const kEntryNames[] = {"Proposal", "TypedValid", "TypedUnknown", "Cleared"};
const char* const kWayNames[] = {"Down",     "Up",     "PageDown",    "PageUp",  "TabThenClick", "FrameSave", "GridClick",
                                 "NavFirst", "NavPrevious", "NavNext", "NavLast", "Chiudi",       "CloseX"};

bool confirms(Way w) { return w <= Way::FrameSave; }
bool closes(Way w) { return w == Way::Chiudi || w == Way::CloseX; }

class LeavingAnIntermediaryRow : public IntermediHost, public testing::WithParamInterface<std::tuple<Entry, Way>> {};

TEST_P(LeavingAnIntermediaryRow, WritesOnlyWhatTheUserConfirmedAndValidationAccepted) {
    const auto [entry, way] = GetParam();
    // Intermediary 2 of the customers' master: debit correlated here for the proposal on its
    // credit row; intermediary 7's debit is stored in the demo.
    if (entry == Entry::Proposal)
        sql("INSERT INTO CG93_CORRINTERMEDIRICL (CG93_DITTA_CG18, CG93_TIPOCF_CG40, CG93_INTERMEDIO_CG40, "
            "CG93_CODICE_PC01, CG93_INDSEGNO, CG93_CONTO_PC03) VALUES (1, 0, 2, 101, 1, '0202001')");
    const int intermediary = entry == Entry::Cleared ? 7 : 2;
    const int sign = entry == Entry::Proposal ? 2 : 1;
    const std::string before = entry == Entry::Cleared ? "0203002" : "<none>";
    std::string expected = before;
    if (entry == Entry::Proposal && confirms(way)) expected = "0202001";
    if (entry == Entry::TypedValid) expected = "0202001";
    if (entry == Entry::Cleared) expected = "<none>";

    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    std::vector<std::string> w;
    std::vector<standalone::ShownBox> shown;
    bool stillOpen = false;
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& win) {
        const std::string account = "140" + std::to_string(intermediary) + "000000";
        const long row = wrow(win, account, sign);
        ASSERT_GE(row, 2);
        ASSERT_TRUE(wclick(win, row));
        ASSERT_TRUE(wbox(win).FocusInput());
        switch (entry) {
            case Entry::Proposal:
                ASSERT_TRUE(win.RecordFrame()->isProposal());
                ASSERT_EQ(wbox(win).Value(), "0202001");
                break;
            case Entry::TypedValid: wbox(win).enterText("0202001"); break;
            case Entry::TypedUnknown: wbox(win).enterText("9999999"); break;
            case Entry::Cleared: wbox(win).enterText(""); break;
        }
        dialogs->takeShown();
        takeSql();
        auto& nav = win.get<kit::GridNavigator>("GRIDNAV");
        switch (way) {
            case Way::Down: win.keyDown(kit::keys::Down); break;
            case Way::Up: win.keyDown(kit::keys::Up); break;
            case Way::PageDown: win.keyDown(kit::keys::PageDown); break;
            case Way::PageUp: win.keyDown(kit::keys::PageUp); break;
            case Way::TabThenClick:
                win.keyDown(kit::keys::Tab);
                wclick(win, 0);
                break;
            case Way::FrameSave: win.RecordFrame()->Save(); break;
            case Way::GridClick: wclick(win, 0); break;
            case Way::NavFirst: nav.press("primo"); break;
            case Way::NavPrevious: nav.press("precedente"); break;
            case Way::NavNext: nav.press("successivo"); break;
            case Way::NavLast: nav.press("ultimo"); break;
            case Way::Chiudi: clickWindowButton(win, "BUT_CHIUDI"); break;
            case Way::CloseX: win.close(0); break;
        }
        w = writes();
        shown = dialogs->takeShown();
        stillOpen = win.isOpen();
        if (entry == Entry::TypedUnknown) {
            EXPECT_EQ(wposition(win), row + 1);
            EXPECT_EQ(win.focused() ? win.focused()->name() : "", "TXT_CONTOCOIN");
            // The user gives up the account: No to the close question.
            dialogs->pushAnswer(0);
            win.close(0);
            dialogs->takeShown();
        }
    }));

    EXPECT_EQ(storedCg93(1, 0, intermediary, sign), expected);
    std::vector<std::string> texts;
    for (const auto& s : shown) texts.push_back(s.text);
    // A typed account asks before closing; "&Chiudi" takes the focus first, so an unknown
    // account is refused as the focus leaves the box and the click never happens.
    const bool refusedBeforeTheClick = way == Way::Chiudi && entry == Entry::TypedUnknown;
    if (closes(way) && entry != Entry::Proposal && !refusedBeforeTheClick) {
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.front(), "Salvare la correlazione del conto 14/0" + std::to_string(intermediary) + "/00/0000?");
        texts.erase(texts.begin());
    }
    if (entry == Entry::TypedUnknown) {
        EXPECT_TRUE(w.empty()) << w.front();
        // Tab and the click are two attempts: each is told why.
        ASSERT_EQ(texts.size(), way == Way::TabThenClick ? 2u : 1u);
        EXPECT_EQ(texts[0], "Conto inesistente.");
        EXPECT_TRUE(stillOpen);
    } else {
        EXPECT_TRUE(texts.empty()) << texts.front();
        if (expected == before) {
            EXPECT_TRUE(w.empty()) << w.front();
        } else {
            EXPECT_FALSE(w.empty());
        }
        if (closes(way)) {
            EXPECT_FALSE(stillOpen);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, LeavingAnIntermediaryRow,
    testing::Combine(testing::Values(Entry::Proposal, Entry::TypedValid, Entry::TypedUnknown, Entry::Cleared),
                     testing::Values(Way::Down, Way::Up, Way::PageDown, Way::PageUp, Way::TabThenClick, Way::FrameSave,
                                     Way::GridClick, Way::NavFirst, Way::NavPrevious, Way::NavNext, Way::NavLast,
                                     Way::Chiudi, Way::CloseX)),
    [](const testing::TestParamInfo<std::tuple<Entry, Way>>& info) {
        return std::string(kEntryNames[static_cast<int>(std::get<0>(info.param))]) + "_" +
               kWayNames[static_cast<int>(std::get<1>(info.param))];
    });

TEST_F(LeavingAnIntermediaryRow, EscClosesTheWindowAsChiudiDoesAskingAboutATypedAccount) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    bool closed = false;
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        ASSERT_TRUE(wclick(w, wrow(w, "1402000000", 1)));
        wtype(w, "0202001");
        dialogs->takeShown();
        dialogs->pushAnswer(2);   // Annulla: the window stays
        w.keyDown(kit::keys::Escape);
        ASSERT_TRUE(w.isOpen());
        dialogs->pushAnswer(1);   // Sì
        w.keyDown(kit::keys::Escape);
        closed = !w.isOpen();
    }));
    EXPECT_TRUE(closed);
    const auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Salvare la correlazione del conto 14/02/00/0000?");
    EXPECT_EQ(storedCg93(1, 0, 2, 1), "0202001");
}

class FirstIntermediaryRow : public IntermediHost {};

TEST_F(FirstIntermediaryRow, CorrectingTheRowCurrentAtOpeningUpdatesItInCoge) {
    // COGE: the master's debit row, stored in CG83_COLLRICL, is current when the window opens.
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "1401000000", 1);
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        ASSERT_EQ(wgrid(w).currentRow(), 0);
        EXPECT_EQ(w.ContoRiclPrecedente.toText(), "0202001");
        takeSql();
        wtype(w, "0203002", kit::keys::Down);
        auto sent = writes();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_THAT(sent[0], HasSubstr("UPDATE CG83_COLLRICL"));
        EXPECT_TRUE(dialogs->takeShown().empty());
    }));
    EXPECT_EQ(storedCoge("1401000000", 1), "0203002");
}

TEST_F(FirstIntermediaryRow, CorrectingTheRowCurrentAtOpeningUpdatesItInCons) {
    auto ed = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(ed);
    fillCons(*ed, "1", "401");
    goTo(*ed, "1401000000", 1);
    const std::string stored = storedCgb3("1401000000", 1);
    ASSERT_NE(stored, "<none>");
    ASSERT_TRUE(openIntermedi(*ed, [&](FRMCG_CORRINTERMEDI& w) {
        ASSERT_EQ(wgrid(w).currentRow(), 0);
        EXPECT_EQ(w.ContoRiclPrecedente.toText(), stored);
        takeSql();
        wtype(w, "IC301", kit::keys::Down);
        auto sent = writes();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_THAT(sent[0], HasSubstr("UPDATE CGB3_COLLRICLCONS"));
        EXPECT_TRUE(dialogs->takeShown().empty()) << dialogs->shown().front().text;
    }));
    EXPECT_EQ(storedCgb3("1401000000", 1), "IC301");
}

}  // namespace
