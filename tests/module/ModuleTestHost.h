#pragma once
// A stand-alone host for the module's tests: the demo database (created once per test
// binary by the command-line tool), the stand-alone services answering from a queue,
// a recording navigator, the test window system and a trace of every statement executed.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/Trace.h"
#include "editor/FRMCG_CORRRICL.h"
#include "entry/CorrelationEntryClass.h"
#include "entry/ModuleObjects.h"
#include "kit/WindowSystem.h"
#include "standalone/RecordingModels.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/StandaloneHost.h"
#include "support/TestSupport.h"

namespace moduletest {

// The folder of the demo database, created on first use and kept for the whole binary.
const std::string& demoFolder();
std::string demoConnectionString();

std::shared_ptr<entry::CorrelationEntryClass> newEntryClass(editor::CorrelationKind kind);

class ModuleHost : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // An entry class of `kind` with the host's global object, the navigator, a menu entry,
    // a caption and a place set, as the shell hands them over.
    std::shared_ptr<entry::CorrelationEntryClass> entryFor(editor::CorrelationKind kind, bool modal = false);
    // The same handed over by another host (a second user's program).
    std::shared_ptr<entry::CorrelationEntryClass> entryFor(editor::CorrelationKind kind, const standalone::StandaloneHost& on,
                                                           std::shared_ptr<standalone::RecordingNavigator> nav,
                                                           bool modal = false);
    // Opens the editor modeless and returns it (activated).
    std::shared_ptr<editor::FRMCG_CORRRICL> open(const std::shared_ptr<entry::CorrelationEntryClass>& e);
    // The statements executed since the last call.
    std::vector<std::string> takeSql();
    // The errors swallowed since the last call (procedure and text), as the trace reports them.
    std::vector<db::SwallowedError> takeSwallowed();
    std::vector<std::string> eventKinds() const;

    kit::TestWindowSystem windows;
    std::shared_ptr<standalone::HostEventLog> events = std::make_shared<standalone::HostEventLog>();
    std::shared_ptr<standalone::ScriptedDialogs> dialogs = std::make_shared<standalone::ScriptedDialogs>(events);
    standalone::StandaloneHost host;
    std::shared_ptr<standalone::RecordingNavigator> navigator;
    std::vector<std::shared_ptr<editor::FRMCG_CORRRICL>> opened;

private:
    std::shared_ptr<std::vector<std::string>> sql_ = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<std::vector<db::SwallowedError>> swallowed_ = std::make_shared<std::vector<db::SwallowedError>>();
    long sink_ = 0;
};

}  // namespace moduletest
