// The record frame, grid and navigator over an in-memory recordset: showing rows, saving a
// changed row when the cursor leaves it (whoever moves it), refusals, search by key.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "db/Recordset.h"
#include "kit/Kit.h"
#include "support/WorkingRows.h"

using namespace kit;
using testsupport::workingRows;

namespace {

// The arrangement of the correlation editor: key, account and sign bound to a frame that
// shares its recordset with a grid and a navigator.
struct EditorLike : ::testing::Test {
    TestWindowSystem ws;
    Form form{"FRM", &ws};
    std::shared_ptr<CodeEditBox> key = form.create<CodeEditBox>("TXT_KEY");
    std::shared_ptr<CodeEditBox> conto = form.create<CodeEditBox>("TXT_CONTOPDC");
    std::shared_ptr<ListCombo> segno = form.create<ListCombo>("CBO_SEGNO");
    std::shared_ptr<CoinAccountBox> ricl = form.create<CoinAccountBox>("TXT_CONTOCOIN");
    std::shared_ptr<QueryGrid> grid = form.create<QueryGrid>("GRID");
    std::shared_ptr<GridNavigator> nav = form.create<GridNavigator>("GRIDNAV");
    std::shared_ptr<db::Object> host;
    std::shared_ptr<db::Connection> conn;
    std::shared_ptr<db::Recordset> rs = workingRows(3);
    std::shared_ptr<RecordFrame> frame = std::make_shared<RecordFrame>("FME");
    std::vector<std::string> log;

    void SetUp() override {
        key->setDbfield("FAKEID");
        conto->setDbfield("CONTOPDC");
        segno->setDbfield("SEGNO");
        ricl->setDbfield("CONTORICL");
        segno->AddItem("Dare", 1);
        segno->AddItem("Avere", 2);
        grid->AddColumn("FAKEID", "Key", 1, 100, false);
        grid->AddColumn("CONTOPDC", "Conto", 1, 2025, true);
        grid->AddValueListColumn("SEGNO", 3, {{1, "D"}, {2, "A"}}, "Segno", 645, true);
        grid->AddColumn("CONTORICL", "Conto riclassificato", 1, 2055, true);
        grid->EndColumns();
        grid->CloseColumns();
        frame->Init(host, conn, rs, "SELECT", "", nav.get(), grid.get());
        for (Control* c : std::vector<Control*>{key.get(), conto.get(), segno.get(), ricl.get()})
            frame->BindControl(*c);
        frame->KeyControl(*key);
        nav->Init(host, frame.get());
        frame->setStatus(StatusNew);
        frame->ChangeStatus.connect([this](int s, int) { log.push_back("status" + std::to_string(s) + ":" + key->Text()); });
        frame->BeforeUpdate.connect([this](bool&) { log.push_back("before:" + rs->value("FAKEID").toText()); });
        frame->AfterUpdate.connect([this](int r) { log.push_back("after" + std::to_string(r)); });
        grid->RowChanged.connect([this] { log.push_back("row:" + std::to_string(grid->currentRow())); });
    }
    void showRows() {
        frame->setStatus(StatusShowing);
        grid->setRecordset(rs);
        log.clear();
    }
};

TEST_F(EditorLike, ShowingARowFillsTheBoundControlsAndRaisesChangeStatusPerRow) {
    frame->setStatus(StatusShowing);
    EXPECT_EQ(key->Text(), "1");
    EXPECT_EQ(conto->Text(), "01100000");
    EXPECT_EQ(segno->Text(), "Dare");
    EXPECT_EQ(ricl->Value(), "R1");
    EXPECT_FALSE(frame->isChanged());
    grid->setRecordset(rs);
    log.clear();
    rs->MoveNext();
    rs->MoveNext();
    EXPECT_EQ(log, (std::vector<std::string>{"status0:2", "row:1", "status0:3", "row:2"}));
    EXPECT_EQ(segno->Value().toInt32(), 1);
    EXPECT_TRUE(ricl->Value().empty());
}

TEST_F(EditorLike, AChangedRowIsSavedBeforeTheCursorLeavesIt) {
    showRows();
    ricl->enterText("R9");
    ricl->commit();
    EXPECT_TRUE(frame->isChanged());
    rs->MoveNext();
    EXPECT_EQ(log, (std::vector<std::string>{"before:1", "after0", "status0:2", "row:1"}));
    rs->MovePrevious();
    EXPECT_EQ(rs->value("CONTORICL").toText(), "R9");
    // An unchanged row is left without a save.
    log.clear();
    rs->MoveLast();
    EXPECT_EQ(log, (std::vector<std::string>{"status0:6", "row:5"}));
}

TEST_F(EditorLike, AFieldWrittenBySomeoneElseMarksTheRowButTheKeyFieldDoesNot) {
    showRows();
    rs->setValue("FAKEID", 99);
    EXPECT_FALSE(frame->isChanged());
    rs->setValue("CONTORICL", "X");
    EXPECT_TRUE(frame->isChanged());
    EXPECT_TRUE(frame->CanClose(true, false, true));
    EXPECT_EQ(log.front(), "before:99");
    // The save writes the controls back: the key control restores the row's key.
    EXPECT_EQ(rs->value("FAKEID").toInt32(), 1);
    EXPECT_EQ(rs->value("CONTORICL").toText(), "R1");
}

TEST_F(EditorLike, ACancelledBeforeUpdateKeepsTheCursorOnTheRow) {
    showRows();
    frame->BeforeUpdate.connect([](bool& cancel) { cancel = true; });
    ricl->setValue("R2");
    rs->MoveNext();
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_FALSE(grid->clickRow(3));
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_TRUE(frame->isChanged());
    EXPECT_FALSE(frame->CanClose(true, false, true));
    EXPECT_FALSE(frame->setStatus(StatusNew));
    EXPECT_EQ(frame->Status(), StatusShowing);
    // Closing the recordset is a move too.
    rs->Close();
    EXPECT_EQ(rs->State(), db::ado::adStateOpen);
    EXPECT_EQ(ricl->Value(), "R2");
}

TEST_F(EditorLike, NoChangeStatusWhileNotShowingAndStatusTwoClearsTheControls) {
    frame->setStatus(StatusShowing);
    log.clear();
    frame->setStatus(StatusNew);
    EXPECT_EQ(log, (std::vector<std::string>{"status2:"}));
    EXPECT_EQ(segno->ListIndex(), -1);
    EXPECT_TRUE(ricl->Value().empty());
    rs->MoveNext();
    EXPECT_EQ(log.size(), 1u);
    EXPECT_TRUE(key->Text().empty());
}

TEST_F(EditorLike, SearchMovesToTheRowWhoseKeyWasWrittenAndRestoresTheCurrentRow) {
    grid->setRecordset(rs);
    log.clear();
    rs->setValue("FAKEID", 4);   // the editor writes the key it looks for into the current row
    EXPECT_TRUE(frame->Search(true, true));
    EXPECT_EQ(frame->Status(), StatusShowing);
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    EXPECT_EQ(key->Text(), "4");
    EXPECT_EQ(log.back(), "status0:4");
    rs->MoveFirst();
    EXPECT_EQ(rs->value("FAKEID").toInt32(), 1);
    EXPECT_FALSE(frame->isChanged());
}

TEST_F(EditorLike, SearchForAMissingKeyFailsAndStaysInStatusTwo) {
    rs->setValue("FAKEID", 77);
    EXPECT_FALSE(frame->Search(true, true));
    EXPECT_EQ(frame->Status(), StatusNew);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_EQ(rs->value("FAKEID").toInt32(), 1);
}

TEST_F(EditorLike, CancelledDeleteAndUndoKeepTheRowAndRefreshRecordShowsItsValues) {
    showRows();
    frame->BeforeDelete.connect([this](bool& cancel) {
        cancel = true;
        ricl->setValue("");
        rs->setValue("CONTORICL", db::Variant::null());
        frame->RefreshRecord();
    });
    frame->BeforeUndo.connect([this](bool& cancel) {
        cancel = true;
        rs->setValue("CONTORICL", "");
        frame->RefreshRecord();
    });
    EXPECT_FALSE(frame->Delete());
    EXPECT_EQ(rs->RecordCount(), 6);
    EXPECT_TRUE(ricl->Value().empty());
    EXPECT_FALSE(frame->isChanged());
    // RefreshRecord shows the row again without a ChangeStatus.
    EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](auto& s) { return s.rfind("status", 0) == 0; }));
    ricl->setValue("R5");
    EXPECT_FALSE(frame->Undo());
    EXPECT_TRUE(ricl->Value().empty());
    EXPECT_FALSE(frame->isChanged());
}

TEST_F(EditorLike, UncancelledDeleteAndUndo) {
    showRows();
    EXPECT_TRUE(frame->Delete());
    EXPECT_EQ(rs->RecordCount(), 5);
    EXPECT_EQ(key->Text(), "2");
    ricl->setValue("Z");
    EXPECT_TRUE(frame->Undo());
    EXPECT_TRUE(ricl->Value().empty());
    EXPECT_FALSE(frame->isChanged());
}

TEST_F(EditorLike, TheFrameFollowsTheRecordsetObjectItWasGivenAcrossCloseAndReopen) {
    showRows();
    ricl->setValue("R7");
    rs->Close();   // saves first
    EXPECT_EQ(log.front(), "before:1");
    EXPECT_TRUE(key->Text().empty());
    // A new object in the same variable, bound to the grid: the frame follows it.
    rs = workingRows(1);
    log.clear();
    grid->setRecordset(rs);
    EXPECT_EQ(key->Text(), "1");
    EXPECT_EQ(log, (std::vector<std::string>{"status0:1", "row:0"}));
    rs->MoveNext();
    EXPECT_EQ(key->Text(), "2");
}

TEST_F(EditorLike, GridTextsCellTextEventAndManyRows) {
    showRows();
    grid->CellText.connect([](std::string& text, const std::string& field, int) {
        if (field == "CONTOPDC") text = text.substr(0, 2) + "/" + text.substr(2);
    });
    EXPECT_EQ(grid->rowCount(), 6);
    EXPECT_EQ(grid->cellText(0, 1), "01/100000");
    EXPECT_EQ(grid->cellText(1, 2), "A");
    EXPECT_EQ(grid->cellText(0, 3), "R1");
    EXPECT_EQ(grid->cellText(1, 3), "");
    EXPECT_EQ(grid->cellText(99, 1), "");
    EXPECT_EQ(grid->cellText(0, 9), "");
    EXPECT_TRUE(grid->clickRow(4));
    EXPECT_EQ(key->Text(), "5");
    EXPECT_EQ(log, (std::vector<std::string>{"status0:5", "row:4"}));
    EXPECT_FALSE(grid->clickRow(6));
    grid->setEnabled(false);
    EXPECT_FALSE(grid->clickRow(0));

    auto big = workingRows(100000);
    grid->setRecordset(big);
    EXPECT_EQ(grid->rowCount(), 200000);
    EXPECT_EQ(grid->cellText(199999, 2), "A");
}

TEST_F(EditorLike, NavigatorButtonsMoveTheFrameAndRaiseTheirEvents) {
    showRows();
    std::vector<std::string> pressed;
    nav->ButtonPressed.connect([&](const std::string& b) { pressed.push_back(b); });
    nav->AfterAction.connect([&] { pressed.push_back("after"); });
    nav->press("precedente");   // already on the first row: only the events
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    nav->press("ultimo");
    EXPECT_EQ(rs->AbsolutePosition(), 6);
    nav->press("successivo");
    EXPECT_EQ(rs->AbsolutePosition(), 6);
    nav->press("precedente");
    nav->press("primo");
    EXPECT_EQ(key->Text(), "1");
    EXPECT_EQ(pressed.size(), 10u);
    EXPECT_EQ(pressed[0], "precedente");
    EXPECT_EQ(pressed[1], "after");
    EXPECT_THROW(nav->press("chiudi"), KitError);

    bool addNewAsked = false;
    frame->BeforeAddNew.connect([&](bool&) { addNewAsked = true; });
    nav->press("Nuovo");
    EXPECT_TRUE(addNewAsked);
    EXPECT_EQ(frame->Status(), StatusNew);
    nav->press("apri");
    EXPECT_EQ(frame->Status(), StatusShowing);
    EXPECT_EQ(key->Text(), "1");

    nav->setDetached(true);
    nav->press("ultimo");
    EXPECT_EQ(rs->AbsolutePosition(), 1);
}

TEST_F(EditorLike, TerminateDetachesFromRecordsetControlsAndGrid) {
    showRows();
    frame->Terminate();
    EXPECT_EQ(grid->attachedFrame(), nullptr);
    ricl->setValue("Q");
    rs->MoveNext();   // no save, no show
    EXPECT_EQ(log, (std::vector<std::string>{"row:1"}));
    EXPECT_EQ(key->Text(), "1");
}

// A form that proposes "R1" for every empty row it is shown, as the editors do.
struct Proposing : EditorLike {
    std::vector<std::string> reasons;
    int decision = DecisionWrite;
    // CONTORICL of a row, read without moving the cursor.
    db::Variant rowRicl(long row) const { return rs->viewRow(row)[*rs->fields().indexOf("CONTORICL")]; }
    void SetUp() override {
        EditorLike::SetUp();
        frame->ChangeStatus.connect([this](int s, int) {
            if (s != StatusShowing || !rs->value("CONTORICL").isBlank()) return;
            ricl->setValue("R1");
            rs->setValue("CONTORICL", "R1");
            frame->Propose("proposto");
        });
        frame->ConfirmUpdate.connect([this](int reason, int& d) {
            reasons.push_back(std::to_string(reason));
            d = decision;
        });
    }
};

TEST_F(Proposing, AProposalShowsApartAndIsDroppedWhenTheCursorLeaves) {
    showRows();
    rs->MoveNext();   // account 0, sign 2: empty, proposed
    ASSERT_TRUE(frame->isProposal());
    EXPECT_TRUE(ricl->Provisional());
    EXPECT_EQ(ricl->ProvisionalHint(), "proposto");
    EXPECT_FALSE(conto->Provisional());
    EXPECT_TRUE(grid->isProvisionalCell(1, 3));
    EXPECT_FALSE(grid->isProvisionalCell(1, 1));
    EXPECT_FALSE(grid->isProvisionalCell(0, 3));
    log.clear();
    rs->MoveNext();
    // No save; the row left holds what it held before the proposal.
    EXPECT_TRUE(reasons.empty());
    EXPECT_EQ(std::count(log.begin(), log.end(), "before:2"), 0);
    EXPECT_TRUE(rowRicl(1).isBlank());
    EXPECT_FALSE(grid->isProvisionalCell(1, 3));
    // The next row got its own proposal; closing drops it too.
    ASSERT_TRUE(frame->isProposal());
    EXPECT_TRUE(frame->CanClose(true, false, true));
    EXPECT_TRUE(reasons.empty());
    EXPECT_TRUE(rs->value("CONTORICL").isBlank());
    EXPECT_FALSE(ricl->Provisional());
}

TEST_F(Proposing, TheFramesSaveOrTheFormsConfirmationWritesIt) {
    showRows();
    rs->MoveNext();
    ASSERT_TRUE(frame->isProposal());
    EXPECT_TRUE(frame->Save());
    EXPECT_EQ(reasons, (std::vector<std::string>{std::to_string(UpdateOnSave)}));
    EXPECT_EQ(rs->value("CONTORICL").toText(), "R1");
    EXPECT_FALSE(frame->isProposal());

    rs->MoveNext();   // account 1, sign 1: proposed
    frame->ConfirmProposal();
    EXPECT_FALSE(ricl->Provisional());
    rs->MoveNext();
    EXPECT_EQ(reasons.back(), std::to_string(UpdateOnLeave));
    EXPECT_EQ(rowRicl(2).toText(), "R1");
}

TEST_F(Proposing, TypingEndsTheProposalAndTheFormDecidesWhatIsWritten) {
    showRows();
    rs->MoveNext();
    ricl->enterText("R7");   // not committed yet: the frame takes it before deciding
    EXPECT_FALSE(frame->isProposal());
    EXPECT_FALSE(ricl->Provisional());

    decision = DecisionStay;
    EXPECT_FALSE(grid->clickRow(4));
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(reasons, (std::vector<std::string>{std::to_string(UpdateOnLeave)}));
    EXPECT_FALSE(frame->CanClose(true, false, true));
    EXPECT_EQ(reasons.back(), std::to_string(UpdateOnClose));
    EXPECT_EQ(ricl->Value(), "R7");

    decision = DecisionDiscard;
    EXPECT_TRUE(grid->clickRow(4));
    EXPECT_TRUE(rowRicl(1).isBlank());

    decision = DecisionWrite;
    ricl->enterText("R8");
    EXPECT_TRUE(grid->clickRow(0));
    EXPECT_EQ(rowRicl(4).toText(), "R8");
}

TEST_F(Proposing, ShowCurrentRowShowsTheRowAgainForAFormThatWasFilling) {
    showRows();
    log.clear();
    frame->ShowCurrentRow();
    EXPECT_EQ(log, (std::vector<std::string>{"status0:1"}));
    ricl->enterText("R5");
    ricl->commit();
    log.clear();
    frame->ShowCurrentRow();   // a pending change is not thrown away
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(ricl->Value(), "R5");
}

TEST(RecordFrameBinding, AControlWithoutDbfieldCannotBeBound) {
    Form form("F");
    auto box = form.create<CodeEditBox>("TXT");
    RecordFrame frame;
    EXPECT_THROW(frame.BindControl(*box), KitError);
    EXPECT_THROW(frame.KeyControl(*box), KitError);
}

}  // namespace
