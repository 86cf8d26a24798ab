// The "Bilancio" menu of the editor on the desktop: the trial balance of the list's company and
// chart at the date the user gives, its preview with counts and reasons ("Applica" never the
// default, off while a row is refused or nothing changes), written only by "Applica", and the
// status bar saying what was written. The analytic kind has no such menu.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "EditorOnDesktop.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "gui/BalanceCommands.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;

namespace {

struct BalanceOnDesktop : guitest::EditorOnDesktop {
    QStringList warnings;
    QString file;
    std::optional<QDate> date = QDate(2026, 12, 31);
    QDate proposed;
    int reviews = 0;
    // How the test answers the preview (false: "Annulla"); what it saw.
    std::function<bool(BalancePreviewDialog&)> answer = [](BalancePreviewDialog&) { return false; };

    void SetUp() override {
        EditorOnDesktop::SetUp();
        BalancePrompts p;
        p.chooseFile = [this](QWidget*) { return file; };
        p.chooseDate = [this](QWidget*, const QDate& offered) {
            proposed = offered;
            return date;
        };
        p.review = [this](BalancePreviewDialog& preview) {
            ++reviews;
            return answer(preview);
        };
        p.warn = [this](QWidget*, const QString&, const QString& text) { warnings << text; };
        shell->setBalancePrompts(p);
    }
    BalanceCommands* commands() const { return w->findChild<BalanceCommands*>(QString(), Qt::FindDirectChildrenOnly); }
    void writeBalance(const std::string& text) {
        const auto path = dir.path() / "bilancio.csv";
        std::ofstream(path, std::ios::binary) << text;
        file = QString::fromStdString(path.string());
    }
    long stored(const std::string& where = "") const {
        auto c = db::Connection::create();
        c->Open(shell->settings().connectionString);
        return c->Execute("SELECT COUNT(*) AS N FROM BRV_SALDI WHERE BRV_DATA = '2026-12-31'" + where)->value("N").toInt32();
    }
    static bool pressApply(BalancePreviewDialog& preview) {
        preview.show();
        if (!preview.applyButton()->isEnabled()) return false;
        QTest::mouseClick(preview.applyButton(), Qt::LeftButton);
        return preview.result() == QDialog::Accepted;
    }
};

}  // namespace

TEST_F(BalanceOnDesktop, TheMenuWaitsForTheListAndIsAbsentInTheAnalyticKind) {
    ASSERT_NO_FATAL_FAILURE(open(0));
    ASSERT_NE(commands(), nullptr);
    QAction* import = commands()->importAction();
    ASSERT_NE(import, nullptr);
    QMenu* menu = nullptr;
    for (QAction* a : w->menuBar()->actions())
        if (a->text() == "Bilanci&o") menu = a->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(import));
    EXPECT_EQ(import->text(), "&Importa bilancio di verifica…");
    EXPECT_FALSE(import->isEnabled());
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "10"));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", "101"));
    QTRY_VERIFY(import->isEnabled());
    w->close();
    w = nullptr;

    ASSERT_NO_FATAL_FAILURE(open(1));
    EXPECT_EQ(w->findChild<QAction*>("importBalance"), nullptr);
    for (QAction* a : w->menuBar()->actions()) EXPECT_NE(a->text(), "Bilanci&o");
}

TEST_F(BalanceOnDesktop, ARefusedRowKeepsApplicaOffAndNothingIsWritten) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    writeBalance("Conto;Dare;Avere\r\n1801010001;1.000,00;\r\n1801010001;5;\r\nNONCE;1;0\r\n");
    QString reasons, summary;
    answer = [&](BalancePreviewDialog& preview) {
        preview.show();
        EXPECT_FALSE(preview.applyButton()->isEnabled());
        EXPECT_FALSE(preview.applyButton()->isDefault());
        summary = preview.summary();
        const auto* model = preview.model();
        for (int r = 0; r < model->rowCount(); ++r)
            reasons += model->data(model->index(r, BalanceRowsModel::Reason)).toString() + "\n";
        EXPECT_TRUE(preview.notes().contains("Attenzione: il bilancio non quadra")) << preview.notes().toStdString();
        return true;   // even an accepted dialog writes nothing while Applica is off
    };
    EXPECT_EQ(commands()->runImport(), 0);
    EXPECT_EQ(reviews, 1);
    EXPECT_TRUE(summary.startsWith("1 aggiunta, 0 modificate, 0 eliminate, 0 invariate, 2 rifiutate")) << summary.toStdString();
    EXPECT_TRUE(reasons.contains("Conto ripetuto: è già alla riga 2")) << reasons.toStdString();
    EXPECT_TRUE(reasons.contains("Conto non presente nel piano dei conti 10")) << reasons.toStdString();
    EXPECT_EQ(stored(), 0);
}

TEST_F(BalanceOnDesktop, ApplicaWritesTheBalanceOfTheDateAndTheStatusBarSaysSo) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    writeBalance("Conto;Dare;Avere\r\n1801010001;1.000,00;\r\n2601010001;;1.000,00\r\n");
    // Cancelling the date stops before any preview.
    date.reset();
    EXPECT_EQ(commands()->runImport(), 0);
    EXPECT_EQ(reviews, 0);
    EXPECT_EQ(proposed.month(), 12);
    EXPECT_EQ(proposed.day(), 31);

    date = QDate(2026, 12, 31);
    EXPECT_EQ(commands()->runImport(), 0);   // "Annulla"
    EXPECT_EQ(reviews, 1);
    EXPECT_EQ(stored(), 0);

    answer = [](BalancePreviewDialog& preview) {
        EXPECT_EQ(preview.preview().target.chart, 10);
        EXPECT_TRUE(preview.findChild<QLabel*>("source")->text().contains("bilancio al 31/12/2026"));
        return pressApply(preview);
    };
    EXPECT_EQ(commands()->runImport(), 2);
    EXPECT_EQ(stored(), 2);
    EXPECT_EQ(stored(" AND BRV_CONTO = '2601010001' AND BRV_AVERE = 1000"), 1);
    EXPECT_EQ(w->statusBar()->currentMessage().toStdString(),
              "Bilancio al 31/12/2026 scritto: 2 righe (2 aggiunte, 0 modificate, 0 eliminate, 0 invariate, 0 rifiutate)");
    EXPECT_EQ(proposed, QDate(2026, 12, 31));   // the last date is offered again

    // The same file again: nothing to write, Applica off.
    answer = [](BalancePreviewDialog& preview) {
        preview.show();
        EXPECT_FALSE(preview.applyButton()->isEnabled());
        EXPECT_EQ(preview.preview().count(mapping::RowStatus::Unchanged), 2);
        return false;
    };
    EXPECT_EQ(commands()->runImport(), 0);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

TEST(BalanceDatePrompt, TheDateIsAskedTheItalianWayAndCancelMeansNone) {
    QString shown;
    const auto answer = [&shown](bool accept) {
        QTimer::singleShot(0, [&shown, accept] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* edit = dialog->findChild<QDateEdit*>("balanceDate");
            ASSERT_NE(edit, nullptr);
            shown = edit->text();
            edit->setDate(QDate(2026, 6, 30));
            accept ? dialog->accept() : dialog->reject();
        });
    };
    const BalancePrompts prompts = qtBalancePrompts();
    answer(true);
    EXPECT_EQ(prompts.chooseDate(nullptr, QDate(2025, 12, 31)), QDate(2026, 6, 30));
    EXPECT_EQ(shown.toStdString(), "31/12/2025");
    answer(false);
    EXPECT_EQ(prompts.chooseDate(nullptr, QDate(2025, 12, 31)), std::nullopt);
}

#endif
