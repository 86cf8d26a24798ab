// The grid's table model and view over a QueryGrid bound to a record frame's recordset.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "GuiTestSupport.h"
#include "gui/FormWindow.h"
#include "gui/QueryGridModel.h"
#include "gui/QtWindowSystem.h"
#include "kit/Kit.h"
#include "support/WorkingColumns.h"

using namespace gui;

namespace {

struct GridTest : ::testing::Test {
    QtWindowSystem ws;
    kit::Form form{"FRM_GRID", &ws};
    std::shared_ptr<kit::CodeEditBox> key = form.create<kit::CodeEditBox>("TXT_KEY");
    std::shared_ptr<kit::CoinAccountBox> ricl = form.create<kit::CoinAccountBox>("TXT_CONTOCOIN");
    std::shared_ptr<kit::QueryGrid> grid = form.create<kit::QueryGrid>("GRID_CORRPDC");
    std::shared_ptr<kit::GridNavigator> nav = form.create<kit::GridNavigator>("GRIDNAV");
    std::shared_ptr<db::Object> host;
    std::shared_ptr<db::Connection> conn;
    std::shared_ptr<db::Recordset> rs = guitest::workingRows(3);
    std::shared_ptr<kit::RecordFrame> frame = std::make_shared<kit::RecordFrame>("FME_CORRRICL");
    bool refuseSave = false;

    void SetUp() override {
        key->setDbfield("FAKEID");
        ricl->setDbfield("CONTORICL");
        grid->move(0, 0, 9000, 3000);
        nav->move(0, 3100, 4500, 375);
        testsupport::addWorkingColumns(*grid);
        frame->Init(host, conn, rs, "SELECT", "", nav.get(), grid.get());
        frame->BindControl(*key);
        frame->BindControl(*ricl);
        frame->KeyControl(*key);
        nav->Init(host, frame.get());
        frame->BeforeUpdate.connect([this](bool& cancel) { cancel = refuseSave; });
        frame->setStatus(kit::StatusShowing);
        grid->setRecordset(rs);
    }
    void TearDown() override { frame->Terminate(); }
};

TEST_F(GridTest, TheModelPassesTheItemModelTesterThroughRebindsAndMoves) {
    QueryGridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 6);
    rs->MoveLast();
    rs->setValue("CONTORICL", "R7");
    grid->setRecordset(guitest::workingRows(5));
    EXPECT_EQ(model.rowCount(), 10);
    grid->Reset();
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(GridTest, ShownColumnsValueListTextsAndCellTextFormatting) {
    grid->CellText.connect([](std::string& text, const std::string& field, int) {
        if (field == "CONTOPDC" && text.size() > 2) text = text.substr(0, 2) + "/" + text.substr(2);
    });
    QueryGridModel model(grid);
    ASSERT_EQ(model.columnCount(), 4);   // FAKEID is carried, not shown
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Conto contabile");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Segno");
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "01/100000");
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), "Dare");
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), "Avere");
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), "R1");
    EXPECT_EQ(model.data(model.index(1, 3)).toString(), "");
    EXPECT_EQ(model.columnWidthTwips(0), 2025);

    // A value written into the current row repaints that row.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    rs->MoveNext();
    rs->setValue("CONTORICL", "R2");
    ASSERT_GE(changed.count(), 1);
    EXPECT_EQ(changed.last().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(model.data(model.index(1, 3)).toString(), "R2");
}

TEST_F(GridTest, TheViewFollowsTheRecordsetAndClicksGoThroughTheFrame) {
    FormWindow window(form);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* view = window.viewAs<GridView>("GRID_CORRPDC");
    QTableView* table = view->table();
    EXPECT_EQ(table->currentIndex().row(), 0);
    EXPECT_EQ(table->columnWidth(0), 135);   // 2025 twips
    EXPECT_EQ(table->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    rs->MoveNext();
    EXPECT_EQ(table->currentIndex().row(), 1);

    auto clickOn = [&](int row) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(view->model()->index(row, 1)).center());
    };
    clickOn(3);
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    EXPECT_EQ(key->Text(), "4");
    EXPECT_EQ(table->currentIndex().row(), 3);
    EXPECT_EQ(form.focused(), grid.get());

    // A changed row whose save is refused keeps the cursor, and the selection, where it is.
    ricl->enterText("R9");
    ricl->commit();
    refuseSave = true;
    clickOn(0);
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    EXPECT_EQ(table->currentIndex().row(), 3);

    // Keys in the grid move the recordset.
    refuseSave = false;
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(rs->AbsolutePosition(), 5);
    EXPECT_EQ(table->currentIndex().row(), 4);
    QTest::keyClick(table, Qt::Key_Home);
    EXPECT_EQ(rs->AbsolutePosition(), 1);

    // The navigator's buttons press the model's.
    std::vector<std::string> pressed;
    nav->ButtonPressed.connect([&](const std::string& b) { pressed.push_back(b); });
    auto* navView = window.viewAs<NavigatorView>("GRIDNAV");
    navView->button("ultimo")->click();
    navView->button("precedente")->click();
    EXPECT_EQ(pressed, (std::vector<std::string>{"ultimo", "precedente"}));
    EXPECT_EQ(rs->AbsolutePosition(), 5);
    EXPECT_EQ(table->currentIndex().row(), 4);
}

TEST_F(GridTest, ALargeRecordsetIsServedWithoutAWidgetPerRow) {
    grid->setRecordset(guitest::workingRows(100000));
    FormWindow window(form);
    window.show();
    auto* view = window.viewAs<GridView>("GRID_CORRPDC");
    EXPECT_EQ(view->model()->rowCount(), 200000);
    rs = grid->Recordset();
    rs->MoveLast();
    EXPECT_EQ(view->table()->currentIndex().row(), 199999);
    EXPECT_EQ(view->model()->data(view->model()->index(199999, 2)).toString(), "Avere");
    EXPECT_TRUE(view->table()->findChildren<QLineEdit*>().isEmpty());
}

}  // namespace
