// The grid-editing classes as a host program uses them: edit controls registered per grid
// column, laid over the cells of the current row, hidden when their column is out of view,
// the current column's control focused; and what happens when the host gets it wrong.

#include <gtest/gtest.h>

#include <string>

#include "db/Recordset.h"
#include "entry/ClassFactory.h"
#include "entry/ModuleObjects.h"
#include "gridedit/CLSCG_GRIDEDIT.h"
#include "host/GridEdit.h"
#include "kit/Kit.h"
#include "standalone/ModuleLoader.h"
#include "support/WorkingRows.h"

using namespace kit;
using testsupport::workingRows;

namespace {

template <class T>
std::shared_ptr<T> create(const std::string& progId) {
    return std::dynamic_pointer_cast<T>(entry::createClass(progId));
}

// A host window: a grid whose shown columns are 2000 + 3000 + 1000 + 2000 twips wide in a
// grid 7000 wide (the last one passes its right edge), an edit control per shown column
// created after the grid, and the grid's events handed to the grid-editing class.
struct GridEditWindow : ::testing::Test {
    TestWindowSystem ws;
    std::shared_ptr<Form> form = std::make_shared<Form>("FRM_RIGHE", &ws);
    std::shared_ptr<FormResizer> resizer = form->create<FormResizer>("QVA_RESIZEFORM1");
    std::shared_ptr<QueryGrid> grid = form->create<QueryGrid>("GRID_RIGHE");
    std::shared_ptr<CodeEditBox> conto = form->create<CodeEditBox>("TXT_CONTO");
    std::shared_ptr<CodeEditBox> descr = form->create<CodeEditBox>("TXT_DESCR");
    std::shared_ptr<ListCombo> segno = form->create<ListCombo>("CBO_SEGNO");
    std::shared_ptr<CodeEditBox> ricl = form->create<CodeEditBox>("TXT_RICL");
    std::shared_ptr<MenuButton> ok = form->create<MenuButton>("BUT_OK");
    std::shared_ptr<db::Recordset> rs = workingRows(5);
    std::shared_ptr<host::GridEdit> edit = create<host::GridEdit>("Brevanto.CLSCG_GRIDEDIT");

    void SetUp() override {
        ASSERT_TRUE(edit);
        grid->move(300, 600, 7000, 3000);
        grid->AddColumn("FAKEID", "Id", 1, 100, false);
        grid->AddColumn("CONTOPDC", "Conto", 1, 2000, true);
        grid->AddColumn("DESCRPDC", "Descrizione", 1, 3000, true);
        grid->AddValueListColumn("SEGNO", 3, {{1, "Dare"}, {2, "Avere"}}, "Segno", 1000, true);
        grid->AddColumn("CONTORICL", "Conto riclassificato", 1, 2000, true);
        grid->setRecordset(rs);
        for (Control* c : editors()) c->move(0, 0, 1000, 300);
        ok->move(0, 4000, 1000, 300);
        auto* e = edit.get();   // the window outlives its handlers: no reference cycle
        grid->RowColChange.connect([e] { e->Griglia_RowColChange(); });
        grid->Scroll.connect([e] { e->Griglia_RowColChange(); });
        grid->ColResize.connect([e](int c) { e->Griglia_ColResize(static_cast<std::int16_t>(c)); });
    }
    std::vector<Control*> editors() const { return {conto.get(), descr.get(), segno.get(), ricl.get()}; }
    void registerAll() {
        edit->setMyForm(form);
        edit->setGriglia(grid);
        edit->AddControl(conto, 1);
        edit->AddControl(descr, 2);
        edit->AddControl(segno, 3);
        edit->AddControl(ricl, 4);
    }
};

TEST_F(GridEditWindow, ControlsLieOverTheCellsOfTheCurrentRow) {
    registerAll();
    grid->setCol(1);
    rs->setAbsolutePosition(3);   // the third row
    // Top: grid 600, border 15, one heading line 200, two rows above of 285 + grid line 13.5;
    // the rows take the controls' height less the border.
    EXPECT_EQ(grid->RowHeight(), 285);
    EXPECT_EQ(conto->Top(), 1412);
    EXPECT_EQ(conto->Left(), 315);
    EXPECT_EQ(descr->Left(), 2315);
    EXPECT_EQ(segno->Left(), 5315);
    EXPECT_EQ(segno->Top(), 1412);
    EXPECT_TRUE(conto->Visible());
    EXPECT_TRUE(segno->Visible());
    EXPECT_FALSE(ricl->Visible());   // its right edge, 8315 - 300, passes the grid's width
    EXPECT_EQ(form->focused(), conto.get());

    grid->setCol(2);
    EXPECT_EQ(form->focused(), descr.get());

    // Scrolled one row down, the current row is the second in view.
    grid->setFirstRow(1);
    EXPECT_EQ(conto->Top(), 1114);   // 1113.5, rounded half away from zero
}

TEST_F(GridEditWindow, DesignDistancesFollowTheWindowsVerticalScale) {
    resizer->setVerticalScale(1.25);
    grid->setHeadLines(2);
    registerAll();
    rs->setAbsolutePosition(3);
    // 600 + 15·1.25 + 2·200·1.25 + 2·(300 - 18.75 + 13.5·1.25)
    EXPECT_EQ(grid->RowHeight(), 281.25);
    EXPECT_EQ(conto->Top(), 1715);
}

TEST_F(GridEditWindow, OutOfViewColumnsHideTheirControls) {
    registerAll();
    grid->setLeftCol(2);   // the account column scrolled out on the left
    EXPECT_FALSE(conto->Visible());
    EXPECT_TRUE(descr->Visible());
    EXPECT_EQ(descr->Left(), 315);
    EXPECT_TRUE(ricl->Visible());   // 15 + 3000 + 1000 + 2000 now fits
    EXPECT_EQ(ricl->Left(), 4315);

    grid->setLeftCol(0);
    rs->MoveLast();
    rs->MoveNext();   // no current row: every control hidden where it was
    for (Control* c : editors()) EXPECT_FALSE(c->Visible()) << c->name();
    EXPECT_EQ(descr->Left(), 2315);
}

TEST_F(GridEditWindow, OnlyAnEnabledControlOfTheCurrentColumnTakesTheFocus) {
    conto->setEnabled(false);
    ok->SetFocus();
    registerAll();
    grid->setCol(1);
    rs->MoveNext();
    EXPECT_TRUE(conto->Visible());
    EXPECT_EQ(form->focused(), ok.get());
    conto->setEnabled(true);
    rs->MoveNext();
    EXPECT_EQ(form->focused(), conto.get());
}

TEST_F(GridEditWindow, AnEmptyRecordsetLeavesTheControlsWhereTheyWere) {
    registerAll();
    rs->setAbsolutePosition(2);
    int top = conto->Top();
    ASSERT_TRUE(conto->Visible());
    grid->setRecordset(workingRows(0));
    EXPECT_EQ(conto->Top(), top);
    EXPECT_EQ(conto->Left(), 315);
    EXPECT_FALSE(conto->Visible());
}

TEST_F(GridEditWindow, AResizedColumnMovesTheControlsToItsRight) {
    registerAll();
    edit->Griglia_RowColChange();
    ASSERT_FALSE(ricl->Visible());
    grid->resizeColumn(1, 900);
    EXPECT_EQ(conto->Left(), 315);
    EXPECT_EQ(descr->Left(), 1215);
    EXPECT_EQ(segno->Left(), 4215);
    EXPECT_TRUE(ricl->Visible());   // from 4915 to 6915 it now fits in the grid's 7000
    EXPECT_EQ(ricl->Left(), 5215);
}

TEST_F(GridEditWindow, RegisteringBeforeTheGridShowsAMessageAndRegistersNothing) {
    edit->setMyForm(form);
    edit->AddControl(conto, 1);
    ASSERT_EQ(ws.boxes().size(), 1u);
    EXPECT_EQ(ws.boxes()[0].text, "Settare prima la Griglia");
    EXPECT_EQ(ws.boxes()[0].style, 16);
    EXPECT_EQ(ws.boxes()[0].title, "Informazione");

    edit->setGriglia(grid);
    edit->AddControl(descr, 5);    // past the last column
    edit->AddControl(segno, -1);
    edit->Griglia_RowColChange();
    for (Control* c : std::initializer_list<Control*>{conto.get(), descr.get(), segno.get()}) {
        EXPECT_EQ(c->Top(), 0) << c->name();
        EXPECT_EQ(c->Left(), 0) << c->name();
        EXPECT_TRUE(c->Visible()) << c->name();
    }
    EXPECT_EQ(ws.boxes().size(), 1u);
}

TEST_F(GridEditWindow, WithoutTheFormResizerOnlyTheStepsThatNeedItAreSkipped) {
    auto bare = std::make_shared<Form>("FRM_SENZA", &ws);
    registerAll();
    edit->setMyForm(bare);
    rs->setAbsolutePosition(3);   // no Y(): no row height, no Top; the rest still runs
    EXPECT_EQ(grid->RowHeight(), 286.5);
    EXPECT_EQ(conto->Top(), 0);
    EXPECT_EQ(descr->Left(), 2315);
    EXPECT_FALSE(ricl->Visible());
}

TEST_F(GridEditWindow, ARegisteredBoxNeverHoldsTheUserInAnEmptyCell) {
    conto->setMandatory(true);
    conto->setIDLookup("LKP_CONTI");
    conto->SetFocus();
    registerAll();
    EXPECT_FALSE(conto->CanRequired());
    EXPECT_TRUE(ok->SetFocus());

    auto* gridEdit = dynamic_cast<gridedit::CLSCG_GRIDEDIT*>(edit.get());
    ASSERT_TRUE(gridEdit);
    EXPECT_TRUE(gridEdit->companion(1)->IsLookUp());
    EXPECT_FALSE(gridEdit->companion(2)->IsLookUp());
    EXPECT_FALSE(gridEdit->companion(3)->IsLookUp());   // a combo is no code box
    EXPECT_EQ(gridEdit->companion(3)->ColIndex(), 3);
    EXPECT_EQ(gridEdit->companion(1)->Parent(), edit);
    EXPECT_EQ(gridEdit->companion(1)->DataSource(), rs);
}

TEST_F(GridEditWindow, ReleasingTheClassReleasesItsCompanions) {
    registerAll();
    std::weak_ptr<gridedit::CLSCG_LOOKUPCONTROL> companion =
        dynamic_cast<gridedit::CLSCG_GRIDEDIT&>(*edit).companion(1);
    long alive = entry::liveObjectCount();
    edit.reset();
    EXPECT_TRUE(companion.expired());
    EXPECT_EQ(entry::liveObjectCount(), alive - 5);
}

TEST(GridEditLibrary, AHostCreatesBothClassesByNameThroughTheLoadedModule) {
    standalone::ModuleLoader loader{std::filesystem::path(BREVANTO_MODULE_FILE)};
    auto edit = std::dynamic_pointer_cast<host::GridEdit>(loader.createClass("Brevanto.CLSCG_GRIDEDIT"));
    auto companion = std::dynamic_pointer_cast<host::LookupControl>(loader.createClass("Brevanto.CLSCG_LOOKUPCONTROL"));
    ASSERT_TRUE(edit);
    ASSERT_TRUE(companion);

    TestWindowSystem ws;
    auto form = std::make_shared<Form>("FRM", &ws);
    form->create<FormResizer>("QVA_RESIZEFORM1");
    auto grid = form->create<QueryGrid>("GRID");
    auto box = form->create<CodeEditBox>("TXT");
    grid->move(0, 0, 5000, 2000);
    grid->AddColumn("CONTOPDC", "Conto", 1, 2000, true);
    grid->setRecordset(workingRows(2));
    box->setHeight(300);
    edit->setMyForm(form);
    edit->setGriglia(grid);
    EXPECT_EQ(edit->Griglia(), grid);
    edit->AddControl(box, 0);
    grid->DataSource()->MoveNext();
    edit->Griglia_RowColChange();
    EXPECT_EQ(box->Top(), 514);   // 15 + 200 + 298.5, rounded
    EXPECT_EQ(box->Left(), 15);

    auto other = form->create<CodeEditBox>("TXT_ALTRO");
    other->setMandatory(true);
    companion->setParent(edit);
    companion->setGriglia(grid);
    companion->AddControl(other, 0);
    EXPECT_FALSE(other->CanRequired());
    EXPECT_EQ(companion->Parent(), edit);
}

}  // namespace
