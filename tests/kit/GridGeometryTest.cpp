// Where a grid without a view shows its rows and columns, and the events that tell a window
// the current cell or the rows and columns in view changed.

#include <gtest/gtest.h>

#include <vector>

#include "kit/Kit.h"
#include "support/WorkingRows.h"

using namespace kit;

namespace {

struct GridGeometry : ::testing::Test {
    Form form{"FRM"};
    std::shared_ptr<QueryGrid> grid = form.create<QueryGrid>("GRID");
    std::shared_ptr<db::Recordset> rs = testsupport::workingRows(5);
    int rowColChanges = 0, scrolls = 0;
    std::vector<int> resized;

    void SetUp() override {
        // Border, one heading line and four rows of 300 twips (286.5 and the grid line).
        grid->move(0, 0, 6000, 2 * 15 + 200 + 4 * 300);
        grid->AddColumn("FAKEID", "Id", 1, 100, false);
        grid->AddColumn("CONTOPDC", "Conto", 1, 2000, true);
        grid->AddColumn("DESCRPDC", "Descrizione", 1, 3000, true);
        grid->AddColumn("SEGNO", "Segno", 1, 1000, true);
        grid->setRecordset(rs);
        grid->RowColChange.connect([this] { ++rowColChanges; });
        grid->Scroll.connect([this] { ++scrolls; });
        grid->ColResize.connect([this](int c) { resized.push_back(c); });
    }
};

TEST_F(GridGeometry, TheCurrentRowIsCountedFromTheFirstRowInViewAndKeptInView) {
    EXPECT_EQ(grid->RowHeight(), 286.5);
    EXPECT_EQ(grid->HeadLines(), 1);
    EXPECT_EQ(grid->Row(), 0);
    rs->setAbsolutePosition(4);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(scrolls, 0);
    rs->setAbsolutePosition(6);   // below the four rows in view: the grid scrolls two rows
    EXPECT_EQ(grid->FirstRow(), 2);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(rowColChanges, 2);
    rs->MoveFirst();
    EXPECT_EQ(grid->FirstRow(), 0);
    EXPECT_EQ(grid->Row(), 0);

    grid->setFirstRow(5);   // scrolled away from the current row
    EXPECT_EQ(grid->Row(), -1);
    rs->MoveLast();
    rs->MoveNext();   // end of file: no current row
    EXPECT_EQ(grid->Row(), -1);
}

TEST_F(GridGeometry, ColumnsReportTheirEdgesAndZeroWhenOutOfView) {
    auto columns = grid->Columns();
    ASSERT_EQ(columns.Count(), 4);
    EXPECT_FALSE(columns(0).Visible);
    EXPECT_EQ(columns(0).Left, 0);   // carried, not shown
    EXPECT_EQ(columns(1).Left, 15);
    EXPECT_EQ(columns(2).Left, 2015);
    EXPECT_EQ(columns(3).Left, 5015);
    EXPECT_EQ(columns(3).Width, 1000);
    EXPECT_THROW(columns(4), KitError);
    EXPECT_THROW(columns(-1), KitError);

    grid->setLeftCol(2);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(columns(1).Left, 0);
    EXPECT_EQ(columns(2).Left, 15);

    grid->setLeftCol(0);
    grid->resizeColumn(1, 2500);
    EXPECT_EQ(resized, std::vector<int>{1});
    EXPECT_EQ(columns(1).Width, 2500);
    EXPECT_EQ(columns(2).Left, 2515);
    EXPECT_THROW(grid->resizeColumn(9, 100), KitError);
}

TEST_F(GridGeometry, ChangingTheCurrentColumnRaisesRowColChangeOnce) {
    grid->setCol(2);
    grid->setCol(2);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(rowColChanges, 1);
    EXPECT_THROW(grid->setCol(4), KitError);
    EXPECT_EQ(grid->Col(), 2);
}

}  // namespace
