#pragma once
// The desktop shell over a fresh demo database per test, with the module library of the
// build: opens a correlation kind and types into the editor's real widgets as a user does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <memory>

#include "../support/TestSupport.h"
#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "gui/DesktopShell.h"
#include "gui/QueryGridModel.h"
#include "gui/ShellSetup.h"

#ifdef BREVANTO_MODULE_FILE

namespace guitest {

// A shell over a fresh demo database per test (tests write correlations).
struct EditorOnDesktop : ::testing::Test {
    testsupport::TempDir dir;
    std::unique_ptr<BoxAnswerer> boxes;
    std::unique_ptr<gui::DesktopShell> shell;
    gui::FormWindow* w = nullptr;

    void SetUp() override {
        gui::createDemoDatabase(dir.path());
        boxes = std::make_unique<BoxAnswerer>();
        gui::DesktopShell::Options o;
        o.settings = standalone::defaultSettings();
        o.settings.connectionString = gui::sqliteConnectionString(dir.path());
        o.settings.modal = false;
        o.settingsFile = dir.path() / "brevanto.conf";
        o.module = BREVANTO_MODULE_FILE;
        shell = std::make_unique<gui::DesktopShell>(o);
    }
    void TearDown() override {
        if (w && w->form()) w->close();
        shell.reset();
        boxes.reset();
    }

    // Opens a kind and waits until its window is the active one.
    void open(int kind) {
        QString error;
        ASSERT_TRUE(shell->openKind(kind, &error, true)) << error.toStdString();
        w = shell->lastWindow();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    QLineEdit* edit(const char* name) const {
        auto* view = w->viewAs<gui::TextBoxView>(name);
        return view ? view->lineEdit() : nullptr;
    }
    std::string focusedControl() const {
        return w->form() && w->form()->focused() ? w->form()->focused()->name() : "<none>";
    }
    // Puts the cursor into a header field, types the code and confirms it with `key`.
    void typeField(const char* name, const char* code, Qt::Key key = Qt::Key_Tab) {
        QLineEdit* e = edit(name);
        ASSERT_NE(e, nullptr) << name;
        ASSERT_TRUE(w->form()->setFocus(w->form()->get(name))) << name;
        QTRY_COMPARE(QApplication::focusWidget(), e);
        e->selectAll();
        QTest::keyClicks(e, code);
        QTest::keyClick(e, key);
    }
    // Opens COGE on chart 10 and a reclassification chart, and waits for the list.
    void openCoge(const char* recl = "101") {
        ASSERT_NO_FATAL_FAILURE(open(0));
        ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "10"));
        ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", recl));
        QTRY_VERIFY(gridModel()->rowCount() > 0);
    }
    // The COGE correlation stored for chart 10 and reclassification chart 101 ("" for none),
    // read on a connection of its own.
    std::string storedCogeTarget(const std::string& account, int sign) const {
        auto c = db::Connection::create();
        c->Open(shell->settings().connectionString);
        auto rs = c->Execute("SELECT CG83_CONTORICL_PC03 AS T FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                             "CG83_CODICERICL_PC01 = 101 AND CG83_CONTO_CG24 = '" + account +
                             "' AND CG83_INDSEGNO = " + std::to_string(sign));
        return rs->Eof() ? "" : rs->value("T").toText();
    }
    const gui::QueryGridModel* gridModel() const {
        auto* grid = w->viewAs<gui::GridView>("GRID_CORRPDC");
        return grid ? grid->model() : nullptr;
    }
    QTableView* table() const { return w->viewAs<gui::GridView>("GRID_CORRPDC")->table(); }
    std::string cell(int r, int c) const {
        const auto* m = gridModel();
        return m->data(m->index(r, c)).toString().toStdString();
    }
    int currentRow() const { return table()->currentIndex().row(); }
};

}  // namespace guitest

#endif
