// The lookup window: columns from the request, a search box that narrows the rows, Enter or
// a double click picks, Escape cancels; and a code box's F4 through the Qt window system.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "../support/TestSupport.h"
#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/FormWindow.h"
#include "gui/LookupDialog.h"
#include "gui/QtWindowSystem.h"
#include "kit/Kit.h"

using namespace gui;

namespace {

std::shared_ptr<db::Recordset> charts() {
    auto rs = db::Recordset::create();
    rs->fields().Append("CODICE", db::ado::adInteger);
    rs->fields().Append("DESCR", db::ado::adVarWChar, 60);
    rs->fields().Append("TIPO", db::ado::adInteger);
    rs->Open();
    const std::pair<int, const char*> rows[] = {
        {10, "Piano dei conti Rossi"}, {80, "Piano standard"}, {90, "Riclassificazione CEE"}, {91, "Ricl. Hyperion"}};
    for (auto [code, descr] : rows) {
        rs->AddNew();
        rs->setValue("CODICE", code);
        rs->setValue("DESCR", descr);
        rs->setValue("TIPO", 3);
        rs->Update();
    }
    rs->MoveFirst();
    return rs;
}

kit::LookupRequest request(const std::string& current = "") {
    return {"Piani dei conti", {{"CODICE", "Codice", 900}, {"DESCR", "Descrizione", 3000}}, charts(), current, "LKP"};
}

TEST(LookupDialogTest, ABrowserSaysSoAndEnterDoesNotPretendToChoose) {
    LookupDialog chooser(request());
    EXPECT_EQ(chooser.hint(), "Cerca (Invio sceglie, Esc annulla):");
    LookupDialog browser(request(), nullptr, LookupDialog::Use::Browse);
    EXPECT_EQ(browser.hint(), "Cerca (sola consultazione, Esc chiude):");
    browser.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&browser));
    QTest::keyClick(browser.searchBox(), Qt::Key_Return);
    EXPECT_TRUE(browser.isVisible());
    EXPECT_FALSE(browser.chosen());
    QTest::keyClick(browser.searchBox(), Qt::Key_Escape);
    EXPECT_FALSE(browser.isVisible());
}

TEST(LookupDialogTest, TheSearchNarrowsTheRowsAndEnterPicksTheSourceRow) {
    LookupDialog dialog(request());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "Piani dei conti");
    ASSERT_EQ(dialog.table()->model()->columnCount(), 2);   // TIPO is not asked for
    EXPECT_EQ(dialog.table()->model()->headerData(1, Qt::Horizontal).toString(), "Descrizione");
    EXPECT_EQ(dialog.shownRows(), 4);

    QTest::keyClicks(dialog.searchBox(), "ricl");
    EXPECT_EQ(dialog.shownRows(), 2);   // case-insensitive, any column
    QTest::keyClick(dialog.searchBox(), Qt::Key_Down);
    QTest::keyClick(dialog.searchBox(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.chosen());
    EXPECT_EQ(*dialog.chosen(), 3);   // "Ricl. Hyperion", the fourth row of the recordset
}

TEST(LookupDialogTest, EscapeCancelsAndTheBoxCodeStartsSelected) {
    LookupDialog dialog(request("80"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.table()->currentIndex().row(), 1);
    QTest::keyClicks(dialog.searchBox(), "nessuno");
    EXPECT_EQ(dialog.shownRows(), 0);
    QTest::keyClick(dialog.searchBox(), Qt::Key_Return);   // nothing to pick
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.searchBox(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.chosen());
}

TEST(LookupDialogTest, ADoubleClickPicks) {
    LookupDialog dialog(request());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTableView* t = dialog.table();
    QPoint at = t->visualRect(t->model()->index(2, 1)).center();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(dialog.chosen());
    EXPECT_EQ(*dialog.chosen(), 2);
}

TEST(LookupDialogTest, F4InACodeBoxShowsTheLookupAndThePickBecomesTheCode) {
    testsupport::TempDir dir;
    const std::string connect = "Provider=SQLite;database=LK;Schema=any;Data Source=" + dir.str();
    {
        // The client speaks T-SQL for queries only: the table is made with SQLite itself.
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir.path() / "LK.db").string().c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw,
                               "CREATE TABLE CHARTS (CODICE INT, DESCR TEXT);"
                               "INSERT INTO CHARTS VALUES (10, 'Piano dei conti Rossi'), (80, 'Piano standard');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    QtWindowSystem ws;
    kit::Form form{"FRM_LOOKUP", &ws};
    auto box = form.create<kit::CodeEditBox>("TXT_CODICE_PDC");
    auto descr = form.create<kit::CodeEditBox>("TXT_DESC_PDC");
    box->move(150, 150, 1500, 300);
    descr->move(1800, 150, 3000, 300);
    box->StartLookup.connect([&](bool&, std::string& sql, kit::LookupFields& fields, std::string& caption,
                                 std::string& conn) {
        sql = "SELECT CODICE, DESCR FROM CHARTS ORDER BY CODICE";
        fields = {{"CODICE", "Codice", 900}, {"DESCR", "Descrizione", 3000}};
        caption = "Piani dei conti";
        conn = connect;
    });
    box->StartDecode.connect([&](bool&, std::string& sql, kit::DecodeFields& fields, std::string& conn) {
        sql = "SELECT DESCR FROM CHARTS WHERE CODICE = " + (box->Text().empty() ? std::string("0") : box->Text());
        fields = {kit::DecodeField("DESCR", descr)};
        conn = connect;
    });
    FormWindow window(form);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(form.setFocus(*box));
    QString title;
    guitest::whenModal([&](QWidget* w) {
        auto* d = qobject_cast<LookupDialog*>(w);
        ASSERT_NE(d, nullptr);
        title = d->windowTitle();
        QTest::keyClicks(d->searchBox(), "standard");
        QTest::keyClick(d->searchBox(), Qt::Key_Enter);
    });
    QTest::keyClick(window.viewAs<TextBoxView>("TXT_CODICE_PDC")->lineEdit(), Qt::Key_F4);
    EXPECT_EQ(title, "Piani dei conti");
    EXPECT_EQ(box->Text(), "80");
    EXPECT_EQ(window.viewAs<TextBoxView>("TXT_CODICE_PDC")->lineEdit()->text(), "80");
    EXPECT_TRUE(box->IsDecoded());
    EXPECT_EQ(descr->Text(), "Piano standard");
    kit::ConnectionCache::instance().clear();
}

}  // namespace
