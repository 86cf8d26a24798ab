#pragma once
// A desktop shell over a fresh demo database, with the module library the build made.

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "../support/TestSupport.h"
#include "GuiTestSupport.h"
#include <QLineEdit>
#include <QTest>

#include "gui/ControlViews.h"
#include "gui/DesktopShell.h"
#include "gui/FormWindow.h"
#include "gui/ShellSetup.h"

#ifdef BREVANTO_MODULE_FILE

namespace guitest {

struct ShellWithModule : ::testing::Test {
    static inline std::unique_ptr<testsupport::TempDir> dir;
    static void SetUpTestSuite() {
        dir = std::make_unique<testsupport::TempDir>();
        gui::createDemoDatabase(dir->path());
    }
    static void TearDownTestSuite() { dir.reset(); }

    std::unique_ptr<gui::DesktopShell> shell;
    std::unique_ptr<BoxAnswerer> boxes;
    void SetUp() override {
        boxes = std::make_unique<BoxAnswerer>();
        gui::DesktopShell::Options o;
        o.settings = standalone::defaultSettings();
        o.settings.connectionString = gui::sqliteConnectionString(dir->path());
        o.settings.modal = false;
        o.settingsFile = dir->path() / "brevanto.conf";
        o.module = BREVANTO_MODULE_FILE;
        shell = std::make_unique<gui::DesktopShell>(o);
    }
    void TearDown() override {
        shell.reset();
        for (const auto& t : boxes->texts()) std::cerr << "message shown: " << t.toStdString() << '\n';
        boxes.reset();
    }

    // Opens `kind` and types its header as a user does: `code` in the box `first` (the chart,
    // or the intercompany structure in CONS), Enter, `ricl`, Enter.
    gui::FormWindow* openWithHeader(int kind, const char* first, const char* code, const char* ricl) {
        QString error;
        EXPECT_TRUE(shell->openKind(kind, &error, true)) << error.toStdString();
        gui::FormWindow* w = shell->lastWindow();
        if (!w || !QTest::qWaitForWindowActive(w)) return nullptr;
        auto edit = [&](const char* name) { return w->viewAs<gui::TextBoxView>(name)->lineEdit(); };
        w->form()->setFocus(w->form()->get(first));
        QTest::keyClicks(edit(first), code);
        QTest::keyClick(edit(first), Qt::Key_Return);
        QTest::keyClicks(edit("TXT_CODICE_RICL"), ricl);
        QTest::keyClick(edit("TXT_CODICE_RICL"), Qt::Key_Return);
        return w;
    }
    // COGE with chart 10 and reclassification chart `ricl`.
    gui::FormWindow* openCoge(const char* ricl) { return openWithHeader(0, "TXT_CODICE_PDC", "10", ricl); }
};

}  // namespace guitest

#endif
