// The wait cursor shown while the database works, and the demo database's steps.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>

#include "../support/TestSupport.h"
#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/Progress.h"
#include "gui/ShellSetup.h"

namespace {

TEST(DatabaseBusyCursorTest, AStatementShowsTheWaitCursorUntilTheEventLoopRunsAgain) {
    testsupport::TempDir dir;
    auto conn = db::Connection::create();
    conn->Open("Provider=SQLite;database=B;Data Source=" + dir.str() + ";Create=1");
    {
        gui::DatabaseBusyCursor busy;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        conn->Execute("SELECT 1");
        conn->Execute("SELECT 2");
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_TRUE(busy.active());
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        conn->Execute("SELECT 3");
        EXPECT_TRUE(busy.active());
    }
    // Going away restores the cursor it set, and later statements set none.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    conn->Execute("SELECT 4");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QCoreApplication::processEvents();
}

TEST(DemoDatabaseTest, CreationReportsItsStepsInOrder) {
    testsupport::TempDir dir;
    std::vector<int> steps;
    gui::createDemoDatabase(dir.path() / "demo", [&](int step, const std::string& label) {
        steps.push_back(step);
        EXPECT_FALSE(label.empty());
    });
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2}));
    // A second creation over existing files is refused and keeps them.
    EXPECT_ANY_THROW(gui::createDemoDatabase(dir.path() / "demo"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "demo" / "BREVANTO.db"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "demo" / "GRUPPO.db"));
}

}  // namespace
