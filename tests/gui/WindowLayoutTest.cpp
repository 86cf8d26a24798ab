// The module's windows as an accountant sees them on a 1280×800 and a 1920×1080 screen: a
// window made as large as the screen gives the grid the room, no two controls overlap, and
// no caption, button text or column heading is wider than the widget that shows it.

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTableView>
#include <QTest>

#include "ShellWithModule.h"
#include "gui/QueryGridModel.h"
#include "kit/Form.h"

#ifdef BREVANTO_MODULE_FILE

namespace {

using gui::FormWindow;

struct Screen {
    const char* name;
    QSize size;
};
const Screen kScreens[] = {{"1280x800", {1280, 800}}, {"1920x1080", {1920, 1080}}};

// The kinds as their headers are typed: the chart (empty in CONS, which starts from the
// intercompany structure) and the reclassification chart.
struct KindHeader {
    int kind;
    const char* first;   // box typed first
    const char* firstCode;
    const char* ricl;
};
const KindHeader kHeaders[] = {{0, "TXT_CODICE_PDC", "10", "101"},
                               {1, "TXT_CODICE_PDC", "201", "102"},
                               {2, "TXT_CODICE_PDC", "80", "301"},
                               {3, "TXT_CODINTERCOMPANY", "1", "401"}};

std::string nameOf(const QWidget* w) { return w->objectName().toStdString(); }

QString shownText(QString text) { return text.remove(QLatin1Char('&')); }

// Every visible caption, button and heading fits its widget; every visible control of the
// window lies inside it and overlaps none of its visible siblings.
void expectNothingClipped(FormWindow& w, const std::string& where) {
    for (const auto& v : w.views()) {
        QWidget* widget = v->widget();
        if (!widget || !widget->isVisibleTo(&w)) continue;
        const std::string name = v->control().name();
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(shownText(label->text())) + 2 * label->margin(),
                      label->contentsRect().width())
                << where << ": the caption of " << name << " is cut (" << label->text().toStdString() << ")";
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_LE(button->sizeHint().width(), button->width())
                << where << ": the text of " << name << " is cut (" << button->text().toStdString() << ")";
        }
        if (auto* table = qobject_cast<QTableView*>(widget)) {
            QHeaderView* header = table->horizontalHeader();
            QFont bold = header->font();
            bold.setBold(true);   // the style draws the current column's heading in bold
            const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int c = 0; c < header->count(); ++c) {
                if (header->isSectionHidden(c) || header->sectionSize(c) == 0) continue;
                QString text = table->model()->headerData(c, Qt::Horizontal).toString();
                EXPECT_LE(QFontMetrics(bold).horizontalAdvance(text) + margin, header->sectionSize(c))
                    << where << ": the heading " << text.toStdString() << " of " << name << " is cut";
            }
        }
        EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()))
            << where << ": " << name << " lies outside " << nameOf(widget->parentWidget());
        const auto siblings = widget->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* sibling : siblings.mid(0, siblings.indexOf(widget)))   // each pair once
            if (sibling->isVisibleTo(&w) && !sibling->objectName().isEmpty() &&
                sibling->geometry().intersects(widget->geometry()))
                ADD_FAILURE() << where << ": " << name << " overlaps " << nameOf(sibling);
    }
}

// Account boxes show the longest masked code in full: a ledger account of 10 characters, a
// reclassified one of 15, each with its level separators.
void expectCodesFit(FormWindow& w, const std::string& where) {
    const std::pair<const char*, const char*> boxes[] = {{"TXT_CONTO", "00/00/00/00/00"},
                                                          {"TXT_CONTOINTERMEDIO", "00/00/00/00/00"},
                                                          {"TXT_CONTOCOIN", "000/000/000/000/000"}};
    int checked = 0;
    for (const auto& [name, longest] : boxes) {
        auto* view = w.viewAs<gui::TextBoxView>(name);
        if (!view || !view->lineEdit()->isVisibleTo(&w)) continue;
        ++checked;
        QLineEdit* edit = view->lineEdit();
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(QString::fromLatin1(longest)) + 8, edit->width())
            << where << ": " << name << " cannot show " << longest;
    }
    EXPECT_GT(checked, 0) << where;
}

double shareOfWindow(const QWidget* part, const QWidget* window) {
    return double(part->width()) * part->height() / (double(window->width()) * window->height());
}

struct WindowLayout : guitest::ShellWithModule {
    FormWindow* openKind(const KindHeader& k) { return openWithHeader(k.kind, k.first, k.firstCode, k.ricl); }
};

TEST_F(WindowLayout, EachEditorGivesTheGridTheRoomOfAScreenSizedWindow) {
    for (const auto& k : kHeaders) {
        FormWindow* w = openKind(k);
        ASSERT_NE(w, nullptr);
        QWidget* grid = w->widgetOf("GRID_CORRPDC");
        ASSERT_NE(grid, nullptr);
        QTRY_VERIFY(grid->isEnabled());   // the header was accepted and the rows are loaded
        const QSize designed = w->size();
        EXPECT_EQ(w->minimumSize(), designed) << "a smaller window would overlap its controls";
        expectNothingClipped(*w, "kind " + std::to_string(k.kind) + " as designed");
        expectCodesFit(*w, "kind " + std::to_string(k.kind));

        for (const auto& screen : kScreens) {
            const std::string where = "kind " + std::to_string(k.kind) + " at " + screen.name;
            w->resize(screen.size);
            QCoreApplication::processEvents();
            EXPECT_GE(shareOfWindow(grid, w), 0.6) << where;
            // The buttons keep to the bottom right corner, the navigator and the record fields
            // to the grid's bottom edge.
            QWidget* print = w->widgetOf("BUT_STAMPA");
            QPoint printCorner = print->mapTo(w->body(), QPoint(print->width(), print->height()));
            EXPECT_GE(printCorner.x(), w->body()->width() - 20) << where;
            EXPECT_GE(printCorner.y(), w->body()->height() - 20) << where;
            QWidget* account = w->widgetOf("TXT_CONTOCOIN");
            EXPECT_GT(account->y(), grid->geometry().bottom()) << where;
            EXPECT_LT(account->y() - grid->geometry().bottom(), 80) << where;
            expectNothingClipped(*w, where);
        }
        w->close();
        ASSERT_EQ(w->form(), nullptr) << "kind " << k.kind << " did not close";
    }
}

TEST_F(WindowLayout, AMaximisedEditorKeepsItsSizeWhenItsBarsChange) {
    FormWindow* w = openKind(kHeaders[0]);
    ASSERT_NE(w, nullptr);
    w->showMaximized();
    QTRY_VERIFY(w->isMaximized());
    QCoreApplication::processEvents();
    const QSize full = w->size();
    const int gridHeight = w->widgetOf("GRID_CORRPDC")->height();
    // A second toolbar row's worth of commands: the controls give up the room, the window does not grow.
    w->menuBar()->addMenu(QStringLiteral("Prova"));
    w->toolBar()->addAction(QStringLiteral("Prova"));
    w->statusBar()->setMinimumHeight(w->statusBar()->height() + 30);
    w->updateChrome();
    QCoreApplication::processEvents();
    EXPECT_EQ(w->size(), full);
    EXPECT_LE(w->widgetOf("GRID_CORRPDC")->height(), gridHeight - 30);
    expectNothingClipped(*w, "maximised with a taller status bar");
    w->close();
}

TEST_F(WindowLayout, TheIntermediariesAndCeeWindowsOpenCentredAndGrowWithTheScreen) {
    FormWindow* w = openKind(kHeaders[0]);
    ASSERT_NE(w, nullptr);
    QTRY_VERIFY(w->widgetOf("GRID_CORRPDC")->isEnabled());
    // A click on the customers' master row, then its intermediaries.
    QTableView* table = w->viewAs<gui::GridView>("GRID_CORRPDC")->table();
    QModelIndex master;
    for (int r = 0; r < table->model()->rowCount() && !master.isValid(); ++r)
        if (table->model()->index(r, 0).data().toString() == "14/01/00/0000") master = table->model()->index(r, 0);
    ASSERT_TRUE(master.isValid());
    table->scrollTo(master);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(master).center());
    QTRY_VERIFY(w->widgetOf("BUT_CORRINTERMEDI")->isVisible());
    EXPECT_EQ(w->form()->get("BUT_CORRINTERMEDI").Caption(), "Correlazione intermedi mastro clienti");
    expectNothingClipped(*w, "the customers' master row");

    auto checkOver = [&](FormWindow* child, const char* gridName) {
        ASSERT_NE(child, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(child));
        const std::string name = child->form()->name();
        EXPECT_LE((child->frameGeometry().center() - w->frameGeometry().center()).manhattanLength(), 4)
            << name << " opens centred over the editor";
        expectNothingClipped(*child, name + " as designed");
        if (gridName) expectCodesFit(*child, name);
        for (const auto& screen : kScreens) {
            child->resize(screen.size);
            QCoreApplication::processEvents();
            if (gridName) {
                EXPECT_GE(shareOfWindow(child->widgetOf(gridName), child), 0.6) << name << " " << screen.name;
            }
            expectNothingClipped(*child, name + " at " + screen.name);
        }
        child->close();
    };

    std::string opened;
    guitest::whenModal([&](QWidget* modal) {
        auto* child = qobject_cast<FormWindow*>(modal);
        if (child && child->form()) opened = child->form()->name();
        checkOver(child, "QGRID_INTERMEDI");
    });
    QTest::mouseClick(w->widgetOf("BUT_CORRINTERMEDI"), Qt::LeftButton);
    EXPECT_EQ(opened, "FRMCG_CORRINTERMEDI");

    guitest::whenModal([&](QWidget* modal) {
        auto* child = qobject_cast<FormWindow*>(modal);
        if (child && child->form()) opened = child->form()->name();
        checkOver(child, nullptr);
    });
    QTest::mouseClick(w->widgetOf("BUT_CORRINFRANNUALECEE"), Qt::LeftButton);
    EXPECT_EQ(opened, "FRMCG_CORRRICLBYCEE");
    w->close();
}

TEST_F(WindowLayout, EditorsCascadeOverTheMainWindowWhichNamesTheDatabase) {
    shell->show();
    EXPECT_TRUE(shell->windowTitle().startsWith("Brevanto — ")) << shell->windowTitle().toStdString();
    EXPECT_TRUE(shell->windowTitle().endsWith("BREVANTO.db")) << shell->windowTitle().toStdString();
    QString error;
    ASSERT_TRUE(shell->openKind(0, &error, true));
    FormWindow* first = shell->lastWindow();
    ASSERT_TRUE(shell->openKind(2, &error, true));
    FormWindow* second = shell->lastWindow();
    ASSERT_NE(first, second);
    // Down and to the right, as far as the screen leaves room (the offscreen one is 800 wide).
    const QPoint step = second->pos() - first->pos();
    EXPECT_GE(step.x(), 0);
    EXPECT_GT(step.y(), 0);
    second->close();
    first->close();

    standalone::Settings other = shell->settings();
    other.connectionString = "Provider=ODBC;Driver=FreeTDS;Server=contabilita;database=AZIENDA;UID=u;PWD=segreta;";
    shell->applySettings(other);
    EXPECT_EQ(shell->windowTitle(), "Brevanto — AZIENDA su contabilita");
    EXPECT_TRUE(shell->databaseNotice().isEmpty());
}

}  // namespace

#endif
