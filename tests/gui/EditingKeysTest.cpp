// The keys an accountant expects in the correlation editor: Canc on a row removes its
// correlation after a question, Esc in the account box puts back the stored account, Ctrl+Z
// undoes typing, every button has its own Alt letter, Tab follows the eye, the focused button
// or grid shows a frame, and F1 lists the keys.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "EditorOnDesktop.h"
#include "db/Connection.h"
#include "gui/FocusRing.h"
#include "gui/KeysPage.h"
#include "gui/Mnemonics.h"
#include "gui/Shortcuts.h"
#include "kit/AccountBoxes.h"
#include "kit/Form.h"
#include "support/TestSupport.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;

namespace {

struct EditingKeys : guitest::EditorOnDesktop {
    // COGE on chart 10 and reclassification 101, the grid filled.
    // The stored reclassified account of a ledger account and sign ("<none>" without a row).
    std::string stored(const std::string& account, int sign) const {
        return testsupport::queryValue(gui::sqliteConnectionString(dir.path()),
                                       "SELECT CG83_CONTORICL_PC03 FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                                       "CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = " + std::to_string(sign) +
                                       " AND CG83_CONTO_CG24 = '" + account + "'");
    }
    // The first sign-1 row holding a correlation, and its account without the mask.
    int correlatedRow(std::string& account) const {
        for (int r = 0; r < gridModel()->rowCount(); r += 2)
            if (!cell(r, 3).empty()) {
                account = cell(r, 0);
                account.erase(std::remove(account.begin(), account.end(), '/'), account.end());
                return r;
            }
        return -1;
    }
    void clickRow(int row) {
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                          table()->visualRect(gridModel()->index(row, 0)).center());
        QTRY_COMPARE(currentRow(), row);
    }
    // COGE open and the cursor in the account box of the first correlated row.
    int row = -1;
    std::string account, before;
    QLineEdit* box = nullptr;
    void intoCorrelatedRow() {
        ASSERT_NO_FATAL_FAILURE(openCoge());
        row = correlatedRow(account);
        ASSERT_GE(row, 0);
        clickRow(row);
        before = cell(row, 3);
        box = accountBox();
    }
    QLineEdit* accountBox() {
        QLineEdit* box = edit("TXT_CONTOCOIN");
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        return box;
    }
    const kit::CoinAccountBox& accountModel() const { return w->form()->get<kit::CoinAccountBox>("TXT_CONTOCOIN"); }
    // The buttons a user can press: the module's buttons and the navigator's.
    std::vector<QAbstractButton*> pressable() const {
        std::vector<QAbstractButton*> out;
        for (const auto& v : w->views()) {
            if (auto* b = dynamic_cast<ButtonView*>(v.get()); b && b->button()->isVisible()) out.push_back(b->button());
            if (auto* nav = dynamic_cast<NavigatorView*>(v.get()))
                for (const auto& [name, tb] : nav->buttons())
                    if (tb->isVisible()) out.push_back(tb);
        }
        return out;
    }
};

TEST_F(EditingKeys, CancOnARowAsksAndRemovesItsCorrelationOnlyOnSi) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    std::string account;
    const int row = correlatedRow(account);
    ASSERT_GE(row, 0);
    const std::string before = stored(account, 1);
    ASSERT_NE(before, "<none>");
    clickRow(row);
    ASSERT_EQ(QApplication::focusWidget(), table());

    // No (the default): nothing changes.
    QTest::keyClick(table(), Qt::Key_Delete);
    ASSERT_EQ(boxes->texts(), QStringList{"Eliminare la correlazione?"});
    EXPECT_EQ(stored(account, 1), before);
    EXPECT_EQ(cell(row, 3), before);

    // Sì: the frame's delete removes the correlation and keeps the row.
    boxes.reset();
    guitest::whenModal([](QWidget* m) { qobject_cast<QMessageBox*>(m)->button(QMessageBox::Yes)->click(); });
    QTest::keyClick(table(), Qt::Key_Delete);
    EXPECT_EQ(stored(account, 1), "<none>");
    EXPECT_EQ(cell(row, 3), "");
    EXPECT_EQ(currentRow(), row);
    EXPECT_EQ(cell(row, 0).empty(), false);

    // A row with nothing stored: no question, nothing written.
    boxes = std::make_unique<guitest::BoxAnswerer>();
    QTest::keyClick(table(), Qt::Key_Delete);
    QTest::qWait(100);
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
}

TEST_F(EditingKeys, CancAndCtrlZInTheAccountBoxEditTheText) {
    ASSERT_NO_FATAL_FAILURE(intoCorrelatedRow());
    ASSERT_EQ(box->text().toStdString(), before);

    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text().toStdString(), before.substr(1));
    EXPECT_EQ(accountModel().Text(), before.substr(1));
    EXPECT_TRUE(boxes->texts().isEmpty());

    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->text().toStdString(), before);
    EXPECT_EQ(accountModel().Text(), before);
    QTest::keyClicks(box, "9");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(accountModel().Text(), before);
    EXPECT_EQ(stored(account, 1), before);
    EXPECT_EQ(QApplication::focusWidget(), box);
}

TEST_F(EditingKeys, EscPutsBackTheStoredAccountWritingNothingAndASecondEscDoesWhatItDid) {
    ASSERT_NO_FATAL_FAILURE(intoCorrelatedRow());

    // Typed and not confirmed.
    box->selectAll();
    QTest::keyClicks(box, "0101001");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text().toStdString(), before);
    EXPECT_EQ(accountModel().Value(), before);

    // Typed and confirmed with Enter, not yet saved.
    box->selectAll();
    QTest::keyClicks(box, before == "0101001" ? "0101002" : "0101001");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text().toStdString(), before);
    EXPECT_EQ(cell(row, 3), before);
    EXPECT_EQ(stored(account, 1), before);
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(focusedControl(), "TXT_CONTOCOIN");

    // Nothing pending: Esc goes to the window, which has no cancel button here.
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(box->text().toStdString(), before);

    // Leaving the row after Esc stores nothing new.
    QTest::keyClick(box, Qt::Key_Down);
    QTRY_COMPARE(currentRow(), row + 1);
    EXPECT_EQ(stored(account, 1), before);
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
}

TEST_F(EditingKeys, EscDropsAProposal) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    int row = -1;
    for (int r = 0; r + 1 < gridModel()->rowCount() && row < 0; r += 2)
        if (!cell(r, 3).empty() && cell(r + 1, 3).empty()) row = r + 1;
    ASSERT_GE(row, 0);
    clickRow(row);
    ASSERT_FALSE(cell(row, 3).empty());
    QLineEdit* box = accountBox();
    ASSERT_TRUE(box->property("provisional").toBool());
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text().toStdString(), "");
    EXPECT_EQ(cell(row, 3), "");
    EXPECT_FALSE(box->property("provisional").toBool());
    EXPECT_TRUE(w->isVisible());
}

TEST_F(EditingKeys, EveryButtonHasItsOwnAltLetterAndTheKitCaptionStays) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    QSet<QChar> letters;
    for (QAction* a : w->menuBar()->actions()) letters << mnemonicOf(a->text());
    const auto buttons = pressable();
    ASSERT_GE(buttons.size(), 8u);
    for (QAbstractButton* b : buttons) {
        SCOPED_TRACE(b->objectName().toStdString());
        const QChar letter = mnemonicOf(b->text());
        ASSERT_FALSE(letter.isNull()) << b->text().toStdString();
        EXPECT_FALSE(letters.contains(letter)) << b->text().toStdString();
        letters << letter;
        EXPECT_TRUE(b->toolTip().endsWith(QStringLiteral("(Alt+%1)").arg(letter.toUpper()))) << b->toolTip().toStdString();
    }
    EXPECT_EQ(w->form()->get("BUT_NUOVACORR").Caption(), "Nuova");
    EXPECT_EQ(w->form()->get("BUT_STAMPA").Caption(), "Stampa");
    auto* nuova = qobject_cast<QPushButton*>(w->widgetOf("BUT_NUOVACORR"));
    EXPECT_EQ(nuova->text(), "&Nuova");
    EXPECT_EQ(nuova->toolTip().toStdString(),
              "Nuova correlazione: svuota l'intestazione per scegliere altri piani dei conti (Alt+N)");

    // Alt+N presses it: the header is free again and the ledger chart field has the focus.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(focusedControl(), std::string("TXT_CODICE_PDC"));
    EXPECT_EQ(edit("TXT_CODICE_PDC")->text(), "");
}

TEST_F(EditingKeys, TabFollowsTheEyeAndTheFocusedButtonOrGridIsFramed) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    clickRow(0);
    QWidget* grid = table();
    ASSERT_TRUE(w->form()->setFocus(w->form()->get("GRID_CORRPDC")));
    QTRY_COMPARE(QApplication::focusWidget(), grid);
    FocusRing* ring = w->focusRing();
    QTRY_COMPARE(ring->target(), grid);
    EXPECT_TRUE(ring->isVisible());

    // One round of Tab from the grid: downwards, and left to right along a row.
    std::vector<QWidget*> visited{grid};
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == grid) break;
        visited.push_back(QApplication::focusWidget());
    }
    ASSERT_EQ(QApplication::focusWidget(), grid);
    ASSERT_GE(visited.size(), 3u);
    for (std::size_t i = 1; i < visited.size(); ++i) {
        const QRect a(visited[i - 1]->mapTo(w, QPoint()), visited[i - 1]->size());
        const QRect b(visited[i]->mapTo(w, QPoint()), visited[i]->size());
        SCOPED_TRACE(visited[i]->objectName().toStdString());
        if (std::abs(a.top() - b.top()) < 8)
            EXPECT_LT(a.left(), b.left());
        else
            EXPECT_LT(a.top(), b.top());
    }

    // The last stop is a button: the ring frames it in the highlight colour.
    auto* button = qobject_cast<QAbstractButton*>(visited.back());
    ASSERT_NE(button, nullptr);
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ShiftModifier);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(button));
    QTRY_COMPARE(ring->target(), static_cast<QWidget*>(button));
    const QRect framed(button->mapTo(w, QPoint()), button->size());
    EXPECT_TRUE(ring->geometry().contains(framed));
    const QImage image = w->grab().toImage();
    const QPoint edge(ring->geometry().left() + 1, ring->geometry().center().y());
    EXPECT_EQ(image.pixelColor(edge), w->palette().color(QPalette::Active, QPalette::Highlight));
}

TEST_F(EditingKeys, F1ListsEveryShortcutOfTheTableAndTheWindowsLetters) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    auto* page = w->findChild<KeysPage*>();
    ASSERT_NE(page, nullptr);
    QTRY_VERIFY(page->isVisible());
    const QTableWidget* t = page->table();
    QStringList keys;
    for (int r = 0; r < t->rowCount(); ++r) keys << t->item(r, 0)->text();
    int r = 0;
    for (const auto& e : shortcuts::editorShortcuts()) {
        ASSERT_LT(r, t->rowCount());
        EXPECT_EQ(t->item(r, 0)->text().toStdString(), shortcuts::shownKeys(e.keys));
        EXPECT_EQ(t->item(r, 1)->text().toStdString(), e.what);
        ++r;
    }
    for (const char* k : {"Canc", "Esc", "Ctrl+Z", "Ctrl+F", "F3", "F8", "Maiusc+F8", "Alt+N"})
        EXPECT_TRUE(keys.contains(k)) << k;
    page->close();

    // The "?" menu offers the same page, here and in the main window.
    const auto titles = [](QMenuBar* bar) {
        QStringList out;
        for (QAction* a : bar->actions()) out << a->text();
        return out;
    };
    EXPECT_TRUE(titles(w->menuBar()).contains("&?"));
    EXPECT_TRUE(titles(shell->menuBar()).contains("&?"));
    auto* action = shell->findChild<QAction*>("keysPageAction");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::Key_F1));
    action->trigger();
    auto* shellPage = shell->findChild<KeysPage*>();
    ASSERT_NE(shellPage, nullptr);
    EXPECT_GE(shellPage->table()->rowCount(), static_cast<int>(shortcuts::editorShortcuts().size()));
    shellPage->close();
}

TEST_F(EditingKeys, InTheIntermediariesWindowCancAndEscWorkTheSameWay) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    int master = -1;
    for (int r = 0; r < gridModel()->rowCount() && master < 0; ++r)
        if (cell(r, 0) == "14/01/00/0000") master = r;
    ASSERT_GE(master, 0);
    clickRow(master);
    QWidget* open = w->widgetOf("BUT_CORRINTERMEDI");
    ASSERT_TRUE(open->isVisible());
    const auto intermediaries = [&] {
        auto c = db::Connection::create();
        c->Open(gui::sqliteConnectionString(dir.path()));
        auto rs = c->Execute("SELECT COUNT(*) AS N FROM CG93_CORRINTERMEDIRICL");
        const std::string n = rs->value("N").toText();
        c->Close();
        return n;
    };
    const std::string before = intermediaries();

    bool closedBySecondEsc = false;
    std::string restored, typedOver, asked;
    boxes.reset();   // the question is answered Sì below
    guitest::whenModal([&](QWidget* modal) {
        auto* iw = qobject_cast<FormWindow*>(modal);
        ASSERT_NE(iw, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(iw));
        QTest::qWait(200);   // the activation of a window opened by a click settles after the click
        auto* grid = iw->viewAs<GridView>("QGRID_INTERMEDI");
        ASSERT_NE(grid, nullptr);
        const auto* m = grid->model();
        // An intermediary of the master, correlated on its debit side in the demo.
        int row = -1;
        for (int r = 0; r < m->rowCount() && row < 0; ++r)
            if (m->data(m->index(r, 0)).toString() == "14/04/00/0000") row = r;
        ASSERT_GE(row, 0);
        QTableView* t = grid->table();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(m->index(row, 0)).center());
        QTRY_COMPARE(t->currentIndex().row(), row);

        // Esc drops the typed account and the window stays.
        QLineEdit* box = iw->viewAs<TextBoxView>("TXT_CONTOCOIN")->lineEdit();
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        typedOver = box->text().toStdString();
        box->selectAll();
        QTest::keyClicks(box, "0203002");
        QTest::keyClick(box, Qt::Key_Escape);
        restored = box->text().toStdString();

        // Canc on the row, answered Sì, removes its correlation.
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(m->index(row, 0)).center());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(t));
        guitest::whenModal([&](QWidget* q) {
            asked = qobject_cast<QMessageBox*>(q)->text().toStdString();
            qobject_cast<QMessageBox*>(q)->button(QMessageBox::Yes)->click();
        });
        QTest::keyClick(t, Qt::Key_Delete);
        iw->activateWindow();   // offscreen, no window manager gives it back after the question
        ASSERT_TRUE(QTest::qWaitForWindowActive(iw));

        // With nothing pending Esc closes the window as Chiudi does, asking nothing.
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_Escape);
        closedBySecondEsc = !iw->isVisible();
        if (!closedBySecondEsc) iw->close();
    });
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(typedOver, "0202001");
    EXPECT_EQ(restored, "0202001");
    EXPECT_TRUE(closedBySecondEsc);
    EXPECT_EQ(asked, "Eliminare la correlazione?");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(std::stoi(intermediaries()), std::stoi(before) - 1);
}

TEST(ShortcutNames, KeysShowWithTheirItalianNames) {
    EXPECT_EQ(shortcuts::shownKeys("Del"), "Canc");
    EXPECT_EQ(shortcuts::shownKeys("Shift+F8"), "Maiusc+F8");
    EXPECT_EQ(shortcuts::shownKeys("Tab / Maiusc+Tab"), "Tab / Maiusc+Tab");
    EXPECT_EQ(shortcuts::shownKeys("Ctrl+Delete"), "Ctrl+Delete");
}

TEST(Mnemonics, LettersAreChosenFromWordStartsAndNeverTwice) {
    QSet<QChar> taken{'n', 'f'};
    EXPECT_EQ(freeLetter("Nuovo", taken), QChar('u'));
    EXPECT_EQ(freeLetter("Bilanci infrannuali", taken), QChar('b'));
    taken << 'b';
    EXPECT_EQ(freeLetter("Bilanci infrannuali", taken), QChar('i'));
    EXPECT_EQ(freeLetter("|<", taken), QChar());
    EXPECT_EQ(placeMnemonic("Nuovo", 'u'), "N&uovo");
    EXPECT_EQ(placeMnemonic("&Chiudi", 'h'), "&Chiudi");   // the module's own letter stays
    EXPECT_EQ(mnemonicOf("Tom && Jerry"), QChar());
    EXPECT_EQ(withoutMnemonic("&Chiudi"), "Chiudi");
}

}  // namespace

#endif
