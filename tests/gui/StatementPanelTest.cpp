// "Anteprima bilancio riclassificato" beside the COGE editor on a demo database with trial
// balances at two dates: the amounts and totals shown, the date chooser, the panel following
// a correlation saved in the grid, the drill-down that goes to the grid row, the warnings
// before a print, the export; none in COIN.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "EditorOnDesktop.h"
#include "balances/BalanceTable.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "gui/StatementPanel.h"
#include "statement/PreviewLoad.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;

namespace {

struct StatementOnDesktop : guitest::EditorOnDesktop {
    QStringList warnings, printed, confirmations;
    bool printAnyway = false;
    QString exportFile;

    void SetUp() override {
        EditorOnDesktop::SetUp();
        // The demo keeps balances of its own; these tests write theirs.
        runOnHost("DROP TABLE BRV_SALDI;");
        StatementPrompts p;
        p.confirmPrint = [this](QWidget*, const QString& text) {
            confirmations << text;
            return printAnyway;
        };
        p.print = [this](QWidget*, const QString&, const QString& html) { printed << html; };
        p.chooseExportFile = [this](QWidget*, const QString&) { return exportFile; };
        p.show = [](QDialog& dialog) { dialog.show(); };
        p.warn = [this](QWidget*, const QString&, const QString& text) { warnings << text; };
        shell->setStatementPrompts(p);
    }

    // The bank (Dare only) in debit at the year end and overdrawn at mid-year, a customer in
    // credit (Dare only), a customer in debit.
    void addBalances() {
        runOnHost(std::string(balances::kCreateBalanceTable) + ";"
            "INSERT INTO BRV_SALDI VALUES (1, 10, '2025-12-31', '1801010002', 5000, 0);"
            "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1801010002', 1000, 2200);"
            "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1401010002', 0, 300);"
            "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1401010001', 12345.67, 0);");
    }
    void runOnHost(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((dir.path() / "BREVANTO.db").c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }
    StatementPanel* panel() const { return w->findChild<StatementPanel*>(); }
    const kit::QueryGrid& grid() const { return gridModel()->grid(); }
    long rowOf(const std::string& account, int sign) const {
        for (long r = 0; r < grid().rowCount(); ++r)
            if (grid().cellValue(r, 1).toText() == account && grid().cellValue(r, 5).toText() == std::to_string(sign))
                return r;
        return -1;
    }
    void click(long row) {
        QTableView* t = table();
        const QModelIndex index = gridModel()->index(static_cast<int>(row), 0);
        t->scrollTo(index);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(index).center());
    }
    // The drill-down item of an account.
    static QTreeWidgetItem* itemOf(QDialog* dialog, const QString& shownAccount) {
        auto* list = dialog->findChild<QTreeWidget*>();
        for (int i = 0; list && i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0) == shownAccount) return list->topLevelItem(i);
        return nullptr;
    }
};

TEST_F(StatementOnDesktop, TheKeyShowsTheAmountsBesideTheGridAndTheDateChooserChangesThem) {
    addBalances();
    ASSERT_NO_FATAL_FAILURE(openCoge());
    StatementPanel* p = panel();
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->isVisible());
    const int bodyWidth = w->body()->width();
    QTest::keySequence(w, QKeySequence(QStringLiteral("Ctrl+Shift+B")));
    QTRY_VERIFY(p->isVisible());
    EXPECT_TRUE(p->toggleAction()->isChecked());
    // The window widened by the panel: the form keeps its area.
    EXPECT_EQ(w->body()->width(), bodyWidth);
    EXPECT_GE(p->geometry().left(), w->body()->geometry().right());

    EXPECT_EQ(p->notice(), "");
    EXPECT_EQ(p->amountText("0202001"), "12.345,67");
    EXPECT_EQ(p->amountText("02"), "12.345,67");
    EXPECT_EQ(p->amountText(""), "-1.500,00");
    EXPECT_EQ(p->warningsButton()->text(), "&Avvisi sul segno (2)");
    ASSERT_EQ(p->dateBox()->count(), 2);
    EXPECT_EQ(p->dateBox()->currentText(), "30/06/2026");
    auto* nonCorrelato = p->tree()->topLevelItem(p->tree()->topLevelItemCount() - 1);
    EXPECT_EQ(nonCorrelato->text(1), "Non correlato");

    p->dateBox()->setFocus();
    QTest::keyClick(p->dateBox(), Qt::Key_Up);
    QTRY_COMPARE(p->dateBox()->currentText(), QStringLiteral("31/12/2025"));
    EXPECT_EQ(p->amountText("0204001"), "5.000,00");
    EXPECT_EQ(p->amountText(""), "0,00");

    QTest::keySequence(w, QKeySequence(QStringLiteral("Ctrl+Shift+B")));
    QTRY_VERIFY(!p->isVisible());
    EXPECT_EQ(w->body()->width(), bodyWidth);
}

TEST_F(StatementOnDesktop, ACorrelationSavedInTheGridMovesItsBalanceAtOnce) {
    addBalances();
    ASSERT_NO_FATAL_FAILURE(openCoge());
    panel()->setShown(true);
    ASSERT_EQ(panel()->amountText("0501003"), "0,00");

    // The overdrawn bank's Avere row gets "Debiti verso banche"; leaving the row saves it.
    const long row = rowOf("1801010002", 2);
    ASSERT_GE(row, 0);
    click(row);
    QTRY_COMPARE(grid().currentRow(), row);
    // The editor proposes the Dare account on the Avere row: the user types over it.
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CONTOCOIN", "0501003", Qt::Key_Return));
    click(row - 1);
    QTRY_COMPARE(storedCogeTarget("1801010002", 2), std::string("0501003"));

    QTRY_COMPARE(panel()->amountText("0501003"), QStringLiteral("-1.200,00"));
    EXPECT_EQ(panel()->amountText("05"), "-1.200,00");
    EXPECT_EQ(panel()->amountText(""), "-300,00");
    EXPECT_EQ(panel()->warningsButton()->text(), "&Avvisi sul segno (1)");
    // The same as reading everything again.
    panel()->reload();
    EXPECT_EQ(panel()->amountText("0501003"), "-1.200,00");
    EXPECT_EQ(panel()->amountText(""), "-300,00");
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

TEST_F(StatementOnDesktop, DoubleClicksGoFromALineToItsAccountsAndToTheGridRow) {
    addBalances();
    ASSERT_NO_FATAL_FAILURE(openCoge());
    panel()->setShown(true);
    QTreeWidgetItem* unmapped = panel()->tree()->topLevelItem(panel()->tree()->topLevelItemCount() - 1);
    QTRY_VERIFY(panel()->tree()->viewport()->height() > 0);
    panel()->tree()->scrollToItem(unmapped);
    QCoreApplication::processEvents();
    const QRect at = panel()->tree()->visualItemRect(unmapped);
    ASSERT_TRUE(panel()->tree()->viewport()->rect().contains(at.center())) << at.y() << " " << panel()->tree()->viewport()->height();
    QTest::mouseClick(panel()->tree()->viewport(), Qt::LeftButton, {}, at.center());
    QTest::mouseDClick(panel()->tree()->viewport(), Qt::LeftButton, {}, at.center());
    QDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = w->findChild<QDialog*>("statementDrillDown")) != nullptr);
    ASSERT_NE(dialog, nullptr);
    auto* list = dialog->findChild<QTreeWidget*>();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    QTreeWidgetItem* bank = itemOf(dialog, "18/01/01/0002");
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->text(1), "Banca Popolare c/c");
    EXPECT_EQ(bank->text(2), "Avere");
    EXPECT_EQ(bank->text(3), "-1.200,00");

    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    const QRect bankAt = list->visualItemRect(bank);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, bankAt.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, bankAt.center());
    QTRY_COMPARE(grid().currentRow(), rowOf("1801010002", 2));
    dialog->close();

    QDialog* w2 = panel()->openWarnings();
    ASSERT_NE(w2, nullptr);
    EXPECT_EQ(w2->findChild<QTreeWidget*>()->topLevelItemCount(), 2);
    w2->close();
}

TEST_F(StatementOnDesktop, PrintShowsTheWarningsFirstAndExportWritesTheWorkbook) {
    addBalances();
    ASSERT_NO_FATAL_FAILURE(openCoge());
    panel()->setShown(true);
    EXPECT_FALSE(panel()->print());
    ASSERT_EQ(confirmations.size(), 1);
    EXPECT_TRUE(confirmations[0].contains("2 saldi hanno un segno la cui riga non è correlata"));
    EXPECT_TRUE(confirmations[0].contains(
        "Conto 18/01/01/0002 Banca Popolare c/c: saldo Avere -1.200,00 al 30/06/2026, riga Avere non correlata"));
    EXPECT_TRUE(printed.isEmpty());
    printAnyway = true;
    EXPECT_TRUE(panel()->print());
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed[0].contains("12.345,67"));
    EXPECT_TRUE(printed[0].contains("Non correlato"));

    exportFile = QString::fromStdString((dir.path() / "anteprima").string());
    const QString written = panel()->exportTo();
    EXPECT_EQ(written, exportFile + ".xlsx");
    EXPECT_TRUE(std::filesystem::exists(written.toStdString()));
    exportFile = QString::fromStdString((dir.path() / "manca" / "x.xlsx").string());
    EXPECT_EQ(panel()->exportTo(), "");
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith("Anteprima non esportata: ")) << warnings[0].toStdString();
}

TEST_F(StatementOnDesktop, WithoutBalancesThePanelSaysSoAndCoinHasNone) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    panel()->setShown(true);
    EXPECT_EQ(panel()->notice().toStdString(), statement::kNoBalancesTableMessage);
    EXPECT_EQ(panel()->amountText("02"), "0,00");
    EXPECT_FALSE(panel()->warningsButton()->isEnabled());
    w->close();
    w = nullptr;
    ASSERT_NO_FATAL_FAILURE(open(1));
    EXPECT_EQ(panel(), nullptr);
}

}  // namespace

#endif
