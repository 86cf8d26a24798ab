// The grid-editing class of the loaded module in the Qt shell: edit widgets registered per
// column sit exactly over the cells of the QTableView's current row, and follow it through a
// click on another row, a scroll and a column dragged wider.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <map>

#include "GuiTestSupport.h"
#include "gui/FormWindow.h"
#include "gui/QtWindowSystem.h"
#include "gui/TableGridLayout.h"
#include "host/GridEdit.h"
#include "kit/Kit.h"
#include "standalone/ModuleLoader.h"

using namespace gui;

// Rectangles in failure messages as x,y widthxheight.
void PrintTo(const QRect& r, std::ostream* os) {
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace {

struct GridEditInQt : ::testing::Test {
    standalone::ModuleLoader module{std::filesystem::path(BREVANTO_MODULE_FILE)};
    QtWindowSystem ws;
    std::shared_ptr<kit::Form> form = std::make_shared<kit::Form>("FRM_RIGHE", &ws);
    std::shared_ptr<kit::QueryGrid> grid = form->create<kit::QueryGrid>("GRID_RIGHE");
    // Created after the grid, so that their widgets lie above it.
    std::shared_ptr<kit::CodeEditBox> conto = form->create<kit::CodeEditBox>("TXT_CONTO");
    std::shared_ptr<kit::CodeEditBox> descr = form->create<kit::CodeEditBox>("TXT_DESCR");
    std::shared_ptr<kit::ListCombo> segno = form->create<kit::ListCombo>("CBO_SEGNO");
    std::shared_ptr<kit::CodeEditBox> ricl = form->create<kit::CodeEditBox>("TXT_RICL");
    std::shared_ptr<host::GridEdit> edit =
        std::dynamic_pointer_cast<host::GridEdit>(module.createClass("Brevanto.CLSCG_GRIDEDIT"));
    std::map<int, kit::Control*> editorOf;   // grid column -> its edit control
    FormWindow* window = nullptr;
    QTableView* table = nullptr;

    void SetUp() override {
        ASSERT_TRUE(edit);
        form->create<kit::FormResizer>("QVA_RESIZEFORM1");
        form->setSize(9000, 6000);
        grid->move(300, 300, 7500, 4500);
        grid->AddColumn("FAKEID", "Id", 1, 100, false);
        grid->AddColumn("CONTOPDC", "Conto contabile", 1, 2025, true);
        grid->AddColumn("DESCRPDC", "Descrizione", 1, 3405, true);
        grid->AddValueListColumn("SEGNO", 3, {{1, "Dare"}, {2, "Avere"}}, "Segno", 645, true);
        grid->AddColumn("CONTORICL", "Conto riclassificato", 1, 2055, true);
        grid->setRecordset(guitest::workingRows(30));
        editorOf = {{1, conto.get()}, {2, descr.get()}, {3, segno.get()}, {4, ricl.get()}};

        // What the host program does: the controls as tall as a row and as wide as their
        // columns, registered with the class, the grid's events handed on.
        edit->setMyForm(form);
        edit->setGriglia(grid);
        for (auto [column, control] : editorOf) {
            control->move(0, 0, grid->Columns()(column).Width, 300);
            edit->AddControl(form->ptr<kit::Control>(control->name()), static_cast<std::int16_t>(column));
        }
        auto* e = edit.get();
        grid->RowColChange.connect([e] { e->Griglia_RowColChange(); });
        grid->Scroll.connect([e] { e->Griglia_RowColChange(); });
        grid->ColResize.connect([this, e](int column) {
            if (editorOf.count(column)) editorOf[column]->setWidth(grid->Columns()(column).Width);
            e->Griglia_ColResize(static_cast<std::int16_t>(column));
        });

        ws.showModeless(*form);
        window = ws.windowOf(*form);
        ASSERT_TRUE(window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        table = window->viewAs<GridView>("GRID_RIGHE")->table();
        edit->Griglia_RowColChange();   // the window is laid out: place the controls on it
    }
    void TearDown() override {
        if (form->isOpen()) form->close();
        // The window was opened on the window system directly: it must let go of the form
        // before the form, a member declared after it, is destroyed.
        ws.formClosed(*form);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget* widget(kit::Control* c) const { return window->widgetOf(c->name()); }
    // The current row's cell of a grid column, in the window's coordinates.
    QRect cell(int gridColumn) const {
        int column = window->viewAs<GridView>("GRID_RIGHE")->geometry()->tableColumn(gridColumn);
        int row = static_cast<int>(grid->currentRow());
        QPoint at(table->columnViewportPosition(column), table->rowViewportPosition(row));
        return QRect(table->viewport()->mapTo(window, at), QSize(table->columnWidth(column), table->rowHeight(row)));
    }
    // Every shown control covers its cell exactly; returns the columns whose control is shown.
    std::vector<int> expectOverCells() const {
        std::vector<int> shown;
        for (auto [column, control] : editorOf) {
            if (!widget(control)->isVisible()) continue;
            shown.push_back(column);
            EXPECT_EQ(widget(control)->geometry(), cell(column)) << control->name();
        }
        return shown;
    }
};

TEST_F(GridEditInQt, WidgetsCoverTheCellsOfTheCurrentRow) {
    EXPECT_EQ(expectOverCells(), (std::vector<int>{1, 2, 3}));
    // The last column runs past the grid's right edge: its control stays hidden.
    EXPECT_FALSE(widget(ricl.get())->isVisible());
    EXPECT_EQ(table->rowHeight(0) * 15, 300);   // the rows took the controls' height
}

TEST_F(GridEditInQt, AClickOnAnotherRowMovesTheWidgetsAndFocusesTheClickedColumn) {
    int row = 4;
    int column = window->viewAs<GridView>("GRID_RIGHE")->geometry()->tableColumn(2);
    QRect target = table->visualRect(table->model()->index(row, column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, target.center());
    EXPECT_EQ(grid->currentRow(), row);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(expectOverCells(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(form->focused(), descr.get());
    QTRY_VERIFY(window->viewAs<TextBoxView>("TXT_DESCR")->lineEdit()->hasFocus());
}

TEST_F(GridEditInQt, AScrollCarriesTheWidgetsWithTheRowOrHidesThemWithIt) {
    grid->DataSource()->setAbsolutePosition(5);
    table->verticalScrollBar()->setValue(2);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(expectOverCells(), (std::vector<int>{1, 2, 3}));

    table->verticalScrollBar()->setValue(20);   // the current row scrolled out of view
    for (auto [column, control] : editorOf) EXPECT_FALSE(widget(control)->isVisible()) << control->name();

    table->verticalScrollBar()->setValue(4);
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_EQ(expectOverCells(), (std::vector<int>{1, 2, 3}));
}

TEST_F(GridEditInQt, AColumnDraggedWiderPushesTheWidgetsOnItsRight) {
    QRect segnoBefore = widget(segno.get())->geometry();
    table->horizontalHeader()->resizeSection(0, table->columnWidth(0) + 40);
    EXPECT_EQ(grid->Columns()(1).Width, (135 + 40) * 15);   // the grid keeps the user's width
    EXPECT_EQ(widget(segno.get())->geometry(), segnoBefore.translated(40, 0));
    EXPECT_EQ(expectOverCells(), (std::vector<int>{1, 2, 3}));

    // Scrolled one column to the right, the first column's control goes and the last fits.
    table->horizontalScrollBar()->setValue(1);
    EXPECT_FALSE(widget(conto.get())->isVisible());
    EXPECT_EQ(expectOverCells(), (std::vector<int>{2, 3, 4}));
}

TEST_F(GridEditInQt, RegisteringBeforeTheGridShowsACriticalBox) {
    auto early = std::dynamic_pointer_cast<host::GridEdit>(module.createClass("Brevanto.CLSCG_GRIDEDIT"));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    guitest::whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    early->setMyForm(form);
    early->AddControl(conto, 1);
    EXPECT_EQ(text, "Settare prima la Griglia");
    EXPECT_EQ(title, "Informazione");
    EXPECT_EQ(icon, QMessageBox::Critical);
}

}  // namespace
