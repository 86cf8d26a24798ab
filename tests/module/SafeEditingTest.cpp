// Nothing reaches the database that the user did not confirm and that validation did not
// accept: every way of leaving a row of the correlation editor, tried with a proposed
// account, a typed valid one, a typed unknown one and an emptied box; the close question;
// how a proposal shows; the search box that never holds the focus.

#include "EditorRowsTest.h"
#include "EditorTestAccess.h"

using editor::EditorTestAccess;
using namespace rowstest;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

enum class Entry { Proposal, TypedValid, TypedUnknown, Cleared };

enum class Way {
    Down, Up, PageDown, PageUp, TabThenClick, FrameSave,                            // confirm
    GridClick, NavFirst, NavPrevious, NavNext, NavLast, NavNew, Search, NewButton,  // leave
    CloseX, HostClosing                                                              // close
};

const char* name(Entry e) {
    switch (e) {
        case Entry::Proposal: return "Proposal";
        case Entry::TypedValid: return "TypedValid";
        case Entry::TypedUnknown: return "TypedUnknown";
        case Entry::Cleared: return "Cleared";
    }
    return "";
}

const char* name(Way w) {
    switch (w) {
        case Way::Down: return "Down";
        case Way::Up: return "Up";
        case Way::PageDown: return "PageDown";
        case Way::PageUp: return "PageUp";
        case Way::TabThenClick: return "TabThenClick";
        case Way::FrameSave: return "FrameSave";
        case Way::GridClick: return "GridClick";
        case Way::NavFirst: return "NavFirst";
        case Way::NavPrevious: return "NavPrevious";
        case Way::NavNext: return "NavNext";
        case Way::NavLast: return "NavLast";
        case Way::NavNew: return "NavNew";
        case Way::Search: return "Search";
        case Way::NewButton: return "NewButton";
        case Way::CloseX: return "CloseX";
        case Way::HostClosing: return "HostClosing";
    }
    return "";
}

bool confirms(Way w) {
    return w == Way::Down || w == Way::Up || w == Way::PageDown || w == Way::PageUp || w == Way::TabThenClick ||
           w == Way::FrameSave;
}
bool closes(Way w) { return w == Way::CloseX || w == Way::HostClosing; }

// The row under test: an account with both signs stored, away from the ends of the grid,
// for an emptied box; the sign-2 row of an account correlated on the debit side only for a
// proposal; an account with no correlation for a typed one.
struct Target {
    std::string account;
    int sign = 1;
    std::string stored;     // what the database holds before
    std::string proposed;   // the account proposed, for a proposal
};

Target targetFor(FRMCG_CORRRICL& ed, Entry entry) {
    auto rs = ed.GridRecordset();
    auto at = [&](long i, const char* f) { return rs->viewRow(i)[*rs->fields().indexOf(f)].toText(); };
    for (long i = 2; i + 3 < rs->viewSize(); i += 2) {
        const std::string account = at(i, "CONTOPDC"), debit = at(i, "CONTORICL"), credit = at(i + 1, "CONTORICL");
        if (account.rfind("14", 0) == 0 || account.rfind("26", 0) == 0) continue;   // masters
        if (entry == Entry::Proposal && !debit.empty() && credit.empty()) return {account, 2, "", debit};
        if (entry == Entry::Cleared && !debit.empty() && !credit.empty()) return {account, 1, debit, ""};
        if ((entry == Entry::TypedValid || entry == Entry::TypedUnknown) && debit.empty() && credit.empty())
            return {account, 1, "", ""};
    }
    ADD_FAILURE() << "no row for " << name(entry);
    return {};
}

class LeavingARow : public EditorRows, public testing::WithParamInterface<std::tuple<Entry, Way>> {
protected:
    // A user's click on a grid row: the focus goes to the grid first.
    static bool clickGrid(FRMCG_CORRRICL& ed, long row) {
        if (!ed.setFocus(grid(ed))) return false;
        return grid(ed).clickRow(row);
    }

    // Leaves the current row the given way; another row is chosen far from it.
    void leave(FRMCG_CORRRICL& ed, Way way) {
        auto& nav = ed.get<kit::GridNavigator>("GRIDNAV");
        const long far = grid(ed).rowCount() - 1;
        switch (way) {
            case Way::Down: ed.keyDown(kit::keys::Down); break;
            case Way::Up: ed.keyDown(kit::keys::Up); break;
            case Way::PageDown: ed.keyDown(kit::keys::PageDown); break;
            case Way::PageUp: ed.keyDown(kit::keys::PageUp); break;
            case Way::TabThenClick:
                ed.keyDown(kit::keys::Tab);
                clickGrid(ed, far);
                break;
            case Way::FrameSave: EditorTestAccess::RecordFrame(ed)->Save(); break;
            case Way::GridClick: clickGrid(ed, far); break;
            case Way::NavFirst: nav.press("primo"); break;
            case Way::NavPrevious: nav.press("precedente"); break;
            case Way::NavNext: nav.press("successivo"); break;
            case Way::NavLast: nav.press("ultimo"); break;
            case Way::NavNew: nav.press("Nuovo"); break;
            case Way::Search: {
                if (!nav.press("Nuovo")) break;
                auto& search = ed.get<kit::LedgerAccountBox>("TXT_CONTO");
                if (ed.focused() != &search) break;   // the row was kept
                search.enterText(rowCell(ed, far, "CONTOPDC").toText());
                ed.keyDown(kit::keys::Enter);
                break;
            }
            case Way::NewButton: clickButton(ed, "BUT_NUOVACORR"); break;
            case Way::CloseX: ed.close(0); break;
            case Way::HostClosing: ed.close(2); break;
        }
    }
};

TEST_P(LeavingARow, WritesOnlyWhatTheUserConfirmedAndValidationAccepted) {
    const auto [entry, way] = GetParam();
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    const Target t = targetFor(*ed, entry);
    ASSERT_FALSE(t.account.empty());
    const long row = rowOf(*ed, t.account, t.sign);
    goTo(*ed, t.account, t.sign);
    dialogs->takeShown();

    std::string expected;   // the account the database must hold afterwards
    switch (entry) {
        case Entry::Proposal:
            ASSERT_EQ(box(*ed).Value(), t.proposed);
            ASSERT_TRUE(EditorTestAccess::RecordFrame(*ed)->isProposal());
            expected = confirms(way) ? t.proposed : "<none>";
            break;
        case Entry::TypedValid:
            box(*ed).enterText("0101001");
            expected = "0101001";
            break;
        case Entry::TypedUnknown:
            box(*ed).enterText("9999999");
            expected = "<none>";
            break;
        case Entry::Cleared:
            box(*ed).enterText("");
            expected = "<none>";
            break;
    }
    const std::string question =
        "Salvare la correlazione del conto " + grid(*ed).cellText(row - (t.sign == 2 ? 1 : 0), 3) + "?";
    takeSql();
    leave(*ed, way);

    const auto w = writes();
    EXPECT_EQ(storedCoge(t.account, t.sign), expected);
    const auto shown = dialogs->takeShown();
    std::vector<long> codes;
    std::vector<std::string> texts;
    for (const auto& s : shown) {
        codes.push_back(s.code);
        texts.push_back(s.text);
    }

    // A close with an account the user typed asks first (answered Sì, the default).
    const bool asked = closes(way) && entry != Entry::Proposal;
    if (asked) {
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.front(), question);
        texts.erase(texts.begin());
        codes.erase(codes.begin());
    }

    switch (entry) {
        case Entry::Proposal:
            EXPECT_TRUE(codes.empty()) << texts.front();
            if (confirms(way)) {
                ASSERT_EQ(w.size(), 1u);
                EXPECT_THAT(w[0], HasSubstr("INSERT INTO CG83_COLLRICL"));
                EXPECT_THAT(w[0], HasSubstr("'" + t.account + "', 101, '" + t.proposed + "', 2)"));
            } else {
                EXPECT_TRUE(w.empty()) << w.front();
                // The row shows what the database holds again.
                if (!closes(way)) {
                    EXPECT_TRUE(rowCell(*ed, row, "CONTORICL").isBlank());
                }
            }
            break;
        case Entry::TypedValid:
        case Entry::Cleared:
            EXPECT_TRUE(codes.empty()) << texts.front();
            ASSERT_EQ(w.size(), 1u);
            EXPECT_THAT(w[0], HasSubstr(entry == Entry::Cleared ? "DELETE FROM CG83_COLLRICL" : "INSERT INTO CG83_COLLRICL"));
            EXPECT_THAT(w[0], HasSubstr("'" + t.account + "'"));
            break;
        case Entry::TypedUnknown:
            EXPECT_TRUE(w.empty()) << w.front();
            // Tab and the click are two attempts: each is told why.
            EXPECT_EQ(codes, std::vector<long>(way == Way::TabThenClick ? 2 : 1, 114));
            // The user stays on the row, in the box, with the window open.
            EXPECT_EQ(position(*ed), row + 1);
            EXPECT_EQ(focused(*ed), "TXT_CONTOCOIN");
            EXPECT_TRUE(ed->isLoaded());
            break;
    }
    if (closes(way) && entry != Entry::TypedUnknown) {
        EXPECT_FALSE(ed->isLoaded());
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, LeavingARow,
    testing::Combine(testing::Values(Entry::Proposal, Entry::TypedValid, Entry::TypedUnknown, Entry::Cleared),
                     testing::Values(Way::Down, Way::Up, Way::PageDown, Way::PageUp, Way::TabThenClick, Way::FrameSave,
                                     Way::GridClick, Way::NavFirst, Way::NavPrevious, Way::NavNext, Way::NavLast,
                                     Way::NavNew, Way::Search, Way::NewButton, Way::CloseX, Way::HostClosing)),
    [](const testing::TestParamInfo<std::tuple<Entry, Way>>& info) {
        return std::string(name(std::get<0>(info.param))) + "_" + name(std::get<1>(info.param));
    });

// A P&L account whose credit side holds a balance-sheet account: its debit row is offered
// that account, which typing would refuse with 109.
class Proposals : public EditorRows {
protected:
    void SetUp() override {
        EditorRows::SetUp();
        sql("DELETE FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CONTO_CG24 = '6001010002' AND "
            "CG83_CODICERICL_PC01 = 101");
        sql("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, CG83_INDSEGNO, "
            "CG83_CONTORICL_PC03) VALUES (10, '6001010002', 101, 2, '0101001')");
    }
};

TEST_F(Proposals, ShowApartInTheBoxAndTheGridAndLookingWritesNothing) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "6001010002", 1);
    const long row = rowOf(*ed, "6001010002", 1);
    EXPECT_EQ(box(*ed).Value(), "0101001");
    EXPECT_TRUE(box(*ed).Provisional());
    EXPECT_EQ(box(*ed).ProvisionalHint(), "Conto proposto: Invio per confermare");
    EXPECT_TRUE(ed->get("TXT_DESCRRICL").Provisional());
    EXPECT_TRUE(grid(*ed).isProvisionalCell(row, 6));
    EXPECT_TRUE(grid(*ed).isProvisionalCell(row, 7));
    EXPECT_FALSE(grid(*ed).isProvisionalCell(row, 4));
    EXPECT_FALSE(grid(*ed).isProvisionalCell(row + 1, 6));

    // Clicking elsewhere: no message, no statement, the row empty again.
    ASSERT_TRUE(ed->setFocus(grid(*ed)));
    EXPECT_TRUE(dialogs->takeShown().empty());
    ASSERT_TRUE(grid(*ed).clickRow(row + 4));
    EXPECT_TRUE(writes().empty());
    EXPECT_TRUE(dialogs->takeShown().empty());
    EXPECT_TRUE(rowCell(*ed, row, "CONTORICL").isBlank());
    EXPECT_EQ(grid(*ed).cellText(row, 6), "");
    EXPECT_FALSE(grid(*ed).isProvisionalCell(row, 6));
    EXPECT_EQ(storedCoge("6001010002", 1), "<none>");

    // Confirming it runs the validation a typed account gets.
    goTo(*ed, "6001010002", 1);
    ed->keyDown(kit::keys::Down);
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 109);
    EXPECT_EQ(position(*ed), row + 1);
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(storedCoge("6001010002", 1), "<none>");
}

TEST_F(Proposals, TypingOverAProposalMakesItTheUsersAccount) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "6001010002", 1);
    ASSERT_TRUE(EditorTestAccess::RecordFrame(*ed)->isProposal());
    box(*ed).enterText("0701001");   // a P&L account
    EXPECT_FALSE(box(*ed).Provisional());
    EXPECT_FALSE(EditorTestAccess::RecordFrame(*ed)->isProposal());
    ASSERT_TRUE(ed->setFocus(grid(*ed)));
    ASSERT_TRUE(grid(*ed).clickRow(0));
    EXPECT_TRUE(dialogs->takeShown().empty());
    EXPECT_EQ(storedCoge("6001010002", 1), "0701001");
}

TEST_F(EditorRows, EnterConfirmsAProposalWhichTheRowWritesWhenLeftAnyWay) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    const Target t = targetFor(*ed, Entry::Proposal);
    goTo(*ed, t.account, 2);
    ASSERT_TRUE(EditorTestAccess::RecordFrame(*ed)->isProposal());
    const std::string proposed = box(*ed).Value();
    ed->keyDown(kit::keys::Enter);
    EXPECT_FALSE(box(*ed).Provisional());
    EXPECT_TRUE(writes().empty());
    ASSERT_TRUE(ed->get<kit::GridNavigator>("GRIDNAV").press("primo"));
    EXPECT_EQ(storedCoge(t.account, 2), proposed);
}

struct CloseAnswer {
    int answer;
    const char* stored;
    bool closed;
};

class CloseQuestion : public EditorRows, public testing::WithParamInterface<CloseAnswer> {};

TEST_P(CloseQuestion, SiSavesNoDropsAnnullaKeepsTheWindowOpen) {
    const CloseAnswer a = GetParam();
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    goTo(*ed, "0101020001", 1);
    box(*ed).enterText("0101001");
    dialogs->pushAnswer(a.answer);
    EXPECT_EQ(ed->close(0), a.closed);
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Salvare la correlazione del conto 01/01/02/0001?");
    EXPECT_EQ(shown[0].type, 3 + 32);
    EXPECT_EQ(storedCoge("0101020001", 1), a.stored);
    EXPECT_EQ(ed->isLoaded(), !a.closed);
    if (!a.closed) {
        EXPECT_EQ(box(*ed).Value(), "0101001");   // Annulla: nothing lost either
        dialogs->pushAnswer(0);
        EXPECT_TRUE(ed->close(0));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseQuestion,
                         testing::Values(CloseAnswer{1, "0101001", true}, CloseAnswer{0, "<none>", true},
                                         CloseAnswer{2, "<none>", false}));

TEST_F(EditorRows, SearchBoxNeverHoldsTheFocus) {
    auto ed = openFilled(CorrelationKind::COGE, "10", "101");
    ASSERT_TRUE(ed);
    auto& search = ed->get<kit::LedgerAccountBox>("TXT_CONTO");
    ASSERT_TRUE(ed->get<kit::GridNavigator>("GRIDNAV").press("Nuovo"));
    ASSERT_EQ(focused(*ed), "TXT_CONTO");

    // A code that is not listed keeps the user in the box after Enter...
    search.enterText("7777777777");
    ed->keyDown(kit::keys::Enter);
    EXPECT_EQ(focused(*ed), "TXT_CONTO");
    // ... but a click elsewhere leaves it, and so does Tab.
    EXPECT_TRUE(ed->setFocus(grid(*ed)));
    ASSERT_TRUE(ed->setFocus(search));
    search.enterText("7777777777");
    ed->keyDown(kit::keys::Tab);
    EXPECT_NE(focused(*ed), "TXT_CONTO");

    // Escape empties the box; an empty box lets the focus go.
    ASSERT_TRUE(ed->setFocus(search));
    search.enterText("8888888888");
    ed->keyDown(kit::keys::Escape);
    EXPECT_EQ(search.Text(), "");
    EXPECT_TRUE(ed->setFocus(ed->get("BUT_STAMPA")));
    EXPECT_TRUE(dialogs->takeShown().empty());
}

}  // namespace
