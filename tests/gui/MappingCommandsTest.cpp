// The "Correlazioni" menu of the editor on the desktop: every write shows its preview first,
// "Applica" (never Enter) writes in one transaction, the list is rebuilt with the grid on the
// row it was on and the counts follow; "Annulla" writes nothing; an account being typed stops
// the command; a write the database refuses leaves the tables as they were.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <regex>

#include "EditorOnDesktop.h"
#include "db/Connection.h"
#include "db/Recordset.h"
#include "gui/EditorStatus.h"
#include "gui/KeysPage.h"
#include "gui/MappingCommands.h"
#include "gui/Shortcuts.h"
#include "hostdb/HostDatabase.h"

#ifdef BREVANTO_MODULE_FILE

using namespace gui;

namespace {

struct Counts {
    long debit = -1, credit = -1;
    bool operator==(const Counts&) const = default;
    friend void PrintTo(const Counts& c, std::ostream* out) { *out << "Dare " << c.debit << ", Avere " << c.credit; }
};

struct MappingOnDesktop : guitest::EditorOnDesktop {
    QStringList warnings;
    // What the preview showed, and how the test answers it (false: "Annulla").
    std::vector<mapping::Plan> previews;
    std::function<bool(PlanPreview&)> answer = [](PlanPreview&) { return false; };
    QString importFile, exportFile;
    std::optional<CopyChoice> copyChoice;
    std::optional<std::string> account;

    void SetUp() override {
        EditorOnDesktop::SetUp();
        MappingPrompts p;
        p.chooseExportFile = [this](QWidget*, const QString&) { return exportFile; };
        p.chooseImportFile = [this](QWidget*) { return importFile; };
        p.review = [this](PlanPreview& preview) {
            previews.push_back(preview.plan());
            return answer(preview);
        };
        p.chooseCopySource = [this](CopySourceDialog&) { return copyChoice; };
        p.chooseAccount = [this](AssignAccountDialog&) { return account; };
        p.showCheck = [](CheckDialog& dialog) { dialog.show(); };
        p.warn = [this](QWidget*, const QString&, const QString& text) { warnings << text; };
        shell->setMappingPrompts(p);
    }

    // "Applica" pressed as a user does.
    static bool pressApply(PlanPreview& preview) {
        preview.show();
        if (!preview.applyButton()->isEnabled()) return false;
        QTest::mouseClick(preview.applyButton(), Qt::LeftButton);
        return preview.result() == QDialog::Accepted;
    }

    void openCoge() {
        ASSERT_NO_FATAL_FAILURE(open(0));
        ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "10"));
        ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", "101"));
        QTRY_VERIFY(gridModel()->rowCount() > 0);
        QTRY_VERIFY(counts().debit >= 0);
    }
    MappingCommands* commands() const { return w->findChild<MappingCommands*>(QString(), Qt::FindDirectChildrenOnly); }
    const kit::QueryGrid& grid() const { return gridModel()->grid(); }

    std::shared_ptr<db::Connection> connect() const {
        auto c = db::Connection::create();
        c->Open(shell->settings().connectionString);
        return c;
    }
    long scalar(const std::string& sql) const { return connect()->Execute(sql)->value("N").toInt32(); }
    long stored(int sign) const {
        return scalar("SELECT COUNT(*) AS N FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                      "CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = " +
                      std::to_string(sign));
    }
    std::string target(const std::string& account, int sign) const {
        auto rs = connect()->Execute("SELECT CG83_CONTORICL_PC03 AS T FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND "
                                     "CG83_CODICERICL_PC01 = 101 AND CG83_CONTO_CG24 = '" +
                                     account + "' AND CG83_INDSEGNO = " + std::to_string(sign));
        return rs->Eof() ? "" : rs->value("T").toText();
    }
    // Everything stored for the scope, to compare before and after.
    std::string dump() const {
        std::string out;
        auto rs = connect()->Execute("SELECT CG83_CONTO_CG24 AS A, CG83_INDSEGNO AS S, CG83_CONTORICL_PC03 AS T FROM "
                                     "CG83_COLLRICL ORDER BY 1, 2");
        for (; !rs->Eof(); rs->MoveNext())
            out += rs->value("A").toText() + "/" + rs->value("S").toText() + "=" + rs->value("T").toText() + "\n";
        return out;
    }
    Counts counts() const {
        QCoreApplication::processEvents();
        static const std::regex pattern(R"(· Dare (\d+)/\d+ · Avere (\d+)/\d+)");
        std::smatch m;
        const std::string s = w->findChild<EditorStatus*>()->text().toStdString();
        if (!std::regex_search(s, m, pattern)) return {};
        return {std::stol(m[1]), std::stol(m[2])};
    }
    void click(long recordsetRow, Qt::KeyboardModifiers modifiers = {}) {
        QTableView* t = table();
        const QModelIndex index = gridModel()->index(static_cast<int>(recordsetRow), 0);
        t->scrollTo(index);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, modifiers, t->visualRect(index).center());
    }
    // The first row whose account has a stored Dare correlation and no Avere one.
    long debitOnlyRow() const {
        for (long r = 0; r + 1 < grid().rowCount(); ++r)
            if (grid().cellValue(r, 5).toText() == "1" && !grid().cellValue(r, 6).toText().empty() &&
                grid().cellValue(r + 1, 6).toText().empty())
                return r;
        return -1;
    }
    long rowOfAccount(const std::string& account, int sign) const {
        for (long r = 0; r < grid().rowCount(); ++r)
            if (grid().cellValue(r, 1).toText() == account && grid().cellValue(r, 5).toText() == std::to_string(sign))
                return r;
        return -1;
    }
    // Unmapped Dare rows, in order.
    std::vector<long> emptyDebitRows(std::size_t n) const {
        std::vector<long> rows;
        for (long r = 0; r < grid().rowCount() && rows.size() < n; ++r)
            if (grid().cellValue(r, 5).toText() == "1" && grid().cellValue(r, 6).toText().empty()) rows.push_back(r);
        return rows;
    }
};

TEST_F(MappingOnDesktop, TheMenuIsReachableByKeyboardAndListedOnTheKeysPage) {
    ASSERT_NO_FATAL_FAILURE(open(0));
    MappingCommands* c = commands();
    ASSERT_NE(c, nullptr);
    // Nothing to work on before the header is confirmed.
    EXPECT_FALSE(c->importAction()->isEnabled());
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_PDC", "10"));
    ASSERT_NO_FATAL_FAILURE(typeField("TXT_CODICE_RICL", "101"));
    QTRY_VERIFY(c->importAction()->isEnabled());

    QMenu* menu = nullptr;
    for (QAction* a : w->menuBar()->actions())
        if (a->text() == "&Correlazioni") menu = a->menu();
    ASSERT_NE(menu, nullptr);
    // Distinct Alt letters within each menu.
    for (QMenu* m : {menu, menu->findChild<QMenu*>("bulkFill")}) {
        ASSERT_NE(m, nullptr);
        QSet<QChar> letters;
        for (QAction* a : m->actions()) {
            if (a->isSeparator()) continue;
            const int amp = a->text().indexOf('&');
            ASSERT_GE(amp, 0) << a->text().toStdString();
            EXPECT_FALSE(letters.contains(a->text().at(amp + 1).toLower())) << a->text().toStdString();
            letters.insert(a->text().at(amp + 1).toLower());
        }
    }
    EXPECT_EQ(c->checkAction()->shortcut(), QKeySequence(QString::fromLatin1(shortcuts::kCheckCorrelations)));
    // Every shortcut of the menu is on the keys page, and no two commands share one.
    QSet<QString> keys;
    for (const auto& e : shortcuts::editorShortcuts()) {
        EXPECT_FALSE(keys.contains(QString::fromLatin1(e.keys))) << e.keys;
        keys.insert(QString::fromLatin1(e.keys));
    }
    for (const char* k : {shortcuts::kCheckCorrelations, shortcuts::kExportCorrelations, shortcuts::kImportCorrelations,
                          shortcuts::kAssignAccount})
        EXPECT_TRUE(keys.contains(QString::fromLatin1(k))) << k;
}

// A stored Dare correlation of a balance-sheet account: (account, target).
std::pair<std::string, std::string> storedBalanceSheetRow(db::Connection& c) {
    auto rs = c.Execute("SELECT CG83_CONTO_CG24 AS A, CG83_CONTORICL_PC03 AS T FROM CG83_COLLRICL WHERE "
                        "CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 1 AND "
                        "CG83_CONTORICL_PC03 LIKE '01%' ORDER BY 1");
    if (rs->Eof()) return {};
    return {rs->value("A").toText(), rs->value("T").toText()};
}

void writeFile(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
}

TEST_F(MappingOnDesktop, ImportShowsAddedChangedAndRefusedRowsAndApplicaWritesTheAcceptedOnes) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    auto c = connect();
    const auto [changed, oldTarget] = storedBalanceSheetRow(*c);
    ASSERT_FALSE(changed.empty());
    const std::string newTarget = oldTarget == "0101002" ? "0101003" : "0101002";
    ASSERT_EQ(target("0101020001", 1), "");
    importFile = QString::fromStdString((dir.path() / "correlazioni.csv").string());
    writeFile(dir.path() / "correlazioni.csv",
              "Tipo;PdC;PdC riclassificazione;Struttura intercompany;Conto;Descrizione conto;Segno;"
              "Conto riclassificato;Descrizione conto riclassificato\r\n"
              "COGE;10;101;;0101020001;;Dare;0101001;\r\n"
              "COGE;10;101;;" + changed + ";;Dare;" + newTarget + ";\r\n"
              "COGE;10;101;;0101020001;;Avere;9999999;\r\n"
              "COGE;10;101;;" + changed + ";;Avere;" + target(changed, 2) + ";\r\n");
    const long row = rowOfAccount(changed, 1);
    click(row);
    QTRY_COMPARE(grid().currentRow(), row);
    const Counts before = counts();

    // Annulla first: nothing written.
    std::string shownSummary;
    answer = [&](PlanPreview& preview) {
        shownSummary = preview.summary().toStdString();
        // Unchanged rows are hidden until asked for.
        EXPECT_FALSE(preview.statusBox(mapping::RowStatus::Unchanged)->isChecked());
        // The picture of the README.
        preview.resize(1280, 800);
        preview.show();
        QCoreApplication::processEvents();
        const auto shots = std::filesystem::path(BREVANTO_SCREENSHOT_DIR);
        std::filesystem::create_directories(shots);
        preview.grab().save(QString::fromStdString((shots / "mapping-preview.png").string()));
        return false;
    };
    const std::string stored = dump();
    EXPECT_EQ(commands()->runImport(), 0);
    ASSERT_EQ(previews.size(), 1u);
    const mapping::Plan plan = previews.front();
    EXPECT_EQ(plan.count(mapping::RowStatus::Added), 1);
    EXPECT_EQ(plan.count(mapping::RowStatus::Changed), 1);
    EXPECT_EQ(plan.count(mapping::RowStatus::Refused), 1);
    EXPECT_FALSE(shownSummary.empty());
    EXPECT_EQ(dump(), stored);

    answer = pressApply;
    EXPECT_EQ(commands()->runImport(), 2);
    EXPECT_EQ(target("0101020001", 1), "0101001");
    EXPECT_EQ(target(changed, 1), newTarget);
    EXPECT_EQ(target("0101020001", 2), "");
    EXPECT_EQ(grid().currentRow(), row);
    EXPECT_EQ(grid().cellValue(row, 6).toText(), newTarget);
    EXPECT_EQ(grid().cellValue(rowOfAccount("0101020001", 1), 6).toText(), "0101001");
    QTRY_COMPARE(counts(), (Counts{before.debit + 1, before.credit}));
    EXPECT_EQ(w->statusBar()->currentMessage().toStdString(), "2 correlazioni scritte");
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();

    // A file that cannot be read: its problems, nothing to apply.
    writeFile(dir.path() / "correlazioni.csv", "Conto;Segno\r\n0101020001;Dare\r\n");
    bool applicable = true;
    answer = [&](PlanPreview& preview) {
        applicable = preview.applyButton()->isEnabled();
        return false;
    };
    EXPECT_EQ(commands()->runImport(), 0);
    EXPECT_FALSE(applicable);
}

TEST_F(MappingOnDesktop, TheCheckListsItsGroupsAndADoubleClickGoesToTheRow) {
    {
        // An account classified differently in Avere (information) and a correlation to a
        // total account (no longer valid).
        auto c = connect();
        const auto [account, debit] = storedBalanceSheetRow(*c);
        ASSERT_FALSE(account.empty());
        c->Execute("DELETE FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND CG83_CODICERICL_PC01 = 101 AND "
                   "CG83_CONTO_CG24 = '" + account + "' AND CG83_INDSEGNO = 2");
        c->Execute("INSERT INTO CG83_COLLRICL (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                   "CG83_CONTORICL_PC03, CG83_INDSEGNO) VALUES (10, '" + account + "', 101, '" +
                   (debit == "0101003" ? "0101002" : "0101003") + "', 2)");
        c->Execute("UPDATE CG83_COLLRICL SET CG83_CONTORICL_PC03 = '0101' WHERE CG83_CODICE_CG10 = 10 AND "
                   "CG83_CODICERICL_PC01 = 101 AND CG83_CONTORICL_PC03 = '0204001'");
    }
    ASSERT_NO_FATAL_FAILURE(openCoge());
    click(0);
    QTRY_COMPARE(grid().currentRow(), 0L);
    ASSERT_TRUE(commands()->runCheck());
    CheckDialog* dialog = commands()->checkDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(dialog->groups().empty()) << dialog->summaryLabel()->text().toStdString();
    // Each group with its count; the information group says it is one.
    for (int g = 0; g < static_cast<int>(dialog->groups().size()); ++g) {
        const CheckGroup& group = dialog->groups()[static_cast<std::size_t>(g)];
        const QString title = dialog->tree()->topLevelItem(g)->text(0);
        EXPECT_TRUE(title.startsWith(group.title + QStringLiteral(" (%1)").arg(group.rows.size()))) << title.toStdString();
        EXPECT_EQ(title.contains("informazione"), group.information) << title.toStdString();
        if (group.information) {
            EXPECT_EQ(group.rows.size(), 1u);
        }
    }
    // A row of the editor's list other than the current one.
    int group = -1, item = -1;
    long expected = -1;
    for (int g = 0; g < static_cast<int>(dialog->groups().size()) && expected < 0; ++g)
        for (int r = 0; r < static_cast<int>(dialog->groups()[static_cast<std::size_t>(g)].rows.size()); ++r) {
            const mapping::Key& key = dialog->groups()[static_cast<std::size_t>(g)].rows[static_cast<std::size_t>(r)].key;
            const long row = rowOfAccount(key.account, key.sign);
            if (row > 0) {
                group = g, item = r, expected = row;
                break;
            }
        }
    ASSERT_GT(expected, 0);

    // The picture of the README: every group in view, the long ones folded.
    dialog->resize(1280, 800);
    for (int g = 0; g < dialog->tree()->topLevelItemCount(); ++g)
        dialog->tree()->topLevelItem(g)->setExpanded(dialog->tree()->topLevelItem(g)->childCount() <= 12);
    QCoreApplication::processEvents();
    const auto shots = std::filesystem::path(BREVANTO_SCREENSHOT_DIR);
    std::filesystem::create_directories(shots);
    dialog->grab().save(QString::fromStdString((shots / "mapping-check.png").string()));
    dialog->tree()->expandAll();
    QTreeWidgetItem* target = dialog->rowItem(group, item);
    dialog->tree()->scrollToItem(target);

    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    const QPoint at = dialog->tree()->visualItemRect(target).center();
    QTest::mouseClick(dialog->tree()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dialog->tree()->currentItem(), target);
    QTest::mouseDClick(dialog->tree()->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE(grid().currentRow(), expected);
    EXPECT_EQ(dialog->findChild<QLabel*>("notice")->text().toStdString(), "");
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();
}

TEST_F(MappingOnDesktop, CopyDareToAvereShowsThePreviewAndApplicaWritesOnTheSameRow) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const long row = debitOnlyRow();
    ASSERT_GE(row, 0);
    const std::string account = grid().cellValue(row, 1).toText();
    const std::string debitTarget = grid().cellValue(row, 6).toText();
    click(row + 1);
    QTRY_COMPARE(grid().currentRow(), row + 1);
    const Counts before = counts();
    const long creditBefore = stored(2);

    // Annulla: nothing written.
    EXPECT_EQ(commands()->runCopyOtherSign(1), 0);
    ASSERT_EQ(previews.size(), 1u);
    const mapping::Plan plan = previews.front();
    EXPECT_GT(plan.count(mapping::RowStatus::Added), 0);
    EXPECT_EQ(plan.count(mapping::RowStatus::Changed), 0);
    EXPECT_EQ(stored(2), creditBefore);

    answer = pressApply;
    EXPECT_EQ(commands()->runCopyOtherSign(1), plan.writes());
    EXPECT_EQ(stored(2), creditBefore + plan.count(mapping::RowStatus::Added));
    EXPECT_EQ(target(account, 2), debitTarget);
    // The list is rebuilt, the cursor back on the row it was on, the counts follow.
    EXPECT_EQ(grid().currentRow(), row + 1);
    EXPECT_EQ(grid().cellValue(row + 1, 1).toText(), account);
    EXPECT_EQ(grid().cellValue(row + 1, 6).toText(), debitTarget);
    QTRY_COMPARE(counts(), (Counts{before.debit, before.credit + plan.count(mapping::RowStatus::Added)}));
    EXPECT_TRUE(w->statusBar()->currentMessage().endsWith("correlazioni scritte"))
        << w->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

TEST_F(MappingOnDesktop, EnterInThePreviewCancelsAndApplicaIsOffWithoutWrites) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    bool enterApplied = true, applyDefault = true;
    answer = [&](PlanPreview& preview) {
        applyDefault = preview.applyButton()->isDefault();
        preview.show();
        QTest::keyClick(preview.table(), Qt::Key_Return);
        enterApplied = preview.result() == QDialog::Accepted;
        return enterApplied;
    };
    const std::string before = dump();
    commands()->runCopyOtherSign(1);
    EXPECT_FALSE(applyDefault);
    EXPECT_FALSE(enterApplied);
    EXPECT_EQ(dump(), before);

    // Once copied, copying again has nothing to write.
    answer = pressApply;
    ASSERT_GT(commands()->runCopyOtherSign(1), 0);
    bool enabled = true;
    answer = [&](PlanPreview& preview) {
        enabled = preview.applyButton()->isEnabled();
        return false;
    };
    EXPECT_EQ(commands()->runCopyOtherSign(1), 0);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(previews.back().writes(), 0);
}

TEST_F(MappingOnDesktop, AnAccountBeingTypedStopsTheCommandsAndStaysInTheBox) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const long row = emptyDebitRows(1).at(0);
    click(row);
    QLineEdit* box = edit("TXT_CONTOCOIN");
    QTRY_COMPARE(QApplication::focusWidget(), box);
    box->selectAll();
    QTest::keyClicks(box, "0101001");
    const std::string before = dump();

    EXPECT_EQ(commands()->runCopyOtherSign(1), 0);
    EXPECT_EQ(commands()->runAssign(), 0);
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_EQ(warnings.front().toStdString(), mapping::kPendingEditMessage);
    EXPECT_TRUE(previews.empty());
    EXPECT_EQ(box->text(), "0101001");
    EXPECT_EQ(grid().currentRow(), row);
    EXPECT_EQ(dump(), before);

    // Confirmed but not yet saved (the row is still current): still the user's to store.
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(commands()->runCopyOtherSign(1), 0);
    EXPECT_EQ(warnings.size(), 3);
    EXPECT_EQ(dump(), before);
}

TEST_F(MappingOnDesktop, OneAccountForTheRowsSelectedWithCtrlClick) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const auto rows = emptyDebitRows(3);
    ASSERT_EQ(rows.size(), 3u);
    click(rows[0]);
    QTRY_COMPARE(grid().currentRow(), rows[0]);
    // Ctrl+click selects without moving the editor's row.
    click(rows[2], Qt::ControlModifier);
    EXPECT_EQ(grid().currentRow(), rows[0]);
    auto* view = w->viewAs<GridView>("GRID_CORRPDC");
    EXPECT_EQ(view->selectedRecordsetRows(), (std::vector<long>{rows[0], rows[2]}));

    account = "0101001";
    answer = pressApply;
    EXPECT_EQ(commands()->runAssign(), 2);
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_EQ(previews.front().count(mapping::RowStatus::Added), 2);
    EXPECT_EQ(target(grid().cellValue(rows[0], 1).toText(), 1), "0101001");
    EXPECT_EQ(target(grid().cellValue(rows[2], 1).toText(), 1), "0101001");
    EXPECT_EQ(target(grid().cellValue(rows[1], 1).toText(), 1), "");
    EXPECT_EQ(grid().currentRow(), rows[0]);
    EXPECT_EQ(grid().cellValue(rows[2], 6).toText(), "0101001");

    // An account that does not exist is refused in the preview; nothing to apply.
    click(rows[1]);
    QTRY_COMPARE(grid().currentRow(), rows[1]);
    account = "ZZ'99";
    const std::string before = dump();
    EXPECT_EQ(commands()->runAssign(), 0);
    EXPECT_EQ(previews.back().count(mapping::RowStatus::Refused), 1);
    EXPECT_EQ(dump(), before);
}

TEST_F(MappingOnDesktop, AWriteTheDatabaseRefusesLeavesTheTablesAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const long row = debitOnlyRow();
    ASSERT_GE(row, 0);
    click(row);
    QTRY_COMPARE(grid().currentRow(), row);
    // The last account the copy would write is refused by the database: the ones before it
    // must not stay written either.
    std::string last;
    for (long r = 0; r + 1 < grid().rowCount(); ++r)
        if (grid().cellValue(r, 5).toText() == "1" && !grid().cellValue(r, 6).toText().empty() &&
            grid().cellValue(r + 1, 6).toText().empty())
            last = grid().cellValue(r, 1).toText();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(hostdb::databaseFileIn(dir.path(), "BREVANTO").string().c_str(), &raw), SQLITE_OK);
    const std::string trigger = "CREATE TRIGGER refuse BEFORE INSERT ON CG83_COLLRICL WHEN NEW.CG83_CONTO_CG24 = '" +
                                last + "' BEGIN SELECT RAISE(ABORT, 'scrittura rifiutata'); END";
    ASSERT_EQ(sqlite3_exec(raw, trigger.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    sqlite3_close(raw);

    const std::string before = dump();
    const Counts counted = counts();
    answer = pressApply;
    EXPECT_EQ(commands()->runCopyOtherSign(1), 0);
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_GT(previews.front().count(mapping::RowStatus::Added), 1);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().startsWith("Le correlazioni non sono state scritte")) << warnings.front().toStdString();
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(grid().currentRow(), row);
    EXPECT_EQ(counts(), counted);
}

TEST_F(MappingOnDesktop, ShiftDownSelectsRowsWithoutMovingTheEditorsRow) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    const long row = debitOnlyRow();   // a correlated row: the cursor stays in the grid
    ASSERT_GE(row, 0);
    click(row);
    QTRY_COMPARE(grid().currentRow(), row);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(table()));
    QTest::keyClick(table(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(table(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid().currentRow(), row);
    EXPECT_EQ(w->viewAs<GridView>("GRID_CORRPDC")->selectedRecordsetRows(), (std::vector<long>{row, row + 1, row + 2}));
    // A move of the editor's row selects that row alone again.
    QTest::keyClick(table(), Qt::Key_Down);
    QTRY_COMPARE(grid().currentRow(), row + 1);
    EXPECT_EQ(w->viewAs<GridView>("GRID_CORRPDC")->selectedRecordsetRows(), (std::vector<long>{row + 1}));
}

TEST_F(MappingOnDesktop, CopyFromAnotherChartPreviewsWhatItWritesAndRefusesABadCode) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    copyChoice = CopyChoice{{mapping::CopySource::From::ReclChart, "1; DROP TABLE CG83_COLLRICL"}, true};
    const std::string before = dump();
    EXPECT_EQ(commands()->runCopyFrom(), 0);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(previews.empty());
    EXPECT_EQ(dump(), before);

    // The standard chart's correlations, same account codes.
    copyChoice = CopyChoice{{mapping::CopySource::From::LedgerChart, "80"}, false};
    answer = pressApply;
    const long written = commands()->runCopyFrom();
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_EQ(written, previews.back().writes());
    EXPECT_EQ(previews.back().count(mapping::RowStatus::Changed), 0);   // existing ones are kept
    for (const auto& r : previews.back().rows) {
        if (r.status == mapping::RowStatus::Added) {
            EXPECT_EQ(target(r.key.account, r.key.sign), r.after) << r.key.account;
        }
    }
}

TEST_F(MappingOnDesktop, ExportWritesTheListToTheFileChosen) {
    ASSERT_NO_FATAL_FAILURE(openCoge());
    exportFile = QString::fromStdString((dir.path() / "correlazioni.csv").string());
    EXPECT_EQ(commands()->runExport(), exportFile);
    std::ifstream in(dir.path() / "correlazioni.csv");
    std::string header;
    std::getline(in, header);
    EXPECT_NE(header.find("Tipo;PdC;PdC riclassificazione"), std::string::npos) << header;
    EXPECT_TRUE(w->statusBar()->currentMessage().startsWith("Esportate")) << w->statusBar()->currentMessage().toStdString();

    exportFile = QString::fromStdString((dir.path() / "manca" / "correlazioni.xlsx").string());
    EXPECT_EQ(commands()->runExport(), QString());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().startsWith("Correlazioni non esportate")) << warnings.front().toStdString();
}

}  // namespace

#endif
