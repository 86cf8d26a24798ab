#pragma once
// A desktop shell over a fresh demo database, with the module library the build made.

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include "../support/TestSupport.h"
#include "GuiTestSupport.h"
#include "gui/DesktopShell.h"
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
};

}  // namespace guitest

#endif
