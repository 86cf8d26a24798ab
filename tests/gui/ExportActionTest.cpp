// "Esporta in Excel…" of the correlation editor on the desktop: in the window's menu and
// toolbar, disabled until the header is confirmed; Ctrl+E then exports through the module's
// handler into the file the user chose (proposed from the kind and the charts), the workbook
// holds what the grid shows and the user is offered to open it. After a chart without
// accounts only the header fields are exported. A folder that does not exist is told in
// Italian and nothing is offered.

#include <gtest/gtest.h>

#include <QAction>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "EditorOnDesktop.h"
#include "db/Connection.h"
#include "gui/EditorExport.h"
#include "support/XlsxReadBack.h"

#ifdef BREVANTO_MODULE_FILE

namespace {

struct ExportOnDesktop : guitest::EditorOnDesktop {
    QStringList suggested, offers, opened;
    QString chosen;

    void SetUp() override {
        EditorOnDesktop::SetUp();
        gui::ExportPrompts prompts;
        prompts.chooseFile = [this](QWidget*, const QString& s) {
            suggested << s;
            return chosen;
        };
        prompts.offerOpen = [this](QWidget*, const QString& text) {
            offers << text;
            return true;
        };
        prompts.openFile = [this](const QString& file) {
            opened << file;
            return true;
        };
        shell->setExportPrompts(prompts);
    }
    QAction* exportAction() const { return w->findChild<QAction*>("exportToExcel"); }
    void typeHeader() {
        ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "10"));
        ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", "101"));
        QTRY_VERIFY(gridModel()->rowCount() > 0);
    }
};

TEST_F(ExportOnDesktop, CtrlEWritesWhatTheGridShowsOnceTheHeaderIsConfirmed) {
    ASSERT_NO_FATAL_FAILURE(open(0));
    QAction* action = exportAction();
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "&Esporta in Excel…");
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    ASSERT_GE(w->menuBar()->actions().size(), 1);
    EXPECT_EQ(w->menuBar()->actions()[0]->text(), "&File");
    EXPECT_TRUE(w->menuBar()->actions()[0]->menu()->actions().contains(action));
    EXPECT_TRUE(w->toolBar()->actions().contains(action));
    // The bars sit above the controls, which keep the whole area they were laid out in.
    EXPECT_EQ(w->body()->y(), w->menuBar()->height() + w->toolBar()->height());
    EXPECT_GT(w->toolBar()->height(), 0);
    EXPECT_EQ(w->body()->height(), w->height() - w->body()->y());
    EXPECT_LE(w->widgetOf("BUT_STAMPA")->geometry().bottom(), w->body()->height());

    // Nothing to export before the header: Ctrl+E does nothing.
    EXPECT_FALSE(action->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(suggested.isEmpty());

    ASSERT_NO_FATAL_FAILURE(typeHeader());
    EXPECT_TRUE(action->isEnabled());
    chosen = QString::fromStdString((dir.path() / "elenco").string());   // the suffix is added
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::ControlModifier);
    QTRY_COMPARE(opened.size(), 1);
    ASSERT_EQ(suggested.size(), 1);
    EXPECT_TRUE(suggested[0].endsWith("/Correlazioni COGE 10-101.xlsx")) << suggested[0].toStdString();
    const auto file = dir.path() / "elenco.xlsx";
    EXPECT_EQ(opened[0].toStdString(), file.string());
    const int rows = gridModel()->rowCount();
    ASSERT_EQ(offers.size(), 1);
    EXPECT_TRUE(offers[0].startsWith(QStringLiteral("Esportate %1 righe in \"%2\"")
                                         .arg(QLocale(QLocale::Italian).toString(rows), QString::fromStdString(file.string()))))
        << offers[0].toStdString();

    const auto sheet = testsupport::readXlsx(file).at(0);
    const long header = sheet.rowOf("Conto contabile");
    ASSERT_GE(header, 0);
    ASSERT_EQ(sheet.rows.size(), static_cast<std::size_t>(header + 1 + rows));
    // The cells the grid shows; the grid masks the account code, the export gives it plain.
    for (int r : {0, 1, 2, 3, rows - 2, rows - 1}) {
        for (int c = 0; c < 5; ++c) {
            std::string shown = cell(r, c);
            if (c == 0) std::erase(shown, '/');
            EXPECT_EQ(sheet.text(static_cast<std::size_t>(header + 1 + r), static_cast<std::size_t>(c)), shown)
                << "row " << r << " column " << c;
        }
    }
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
}

TEST_F(ExportOnDesktop, AFolderThatDoesNotExistIsToldAndNothingIsOffered) {
    ASSERT_NO_FATAL_FAILURE(open(0));
    ASSERT_NO_FATAL_FAILURE(typeHeader());
    chosen = QString::fromStdString((dir.path() / "manca" / "elenco.xlsx").string());
    exportAction()->trigger();
    QTRY_COMPARE(boxes->texts().size(), 1);
    EXPECT_TRUE(boxes->texts()[0].contains("Impossibile scrivere il file")) << boxes->texts()[0].toStdString();
    EXPECT_TRUE(boxes->texts()[0].contains("non esiste")) << boxes->texts()[0].toStdString();
    EXPECT_TRUE(offers.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
    // Cancelling the file dialog writes nothing and says nothing.
    chosen.clear();
    exportAction()->trigger();
    EXPECT_EQ(suggested.size(), 2);
    EXPECT_EQ(boxes->texts().size(), 1);
}

TEST_F(ExportOnDesktop, AfterAChartWithoutAccountsOnlyTheHeaderFieldsAreExported) {
    {
        auto c = db::Connection::create();
        c->Open(gui::sqliteConnectionString(dir.path()));
        c->Execute("INSERT INTO CG10_DESPDC (CG10_GRUPPO, CG10_DESCR, CG10_MASKEDIT, CG10_NUMLIVELLI, CG10_NUMLIVCONS) "
                   "VALUES (81, 'Piano vuoto', 'xx/xx/xx/xxxx', 4, 2)");
        c->Close();
    }
    ASSERT_NO_FATAL_FAILURE(open(0));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "81"));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", "101"));
    QTRY_COMPARE(boxes->texts().size(), 1);
    EXPECT_EQ(boxes->texts()[0].toStdString(), "Non è stato definito nessun conto del piano dei conti impostato.");
    EXPECT_EQ(gridModel()->rowCount(), 0);

    ASSERT_TRUE(exportAction()->isEnabled());
    chosen = QString::fromStdString((dir.path() / "vuoto.xlsx").string());
    exportAction()->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(suggested[0].endsWith("/Correlazioni COGE 81-101.xlsx")) << suggested[0].toStdString();
    EXPECT_TRUE(offers[0].startsWith("Esportate 0 righe")) << offers[0].toStdString();
    const auto sheet = testsupport::readXlsx(dir.path() / "vuoto.xlsx").at(0);
    ASSERT_EQ(sheet.rows.size(), 6u);   // title, blank, four pairs
    EXPECT_EQ(sheet.text(2, 0), "Codice PdC contabile");
    EXPECT_EQ(sheet.text(2, 1), "81");
    EXPECT_EQ(sheet.text(3, 1), "Piano vuoto");
    EXPECT_EQ(sheet.text(4, 1), "101");
    EXPECT_EQ(sheet.rowOf("Conto contabile"), -1);
}

}  // namespace

#endif
