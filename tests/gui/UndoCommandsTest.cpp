// The "Modifica" menu of the editor on the desktop: a saved row is undone and redone in the
// database and the grid with the cursor back on the row; Ctrl+Z in the account box stays the
// box's own undo; a row changed by another session is refused with a message; "Annulla tutte
// le modifiche della sessione" asks first; the status bar says when the history is not kept.

#include <gmock/gmock.h>

#include <sqlite3.h>

#include <QAction>
#include <QLabel>

#include "EditorOnDesktop.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "gui/Shortcuts.h"
#include "gui/UndoCommands.h"
#include "journal/Journal.h"
#include "kit/QueryGrid.h"
#include "kit/RecordFrame.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;
using testing::HasSubstr;

namespace {

struct UndoOnDesktop : guitest::EditorOnDesktop {
    QStringList warnings, questions;
    bool answer = false;

    void SetUp() override {
        EditorOnDesktop::SetUp();
        journal::session().clear();
        UndoPrompts p;
        p.ask = [this](QWidget*, const QString&, const QString& text) {
            questions << text;
            return answer;
        };
        p.warn = [this](QWidget*, const QString&, const QString& text) { warnings << text; };
        shell->setUndoPrompts(p);
    }
    void TearDown() override {
        EditorOnDesktop::TearDown();
        journal::session().clear();
    }

    UndoCommands* undo() const { return w->findChild<UndoCommands*>(); }
    const kit::QueryGrid& grid() const { return gridModel()->grid(); }
    void execute(const std::string& sql) const {
        auto c = db::Connection::create();
        c->Open(shell->settings().connectionString);
        c->Execute(sql);
    }
    void click(long recordsetRow) {
        QTableView* t = table();
        const QModelIndex index = gridModel()->index(static_cast<int>(recordsetRow), 0);
        t->scrollTo(index);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(index).center());
    }
    long emptyDebitRow(long after = -1) const {
        for (long r = after + 1; r < grid().rowCount(); ++r)
            if (grid().cellValue(r, 5).toText() == "1" && grid().cellValue(r, 6).toText().empty()) return r;
        return -1;
    }
    std::string account(long row) const { return grid().cellValue(row, 1).toText(); }
    // Types an account on the row and stores it by moving down, as a user does.
    void save(long row, const char* value) {
        click(row);
        QLineEdit* box = edit("TXT_CONTOCOIN");
        QTRY_COMPARE(QApplication::focusWidget(), box);
        box->selectAll();
        QTest::keyClicks(box, value);
        QTest::keyClick(box, Qt::Key_Down);
        QTRY_COMPARE(grid().currentRow(), row + 1);
    }
};

}  // namespace

TEST_F(UndoOnDesktop, ASavedRowIsUndoneAndRedoneInTheTableAndTheGrid) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    UndoCommands* u = undo();
    ASSERT_NE(u, nullptr);
    EXPECT_FALSE(u->undoAction()->isEnabled());
    EXPECT_FALSE(u->redoAction()->isEnabled());
    EXPECT_EQ(u->undoAction()->shortcut(), QKeySequence(QString::fromLatin1(shortcuts::kUndoChange)));
    EXPECT_EQ(u->redoAction()->shortcut(), QKeySequence(QString::fromLatin1(shortcuts::kRedoChange)));

    const long row = emptyDebitRow();
    ASSERT_GE(row, 0);
    const std::string a = account(row);
    ASSERT_NO_FATAL_FAILURE(save(row, "0101001"));
    ASSERT_EQ(storedCogeTarget(a, 1), "0101001");
    QTRY_VERIFY(u->undoAction()->isEnabled());
    EXPECT_EQ(u->undoAction()->text().toStdString(), "Annulla: editor, conto " + a + " in Dare");

    // Ctrl+Z while typing in the box is the box's own undo: nothing is written.
    // (Esc first: the Avere row only proposes the Dare account, and Su would store it.)
    QLineEdit* box = edit("TXT_CONTOCOIN");
    QTest::keyClick(box, Qt::Key_Escape);
    click(row);
    QTRY_COMPARE(grid().currentRow(), row);
    ASSERT_TRUE(w->form()->setFocus(w->form()->get("TXT_CONTOCOIN")));
    w->syncFocus();
    QTRY_COMPARE(QApplication::focusWidget(), box);
    const QString shown = box->text();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "9");
    EXPECT_EQ(box->text(), shown + "9");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->text(), shown);
    EXPECT_EQ(storedCogeTarget(a, 1), "0101001");
    EXPECT_TRUE(u->undoAction()->isEnabled());
    // While the box holds an account not stored, undo refuses instead of losing it.
    box->selectAll();
    QTest::keyClicks(box, "0101002");
    EXPECT_FALSE(u->runUndo());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings.front().toStdString(), mapping::kPendingEditMessage);
    EXPECT_EQ(box->text(), "0101002");
    QTest::keyClick(box, Qt::Key_Escape);
    QTRY_COMPARE(box->text(), shown);

    click(row + 2);
    QTRY_COMPARE(grid().currentRow(), row + 2);
    u->undoAction()->trigger();
    EXPECT_EQ(storedCogeTarget(a, 1), "");
    QTRY_VERIFY(grid().cellValue(row, 6).toText().empty());
    EXPECT_EQ(grid().currentRow(), row);   // the cursor went to the row undone
    QTRY_VERIFY(u->redoAction()->isEnabled());
    EXPECT_FALSE(u->undoAction()->isEnabled());
    EXPECT_EQ(u->redoAction()->text().toStdString(), "Ripeti: editor, conto " + a + " in Dare");

    u->redoAction()->trigger();
    EXPECT_EQ(storedCogeTarget(a, 1), "0101001");
    QTRY_COMPARE(grid().cellValue(row, 6).toText(), std::string("0101001"));
    EXPECT_EQ(grid().currentRow(), row);
    EXPECT_TRUE(warnings.size() == 1) << warnings.join("\n").toStdString();
    EXPECT_TRUE(u->historyNote().isEmpty());
}

TEST_F(UndoOnDesktop, ARowChangedElsewhereIsRefusedAndUndoAllAsksFirst) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    UndoCommands* u = undo();
    const long first = emptyDebitRow(), second = emptyDebitRow(first + 1);
    ASSERT_GE(second, 0);
    const std::string a = account(first), b = account(second);
    ASSERT_NO_FATAL_FAILURE(save(first, "0101001"));
    ASSERT_NO_FATAL_FAILURE(save(second, "0101002"));

    // Another session changes the second row: its undo is refused, nothing is written.
    execute("UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0101003' WHERE CG83_CODICE_CG10 = 10 AND "
            "CG83_CODICERICL_PC01 = 101 AND CG83_CONTO_CG24 = '" + b + "' AND CG83_INDSEGNO = 1");
    EXPECT_FALSE(u->runUndo());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_THAT(warnings.front().toStdString(),
                HasSubstr("il conto " + b + " in Dare è stato cambiato da un'altra sessione (ora è correlato a 0101003)"));
    EXPECT_EQ(storedCogeTarget(b, 1), "0101003");
    EXPECT_EQ(storedCogeTarget(a, 1), "0101001");

    // Put back, undo all: "No" keeps everything, "Sì" goes back to the start.
    execute("UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0101002' WHERE CG83_CODICE_CG10 = 10 AND "
            "CG83_CODICERICL_PC01 = 101 AND CG83_CONTO_CG24 = '" + b + "' AND CG83_INDSEGNO = 1");
    EXPECT_EQ(u->runUndoAll(), 0);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_THAT(questions.front().toStdString(), HasSubstr("tutte le 2 modifiche della sessione"));
    EXPECT_EQ(storedCogeTarget(b, 1), "0101002");
    answer = true;
    EXPECT_EQ(u->runUndoAll(), 2);
    EXPECT_EQ(storedCogeTarget(a, 1), "");
    EXPECT_EQ(storedCogeTarget(b, 1), "");
    QTRY_VERIFY(grid().cellValue(first, 6).toText().empty());
    QTRY_VERIFY(!u->undoAllAction()->isEnabled());
}

TEST_F(UndoOnDesktop, WithoutTheHistoryTableTheStatusBarSaysSoAndUndoStillWorks) {
    // An object of that name the table cannot be created over (raw SQLite: the client speaks T-SQL).
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((dir.path() / "BREVANTO.db").c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, "CREATE INDEX BRV_STORICO ON CG83_COLLRICL (CG83_INDSEGNO)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    ASSERT_NO_FATAL_FAILURE(openCoge());
    UndoCommands* u = undo();
    const long row = emptyDebitRow();
    const std::string a = account(row);
    ASSERT_NO_FATAL_FAILURE(save(row, "0101001"));
    QTRY_VERIFY(!u->historyNote().isEmpty());
    EXPECT_THAT(u->historyNote().toStdString(), HasSubstr("Lo storico delle modifiche non viene conservato"));
    auto* note = w->findChild<QLabel*>("historyNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(u->runUndo());
    EXPECT_EQ(storedCogeTarget(a, 1), "");
}

#endif
