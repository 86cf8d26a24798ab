// The correlation editor as a user meets it on the desktop: each kind opened through the
// module library on a demo database, its header typed into the real line edits, the grid
// filled; then, in COGE, a reclassified account typed into a row and saved by moving down,
// and an unknown account refused with its message while the cursor stays put.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "../support/TestSupport.h"
#include "EditorOnDesktop.h"
#include "GuiTestSupport.h"
#include "gui/DesktopShell.h"
#include "gui/QueryGridModel.h"
#include "gui/ShellSetup.h"
#include "text/Text.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;
using guitest::EditorOnDesktop;

namespace {

// The tables' text columns use the TSQL collation (case and trailing blanks ignored); a plain
// connection needs one of that name to read them.
int tsqlCompare(void*, int na, const void* a, int nb, const void* b) {
    auto trimmed = [](const void* p, int n) {
        std::string s(static_cast<const char*>(p), static_cast<std::size_t>(n));
        s.erase(s.find_last_not_of(' ') + 1);
        return text::toLowerAscii(s);
    };
    return trimmed(a, na).compare(trimmed(b, nb));
}

// The value of the first column of the first row of `query` on a database file, or
// "<none>" without rows ("<error: …>" when the query fails).
std::string queryOne(const std::filesystem::path& file, const std::string& query) {
    sqlite3* db = nullptr;
    std::string out = "<none>";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        out = std::string("<error: ") + sqlite3_errmsg(db) + ">";
        sqlite3_close(db);
        return out;
    }
    sqlite3_create_collation(db, "TSQL", SQLITE_UTF8, nullptr, tsqlCompare);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        out = std::string("<error: ") + sqlite3_errmsg(db) + ">";
    } else if (sqlite3_step(st) == SQLITE_ROW) {
        auto* text = sqlite3_column_text(st, 0);
        out = text ? reinterpret_cast<const char*>(text) : "<null>";
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

struct KindCase {
    int kind;
    const char* firstField;   // the header field typed first
    const char* firstCode;
    const char* ricl;
    const char* firstColumn;  // what an account's first column looks like ("" = just not empty)
    const char* pdcAfter;     // the chart field once the header is confirmed
    const char* accountHint;  // what the reclassified-account box says it holds
};

const char* const kindNames[] = {"COGE", "COIN", "HYPE", "CONS"};

class EditorKinds : public EditorOnDesktop, public ::testing::WithParamInterface<KindCase> {};

TEST_P(EditorKinds, TypingTheHeaderListsEveryAccountOncePerSign) {
    const KindCase k = GetParam();
    ASSERT_NO_FATAL_FAILURE(open(k.kind));
    ASSERT_NO_FATAL_FAILURE(typeField(k.firstField, k.firstCode));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", k.ricl));
    const auto* model = gridModel();
    ASSERT_NE(model, nullptr);
    QTRY_VERIFY(model->rowCount() > 0);
    EXPECT_EQ(model->rowCount() % 2, 0);
    EXPECT_EQ(edit("TXT_CODICE_PDC")->text().toStdString(), k.pdcAfter);
    EXPECT_EQ(edit("TXT_CODICE_RICL")->text().toStdString(), k.ricl);

    // Sign rows alternate Dare / Avere; the account shows on its sign-1 row only.
    const QRegularExpression shape(QString::fromUtf8(k.firstColumn));
    for (int r = 0; r < std::min(model->rowCount(), 6); r += 2) {
        SCOPED_TRACE(r);
        EXPECT_EQ(cell(r, 2), "Dare");
        EXPECT_EQ(cell(r + 1, 2), "Avere");
        EXPECT_FALSE(cell(r, 0).empty());
        EXPECT_FALSE(cell(r, 1).empty());   // the account's description
        EXPECT_EQ(cell(r + 1, 0), "");
        if (*k.firstColumn) {
            EXPECT_TRUE(shape.match(QString::fromStdString(cell(r, 0))).hasMatch()) << cell(r, 0);
        }
    }
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();

    // The account box names what it holds in this kind; the search box, away from the focus,
    // shows the current account as the grid does.
    EXPECT_TRUE(edit("TXT_CONTOCOIN")->toolTip().startsWith(QString::fromUtf8(k.accountHint)))
        << edit("TXT_CONTOCOIN")->toolTip().toStdString();
    EXPECT_EQ(edit("TXT_CONTOCOIN")->placeholderText().toStdString(), k.accountHint);
    EXPECT_FALSE(edit("TXT_CONTOCOIN")->toolTip().contains(QStringLiteral("contabilità industriale")));
    if (*k.firstColumn) {
        EXPECT_FALSE(edit("TXT_CONTO")->hasFocus());
        EXPECT_EQ(edit("TXT_CONTO")->text().toStdString(), cell(0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditorKinds,
    ::testing::Values(
        // The company chart's mask xx/xx/xx/xxxx.
        KindCase{0, "TXT_CODICE_PDC", "10", "101", "^\\d\\d/\\d\\d/\\d\\d/\\d{4}$", "10", "Conto riclassificato"},
        // Analytic accounts have no ledger mask.
        KindCase{1, "TXT_CODICE_PDC", "201", "102", "", "201", "Conto riclassificato"},
        // The standard chart's mask xx/xxxx/xxxx.
        KindCase{2, "TXT_CODICE_PDC", "80", "301", "^\\d\\d/\\d{4}/\\d{4}$", "80", "Conto Hyperion"},
        // The intercompany structure brings its chart (80) along.
        KindCase{3, "TXT_CODINTERCOMPANY", "1", "401", "^\\d\\d/\\d{4}/\\d{4}$", "80",
                 "Conto riclassificato intercompany"}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(kindNames[info.param.kind]); });

// The 0-based grid row of a masked account's sign-1 row, -1 when not listed.
int rowOfAccount(const QueryGridModel& m, const QString& masked) {
    for (int r = 0; r < m.rowCount(); ++r)
        if (m.data(m.index(r, 0)).toString() == masked) return r;
    return -1;
}

TEST_F(EditorOnDesktop, CogeAccountTypedIntoARowIsSavedOnDownAndAnUnknownOneIsRefused) {
    ASSERT_NO_FATAL_FAILURE(open(0));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "10"));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", "101"));
    const auto* model = gridModel();
    QTRY_VERIFY(model->rowCount() > 0);

    // Account 0101020001 has no correlation on either sign in the demo.
    const int row = rowOfAccount(*model, "01/01/02/0001");
    ASSERT_GE(row, 0);
    ASSERT_EQ(cell(row, 3), "");
    ASSERT_EQ(queryOne(dir.path() / "BREVANTO.db",
                       "SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                       "CG83_CONTO_CG24 = '0101020001' AND CG83_CODICERICL_PC01 = 101"),
              "0");
    QTableView* t = table();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(model->index(row, 0)).center());
    QTRY_COMPARE(currentRow(), row);

    QLineEdit* box = edit("TXT_CONTOCOIN");
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), box);
    EXPECT_EQ(focusedControl(), "TXT_CONTOCOIN");
    box->selectAll();
    QTest::keyClicks(box, "0101001");
    QTest::keyClick(box, Qt::Key_Down);

    QTRY_COMPARE(currentRow(), row + 1);
    EXPECT_EQ(queryOne(dir.path() / "BREVANTO.db",
                       "SELECT CG83_CONTORICL_PC03 FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                       "CG83_CONTO_CG24 = '0101020001' AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 1"),
              "0101001");
    EXPECT_EQ(cell(row, 3), "0101001");
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(focusedControl(), "TXT_CONTOCOIN");
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();

    // An account the reclassification chart does not have: the message, and nothing moves.
    box->selectAll();
    QTest::keyClicks(box, "9999999");
    QTest::keyClick(box, Qt::Key_Down);
    QTRY_COMPARE(boxes->texts().size(), 1);
    EXPECT_EQ(boxes->texts().front().toStdString(), "Conto inesistente.");
    EXPECT_EQ(currentRow(), row + 1);
    QTRY_COMPARE(QApplication::focusWidget(), box);
    EXPECT_EQ(focusedControl(), "TXT_CONTOCOIN");
    EXPECT_EQ(box->text().toStdString(), "9999999");
    EXPECT_EQ(queryOne(dir.path() / "BREVANTO.db",
                       "SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                       "CG83_CONTO_CG24 = '0101020001' AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 2"),
              "0");

    // While the box holds the refused account the window cannot be closed (it would store it);
    // emptying the box, as a user would, lets it close.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text().toStdString(), "");
}

TEST_F(EditorOnDesktop, AProposalShowsGreyAndItalicAndAClickElsewhereDropsIt) {
    ASSERT_NO_FATAL_FAILURE(open(0));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "10"));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", "101"));
    const auto* model = gridModel();
    QTRY_VERIFY(model->rowCount() > 0);

    // The first account correlated on the debit side only: its credit row gets a proposal.
    int row = -1;
    for (int r = 0; r + 1 < model->rowCount() && row < 0; r += 2)
        if (!cell(r, 3).empty() && cell(r + 1, 3).empty()) row = r + 1;
    ASSERT_GE(row, 0);
    std::string account = cell(row - 1, 0);   // masked: the slashes go
    account.erase(std::remove(account.begin(), account.end(), '/'), account.end());
    QTableView* t = table();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(model->index(row, 0)).center());
    QTRY_COMPARE(currentRow(), row);
    EXPECT_EQ(cell(row, 3), cell(row - 1, 3));
    const QModelIndex proposed = model->index(row, 3);
    EXPECT_TRUE(model->data(proposed, Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(model->data(proposed, Qt::ToolTipRole).toString().toStdString(), "Conto proposto: Invio per confermare");
    EXPECT_FALSE(model->data(model->index(row, 0), Qt::FontRole).value<QFont>().italic());
    QLineEdit* box = edit("TXT_CONTOCOIN");
    EXPECT_TRUE(box->property("provisional").toBool());
    EXPECT_TRUE(box->toolTip().startsWith("Conto proposto: Invio per confermare"));

    // A click on another row: nothing written, the row empty again, no message.
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(model->index(0, 0)).center());
    QTRY_COMPARE(currentRow(), 0);
    EXPECT_EQ(cell(row, 3), "");
    EXPECT_FALSE(model->data(proposed, Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(queryOne(dir.path() / "BREVANTO.db",
                       "SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 101 "
                       "AND CG83_INDSEGNO = 2 AND CG83_CONTO_CG24 = '" + account + "'"),
              "0");
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();

    // The search box has its label and says what it does.
    auto* label = w->viewAs<LabelView>("LBL_CONTO");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(edit("TXT_CONTO")->toolTip().contains("Esc"));
}

}  // namespace

#endif
