// The desktop shell: settings file, kinds, the demo database, the four correlation kinds
// opened through the module library, and the screenshot of the COGE editor.

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "../support/TestSupport.h"
#include "GuiTestSupport.h"
#include "ShellWithModule.h"
#include "db/Connection.h"
#include "gui/DesktopShell.h"
#include "gui/QueryGridModel.h"
#include "gui/SettingsDialog.h"
#include "gui/ShellSetup.h"
#include "hostdb/Schema.h"

using namespace gui;
namespace fs = std::filesystem;

namespace {

TEST(ShellSetup, SettingsSurviveTheFileAndBadValuesAreRefused) {
    testsupport::TempDir dir;
    const fs::path file = dir.path() / "conf" / "brevanto.conf";
    standalone::Settings s;
    s.connectionString = "Provider=SQLite;database=BREVANTO;Data Source=/dati/d'Amico = prova";
    s.companyCode = 42;
    s.ledgerLevels = 3;
    s.modal = false;
    saveSettingsFile(s, file);
    standalone::Settings back = standalone::defaultSettings();
    standalone::applySettingsFile(back, file);
    EXPECT_EQ(back.connectionString, s.connectionString);
    EXPECT_EQ(back.companyCode, 42);
    EXPECT_EQ(back.ledgerLevels, 3);
    EXPECT_FALSE(back.modal);

    s.connectionString = "Provider=SQLite;\nlevels = 9";
    EXPECT_THROW(saveSettingsFile(s, file), standalone::SettingsError);
    s.connectionString = "";
    EXPECT_THROW(saveSettingsFile(s, file), standalone::SettingsError);
    // The refused values left the saved file as it was.
    standalone::Settings again = standalone::defaultSettings();
    standalone::applySettingsFile(again, file);
    EXPECT_EQ(again.companyCode, 42);
}

TEST(ShellSetup, KindsByNameOrNumber) {
    ASSERT_TRUE(findKind("COIN"));
    EXPECT_STREQ(findKind("COIN")->progId, "Brevanto.CLSCG_CORRRICLCOIN");
    EXPECT_EQ(findKind("3")->kind, 3);
    EXPECT_STREQ(findKind("cons")->caption, "Correlazione PdC contabile - riclassificato intercompany");
    EXPECT_FALSE(findKind("coinx"));
    EXPECT_FALSE(findKind(""));
}

TEST(ShellSetup, TheSettingsDialogEditsAndChecksTheValues) {
    standalone::Settings s = standalone::defaultSettings();
    SettingsDialog dialog(s);
    dialog.connectionEdit()->setText("");
    EXPECT_FALSE(dialog.problem().isEmpty());
    dialog.connectionEdit()->setText("nonsense");
    EXPECT_FALSE(dialog.problem().isEmpty());
    dialog.connectionEdit()->setText("  Provider=SQLite;database=X;Data Source=/tmp  ");
    dialog.companyBox()->setValue(7);
    dialog.levelsBox()->setValue(12);   // clamped to the range
    EXPECT_TRUE(dialog.problem().isEmpty());
    EXPECT_EQ(dialog.settings().connectionString, "Provider=SQLite;database=X;Data Source=/tmp");
    EXPECT_EQ(dialog.settings().companyCode, 7);
    EXPECT_EQ(dialog.settings().ledgerLevels, 9);
}

// Answers the next question box with `button` (from inside its own event loop).
void answerNextBox(QMessageBox::StandardButton button) {
    guitest::whenModal([button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        box->button(button)->click();
    });
}

TEST(ShellSetup, TheSettingsDialogTriesTheConnectionAndCreatesAMissingDatabaseOnlyWhenAsked) {
    testsupport::TempDir dir;
    const fs::path folder = dir.path() / "nuova";
    SettingsDialog dialog(standalone::defaultSettings());
    auto* save = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save);
    dialog.connectionEdit()->setText(QString::fromStdString(sqliteConnectionString(folder)));

    // A folder without BREVANTO.db: the test and the save ask, "No" refuses it.
    answerNextBox(QMessageBox::No);
    dialog.testButton()->click();
    const std::string refused = "La cartella " + folder.string() + " non contiene il database BREVANTO.db.";
    EXPECT_EQ(dialog.status().toStdString(), refused);
    answerNextBox(QMessageBox::No);
    save->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.status().toStdString(), refused);
    EXPECT_FALSE(fs::exists(folder / "BREVANTO.db"));

    // "Sì" makes it there as `brevanto-cli db init` does, and the values are taken.
    answerNextBox(QMessageBox::Yes);
    save->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(fs::exists(folder / "BREVANTO.db"));
    auto c = db::Connection::create();
    c->Open(sqliteConnectionString(folder));
    for (const auto& table : hostdb::hostTableNames())
        EXPECT_NO_THROW(c->Execute("SELECT COUNT(*) FROM " + table)) << table;
    c->Close();
    dialog.testButton()->click();
    EXPECT_EQ(dialog.status().toStdString(), "Connessione riuscita.");

    // A file that is not a database: refused with the reason, no question.
    fs::create_directories(dir.path() / "rotta");
    std::ofstream(dir.path() / "rotta" / "BREVANTO.db") << std::string(4096, 'x');
    dialog.connectionEdit()->setText(QString::fromStdString(sqliteConnectionString(dir.path() / "rotta")));
    dialog.testButton()->click();
    EXPECT_EQ(dialog.status().toStdString(),
              "Connessione non riuscita: Impossibile aprire il database 'BREVANTO' (" +
                  (dir.path() / "rotta" / "BREVANTO.db").string() + "): il file non è un database SQLite");
}

TEST(ShellSetup, TheDemoDatabaseIsMadeOnlyForTheDemoSettingsAndOnlyOnce) {
    testsupport::TempDir dir;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.str()));
    standalone::Settings other = standalone::defaultSettings();
    other.connectionString = "Provider=SQLite;database=ALTRO;Data Source=" + dir.str();
    EXPECT_FALSE(ensureDemoDatabase(other).created);
    EXPECT_FALSE(fs::exists(standalone::demoDataFolder()));

    DemoResult first = ensureDemoDatabase(standalone::defaultSettings());
    EXPECT_TRUE(first.created);
    EXPECT_NE(first.message.find(standalone::demoDataFolder().string()), std::string::npos);
    EXPECT_TRUE(fs::exists(standalone::demoDataFolder() / "BREVANTO.db"));
    EXPECT_TRUE(fs::exists(standalone::demoDataFolder() / "GRUPPO.db"));
    EXPECT_FALSE(ensureDemoDatabase(standalone::defaultSettings()).created);
    qunsetenv("XDG_DATA_HOME");
}

#ifdef BREVANTO_MODULE_FILE

using guitest::ShellWithModule;

TEST_F(ShellWithModule, EachKindOpensItsEditorWithTheControlsOfItsKind) {
    for (const auto& k : correlationKinds()) {
        SCOPED_TRACE(k.key);
        QString error;
        ASSERT_TRUE(shell->openKind(k.kind, &error, true)) << error.toStdString();
        FormWindow* w = shell->lastWindow();
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->form(), nullptr);
        EXPECT_EQ(w->form()->name(), "FRMCG_CORRRICL");
        EXPECT_EQ(w->windowTitle().toStdString(), k.caption);
        auto visible = [&](const char* name) {
            QWidget* widget = w->widgetOf(name);
            return widget && !widget->isHidden();
        };
        EXPECT_TRUE(visible("TXT_CODICE_PDC"));
        EXPECT_TRUE(visible("GRID_CORRPDC"));
        EXPECT_EQ(visible("TXT_CODINTERCOMPANY"), k.kind == 3);
        EXPECT_EQ(visible("BUT_CORRINFRANNUALECEE"), k.kind == 0);
        EXPECT_EQ(visible("BUT_CORRINTERMEDI"), k.kind == 0 || k.kind == 3);
        w->close();
        EXPECT_EQ(w->form(), nullptr);
    }
}

TEST_F(ShellWithModule, TypingTheHeaderFillsTheGrid) {
    FormWindow* w = openCoge("101");
    ASSERT_NE(w, nullptr);
    auto* grid = w->viewAs<GridView>("GRID_CORRPDC");
    ASSERT_NE(grid, nullptr);
    // Every account of the chart is listed once per sign.
    const auto* model = grid->model();
    auto cell = [&](int r, int c) { return model->data(model->index(r, c)).toString().toStdString(); };
    EXPECT_EQ(model->rowCount() % 2, 0);
    ASSERT_GE(model->rowCount(), 2);
    // The account through the chart's mask on its first sign row only, the sign's text, and
    // the demo's correlation of the first account.
    EXPECT_EQ(cell(0, 0), "01/01/01/0001");
    EXPECT_EQ(cell(0, 1), "Costi di impianto e ampliamento");
    EXPECT_EQ(cell(0, 2), "Dare");
    EXPECT_EQ(cell(0, 3), "0101001");
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_EQ(cell(1, 2), "Avere");
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->texts().join("\n").toStdString();
    w->close();
}

TEST_F(ShellWithModule, TheCeeWindowAsksForAMissingCodeAndClosesOnEscape) {
    FormWindow* w = openCoge("103");
    ASSERT_NE(w, nullptr);

    std::string window, focusAfterElabora;
    bool closedByEscape = false;
    guitest::whenModal([&](QWidget* modal) {
        auto* cee = qobject_cast<FormWindow*>(modal);
        ASSERT_NE(cee, nullptr);
        ASSERT_NE(cee->form(), nullptr);
        window = cee->form()->name();
        ASSERT_TRUE(QTest::qWaitForWindowActive(cee));
        QLineEdit* code = cee->viewAs<TextBoxView>("TXT_CEE_COD")->lineEdit();
        QTRY_COMPARE(QApplication::focusWidget(), code);
        // The code is empty and has the cursor: the click still reaches "Elabora".
        QTest::mouseClick(cee->widgetOf("BUT_ELABORA"), Qt::LeftButton);
        if (cee->form() && cee->form()->focused()) focusAfterElabora = cee->form()->focused()->name();
        QTRY_COMPARE(QApplication::focusWidget(), code);
        QTest::keyClick(code, Qt::Key_Escape);
        closedByEscape = cee->form() == nullptr;
        if (!closedByEscape) cee->close();   // so that the test ends either way
    });
    QTest::mouseClick(w->widgetOf("BUT_CORRINFRANNUALECEE"), Qt::LeftButton);   // back once it closed
    EXPECT_EQ(window, "FRMCG_CORRRICLBYCEE");
    EXPECT_EQ(focusAfterElabora, "TXT_CEE_COD");
    EXPECT_TRUE(closedByEscape);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(boxes->texts(), QStringList{"Codice non indicato: il campo è obbligatorio."});
    w->close();
}

#endif

TEST(DesktopProgram, TheScreenshotOptionRendersTheCogeEditor) {
#ifndef BREVANTO_MODULE_FILE
    GTEST_SKIP() << "the module library is not part of this build";
#else
    testsupport::TempDir dir;
    createDemoDatabase(dir.path());
    const fs::path png = fs::path(BREVANTO_SCREENSHOT_DIR) / "coge.png";
    std::error_code ec;
    fs::remove(png, ec);
    auto r = testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='") + dir.str() +
                                     "' '" BREVANTO_DESKTOP "' --module '" BREVANTO_MODULE_FILE "' --conn '" +
                                     sqliteConnectionString(dir.path()) + "' --screenshot '" + png.string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QImage image(QString::fromStdString(png.string()));
    ASSERT_FALSE(image.isNull());
    // The editor's placement, 11940 x 8280 twips, below the window's menu bar and toolbar.
    EXPECT_EQ(image.width(), 796);
    EXPECT_GT(image.height(), 552 + 20);
    EXPECT_LT(image.height(), 552 + 120);
#endif
}

TEST(DesktopProgram, TheScreenshotOptionRendersTheIntermediariesAndCeeWindowsAndAnySize) {
#ifndef BREVANTO_MODULE_FILE
    GTEST_SKIP() << "the module library is not part of this build";
#else
    testsupport::TempDir dir;
    createDemoDatabase(dir.path());
    auto shoot = [&](const std::string& name, const std::string& options) {
        const fs::path png = dir.path() / (name + ".png");
        auto r = testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='") + dir.str() +
                                         "' '" BREVANTO_DESKTOP "' --module '" BREVANTO_MODULE_FILE "' --conn '" +
                                         sqliteConnectionString(dir.path()) + "' " + options + " --screenshot '" +
                                         png.string() + "'");
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
        return QImage(QString::fromStdString(png.string()));
    };
    QImage large = shoot("large", "--kind hype --header 80,301 --width 1280 --height 800");
    EXPECT_EQ(large.size(), QSize(1280, 800));
    // The customers' master row, found through the search box, opens its intermediaries.
    QImage intermediaries = shoot("intermedi", "--header 10,101 --account 1401000000 --window intermedi");
    EXPECT_EQ(intermediaries.width(), 672);
    QImage cee = shoot("cee", "--header 10,103 --window cee");
    EXPECT_EQ(cee.width(), 440);
    // A window the option does not know is refused before anything opens.
    auto r = testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='") + dir.str() + "' '" +
                                     BREVANTO_DESKTOP "' --module '" BREVANTO_MODULE_FILE "' --conn '" +
                                     sqliteConnectionString(dir.path()) + "' --window finestra --screenshot x.png");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("finestra 'finestra' sconosciuta"), std::string::npos) << r.err;
#endif
}

TEST(DesktopProgram, WithoutConfigurationTheFirstRunMakesTheDemoDatabaseAndSaysSo) {
#ifndef BREVANTO_MODULE_FILE
    GTEST_SKIP() << "the module library is not part of this build";
#else
    testsupport::TempDir home;
    const std::string run = "QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='" + home.str() + "/config' XDG_DATA_HOME='" +
                            home.str() + "/data' '" BREVANTO_DESKTOP "' --module '" BREVANTO_MODULE_FILE
                            "' --kind cons --screenshot '" + home.str() + "/cons.png'";
    auto first = testsupport::runCommand(run);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("Creato il database dimostrativo in " + home.str() + "/data/brevanto/demo"),
              std::string::npos) << first.out;
    EXPECT_TRUE(fs::exists(home.path() / "data/brevanto/demo/BREVANTO.db"));
    EXPECT_TRUE(fs::exists(home.path() / "cons.png"));
    auto second = testsupport::runCommand(run);
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out.find("Creato il database"), std::string::npos);
#endif
}

// A picture is taken with nobody to answer a box: what the window would show goes to standard
// error and the run fails, instead of waiting for a click that never comes.
TEST(DesktopProgram, TheScreenshotOptionWritesTheErrorsOfABadDatabaseAndFails) {
#ifndef BREVANTO_MODULE_FILE
    GTEST_SKIP() << "the module library is not part of this build";
#else
    testsupport::TempDir dir;
    auto shoot = [&](const fs::path& folder) {
        return testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='") + dir.str() +
                                       "' timeout 60 '" BREVANTO_DESKTOP "' --module '" BREVANTO_MODULE_FILE "' --conn '" +
                                       sqliteConnectionString(folder) + "' --screenshot '" + dir.str() + "/x.png'");
    };
    // An empty file is refused by the editor's own connection, and stays empty.
    fs::create_directories(dir.path() / "vuoto");
    std::ofstream(dir.path() / "vuoto" / "BREVANTO.db").flush();
    auto empty = shoot(dir.path() / "vuoto");
    EXPECT_EQ(empty.exitCode, 1) << empty.err;
    EXPECT_NE(empty.err.find("Errore: Impossibile aprire il database BREVANTO."), std::string::npos) << empty.err;
    EXPECT_NE(empty.err.find("il file è vuoto, non è un database Brevanto"), std::string::npos) << empty.err;
    EXPECT_EQ(fs::file_size(dir.path() / "vuoto" / "BREVANTO.db"), 0u);

    // A database without the table the grid is filled from: the window's error reports.
    createDemoDatabase(dir.path() / "parziale");
    {
        auto c = db::Connection::create();
        c->Open(sqliteConnectionString(dir.path() / "parziale"));
        c->Execute("DROP TABLE CG36_PRSPDC");
        c->Close();
    }
    auto partial = shoot(dir.path() / "parziale");
    EXPECT_EQ(partial.exitCode, 1) << partial.err;
    EXPECT_NE(partial.err.find("no such table: CG36_PRSPDC"), std::string::npos) << partial.err;
    EXPECT_NE(partial.err.find("Errore: la finestra ha segnalato un errore"), std::string::npos) << partial.err;
    EXPECT_FALSE(fs::exists(dir.path() / "x.png"));

    // A hostile option value is echoed as text.
    auto hostile = testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen '") + BREVANTO_DESKTOP +
                                           "' --kind \"$(printf '\\033[2J')\"");
    EXPECT_EQ(hostile.exitCode, 2);
    EXPECT_NE(hostile.err.find("'\\x1B[2J' sconosciuto"), std::string::npos) << hostile.err;
#endif
}

TEST(DesktopProgram, BadOptionsGetAClearMessage) {
    auto r = testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen '") + BREVANTO_DESKTOP + "' --kind nessuno");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("nessuno"), std::string::npos);
    r = testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen '") + BREVANTO_DESKTOP + "' --levels 12");
    EXPECT_NE(r.exitCode, 0);
    // A configuration file that is not there: the whole message in the user's language.
    r = testsupport::runCommand(std::string("QT_QPA_PLATFORM=offscreen '") + BREVANTO_DESKTOP +
                                "' --config /nonexistent/brevanto.conf");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Errore nelle impostazioni: /nonexistent/brevanto.conf: file di configurazione non trovato\n");
}

}  // namespace
