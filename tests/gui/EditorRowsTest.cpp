// What the desktop adds to a correlation editor for finding its way through the rows: the
// counts in the status bar after saves, deletes, undos and a CEE run; "Solo non correlati"
// and F8; the find bar. Every move goes through the row change a click makes, so an account
// the editor refuses keeps the row and is not written.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <regex>

#include "EditorOnDesktop.h"
#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "gui/CeeRunInfo.h"
#include "gui/EditorFindBar.h"
#include "gui/EditorStatus.h"
#include "gui/UnmappedRows.h"
#include "kit/RecordFrame.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;
using guitest::EditorOnDesktop;

namespace {

struct Counts {
    long accounts = -1, rows = -1, debit = -1, debitRows = -1, credit = -1, creditRows = -1;
    bool operator==(const Counts&) const = default;
};

Counts parse(const QString& text) {
    static const std::regex pattern(R"((\d+) conti, (\d+) righe · Dare (\d+)/(\d+) · Avere (\d+)/(\d+))");
    std::smatch m;
    const std::string s = text.toStdString();
    Counts c;
    if (std::regex_match(s, m, pattern))
        c = {std::stol(m[1]), std::stol(m[2]), std::stol(m[3]), std::stol(m[4]), std::stol(m[5]), std::stol(m[6])};
    return c;
}

struct EditorRows : EditorOnDesktop {
    long scalar(const std::string& sql) const {
        auto c = db::Connection::create();
        c->Open(shell->settings().connectionString);
        return c->Execute(sql)->value("N").toInt32();
    }
    long stored(int sign, int recl = 101) const {
        return scalar("SELECT COUNT(*) AS N FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = " +
                      std::to_string(recl) + " AND CG83_INDSEGNO = " + std::to_string(sign));
    }
    void openCoge(const char* recl = "101") {
        ASSERT_NO_FATAL_FAILURE(EditorOnDesktop::openCoge(recl));
        QTRY_VERIFY(counts().rows > 0);
    }
    template <class T>
    T* part() const {
        return w->findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
    }
    Counts counts() const {
        QCoreApplication::processEvents();
        return parse(part<EditorStatus>()->text());
    }
    const kit::QueryGrid& grid() const { return gridModel()->grid(); }
    void key(int k, Qt::KeyboardModifiers m = {}) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QTest::keyClick(target, static_cast<Qt::Key>(k), m);
    }
    void click(int modelRow) {
        QTableView* t = table();
        t->scrollTo(gridModel()->index(modelRow, 0));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(gridModel()->index(modelRow, 0)).center());
    }
    long rowOf(const QString& masked) const {
        for (long r = 0; r < grid().rowCount(); ++r)
            if (QString::fromStdString(grid().cellText(r, 3)) == masked) return r;
        return -1;
    }
};

TEST_F(EditorRows, TheStatusBarCountsAfterASaveADeleteAndAnUndo) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const Counts start = counts();
    ASSERT_GT(start.rows, 0) << part<EditorStatus>()->text().toStdString();
    EXPECT_EQ(start.rows, gridModel()->rowCount());
    EXPECT_EQ(start.accounts * 2, start.rows);
    EXPECT_EQ(start.debitRows, start.accounts);
    EXPECT_EQ(start.debit, stored(1));
    EXPECT_EQ(start.credit, stored(2));

    // Saved: a Dare row more.
    const long row = rowOf("01/01/02/0001");
    ASSERT_GE(row, 0);
    click(static_cast<int>(row));
    QLineEdit* box = edit("TXT_CONTOCOIN");
    QTRY_COMPARE(QApplication::focusWidget(), box);
    box->selectAll();
    QTest::keyClicks(box, "0101001");
    QTest::keyClick(box, Qt::Key_Down);
    QTRY_COMPARE(grid().currentRow(), row + 1);
    Counts saved = start;
    ++saved.debit;
    QTRY_COMPARE(counts(), saved);
    EXPECT_EQ(stored(1), saved.debit);

    // The frame's delete removes the correlation: back where it was, in the table too.
    click(static_cast<int>(row));
    QTRY_COMPARE(grid().currentRow(), row);
    grid().attachedFrame()->Delete();   // the editor keeps the row: the frame reports no delete
    QTRY_COMPARE(counts(), start);
    EXPECT_EQ(stored(1), start.debit);

    // Undo blanks a stored row on screen only.
    click(0);
    QTRY_COMPARE(grid().currentRow(), 0L);
    ASSERT_FALSE(cell(0, 3).empty());
    grid().attachedFrame()->Undo();
    Counts undone = start;
    --undone.debit;
    QTRY_COMPARE(counts(), undone);
    EXPECT_EQ(stored(1), start.debit);
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
}

TEST_F(EditorRows, SoloNonCorrelatiShowsTheEmptyRowsAndF8MovesAsAClickDoes) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const Counts all = counts();
    auto* rows = part<UnmappedRows>();
    ASSERT_NE(rows, nullptr);
    EXPECT_TRUE(rows->nextAction()->toolTip().endsWith("(F8)"));

    click(0);
    QTRY_COMPARE(grid().currentRow(), 0L);
    key(Qt::Key_F8, Qt::ControlModifier);
    ASSERT_TRUE(rows->filterAction()->isChecked());
    // The current (correlated) row stays; every other row shown has no account.
    const auto* model = gridModel();
    EXPECT_EQ(model->rowCount(), 1 + (all.debitRows - all.debit) + (all.creditRows - all.credit));
    for (int r = 1; r < model->rowCount(); ++r) ASSERT_EQ(cell(r, 3), "") << r;

    // F8: the next empty row, with everything a click brings (the search box shows the
    // row's account, the cursor goes into the account box of an empty row).
    key(Qt::Key_F8);
    const long target = model->recordsetRow(1);
    QTRY_COMPARE(grid().currentRow(), target);
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(edit("TXT_CONTO")->text().remove('/').toStdString(),
              grid().cellValue(target, 1).toText());

    // A row that gets its account stays in view while the filter is on; the row the editor
    // moves to on Down is shown too.
    QLineEdit* box = edit("TXT_CONTOCOIN");
    QTest::mouseClick(box, Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), box);
    box->selectAll();
    QTest::keyClicks(box, "0101001");
    QTest::keyClick(box, Qt::Key_Down);
    QTRY_COMPARE(grid().currentRow(), target + 1);
    EXPECT_EQ(cell(1, 3), "0101001");
    EXPECT_EQ(model->recordsetRow(currentRow()), target + 1);
    key(Qt::Key_F8);
    QTRY_VERIFY(grid().currentRow() > target + 1);
    EXPECT_EQ(cell(1, 3), "0101001");
    // Shift+F8 goes back to an empty row before it (the saved one has its account now).
    const long here = grid().currentRow();
    key(Qt::Key_F8, Qt::ShiftModifier);
    QTRY_VERIFY(grid().currentRow() != here);
    EXPECT_TRUE(grid().cellValue(grid().currentRow(), 6).toText().empty() ||
                grid().isProvisionalCell(grid().currentRow(), 6));

    key(Qt::Key_F8, Qt::ControlModifier);
    EXPECT_FALSE(rows->filterAction()->isChecked());
    EXPECT_EQ(model->rowCount(), all.rows);
    EXPECT_EQ(model->recordsetRow(currentRow()), grid().currentRow());
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
}

TEST_F(EditorRows, AnAccountTheEditorRefusesKeepsTheRowOnF8AndOnFind) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const long row = rowOf("01/01/02/0001");
    click(static_cast<int>(row));
    QLineEdit* box = edit("TXT_CONTOCOIN");
    QTRY_COMPARE(QApplication::focusWidget(), box);
    box->selectAll();
    QTest::keyClicks(box, "9999999");

    QTest::keyClick(box, Qt::Key_F8);
    QTRY_COMPARE(boxes->texts().size(), 1);
    EXPECT_EQ(boxes->texts().front().toStdString(), "Conto inesistente.");
    EXPECT_EQ(grid().currentRow(), row);

    auto* find = part<EditorFindBar>();
    ASSERT_NE(find, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));   // the message box gave the window back
    QTest::keyClick(box, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find->bar()->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(find->edit()));
    QTest::keyClicks(find->edit(), "software");
    QTest::keyClick(find->edit(), Qt::Key_Return);
    QTRY_COMPARE(boxes->texts().size(), 2);
    EXPECT_EQ(grid().currentRow(), row);
    EXPECT_EQ(stored(1), scalar("SELECT COUNT(*) AS N FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                                "CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 1 AND CG83_CONTORICL_PC03 <> '9999999'"));
    EXPECT_EQ(scalar("SELECT COUNT(*) AS N FROM CG83_COLLRICL WHERE CG83_CONTORICL_PC03 = '9999999'"), 0);
}

TEST_F(EditorRows, TheFindBarFindsMaskedAndPlainCodesAndDescriptionsWithoutAccents) {
    {
        auto c = db::Connection::create();
        c->Open(shell->settings().connectionString);
        c->Execute("UPDATE CG24_TABPDC SET CG24_DESCR = 'Attività di ricerca' WHERE CG24_GRUPPO_CG10 = 10 AND "
                   "CG24_CONTO = '0101010002'");
    }
    ASSERT_NO_FATAL_FAILURE(openCoge());
    auto* find = part<EditorFindBar>();
    EXPECT_FALSE(find->bar()->isVisible());
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find->bar()->isVisible());
    auto search = [&](const QString& text) {
        find->edit()->setText(text);
        return find->findNext();
    };
    const long masked = rowOf("01/02/01/0001");
    ASSERT_GT(masked, 0);
    EXPECT_TRUE(search("01/02/01/0001"));
    EXPECT_EQ(grid().currentRow(), masked);
    EXPECT_EQ(currentRow(), masked);
    EXPECT_TRUE(search("0101020002"));
    EXPECT_EQ(grid().currentRow(), rowOf("01/01/02/0002"));
    // Case and accents do not matter; the description is found from the current row on.
    EXPECT_TRUE(search("ATTIVITA"));
    EXPECT_EQ(grid().currentRow(), rowOf("01/01/01/0002"));
    // F3: the same account's other sign, then around the end back to the first.
    const long first = grid().currentRow();
    key(Qt::Key_F3);
    QTRY_COMPARE(grid().currentRow(), first + 1);
    key(Qt::Key_F3);
    QTRY_COMPARE(grid().currentRow(), first);

    EXPECT_FALSE(search("zzz nessuno"));
    EXPECT_EQ(find->noticeLabel()->text().toStdString(), "Nessuna riga per «zzz nessuno».");
    EXPECT_EQ(grid().currentRow(), first);
    find->edit()->setFocus();
    QTest::keyClick(find->edit(), Qt::Key_Escape);
    EXPECT_FALSE(find->bar()->isVisible());
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
}

TEST_F(EditorRows, TheCeeWindowNamesItsChartsAndTheEditorSaysWhatTheRunWrote) {
    ASSERT_NO_FATAL_FAILURE(openCoge("103"));
    const Counts before = counts();
    const long storedBefore = stored(1, 103) + stored(2, 103);
    QString charts;
    guitest::whenModal([&](QWidget* modal) {
        auto* cee = qobject_cast<FormWindow*>(modal);
        ASSERT_NE(cee, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(cee));
        auto* info = cee->findChild<CeeRunInfo*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(info, nullptr);
        charts = info->chartsText();
        auto* code = cee->viewAs<TextBoxView>("TXT_CEE_COD")->lineEdit();
        cee->form()->setFocus(cee->form()->get("TXT_CEE_COD"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(code));
        QTest::keyClicks(code, "82");
        QTest::keyClick(code, Qt::Key_Tab);
        QTest::mouseClick(cee->widgetOf("BUT_ELABORA"), Qt::LeftButton);
        if (cee->form()) cee->close();
    });
    QTest::mouseClick(w->widgetOf("BUT_CORRINFRANNUALECEE"), Qt::LeftButton);
    EXPECT_EQ(charts.section('\n', 0, 0).toStdString(), "Piano dei conti 10 – " + edit("TXT_DESC_PDC")->text().toStdString());
    EXPECT_TRUE(charts.section('\n', 1, 1).startsWith("Bilanci infrannuali 103 – ")) << charts.toStdString();
    EXPECT_GT(edit("TXT_DESC_PDC")->text().size(), 0);

    const long written = stored(1, 103) + stored(2, 103) - storedBefore;
    ASSERT_GT(written, 0) << boxes->texts().join("\n").toStdString();
    EXPECT_TRUE(w->statusBar()->currentMessage().startsWith(
        QStringLiteral("Bilanci infrannuali: %1 correlazioni scritte (%1 nuove").arg(written)))
        << w->statusBar()->currentMessage().toStdString();
    // The editor's list was filled again: the counts follow.
    QTRY_COMPARE(counts().debit + counts().credit, before.debit + before.credit + written);
}

}  // namespace

#endif
