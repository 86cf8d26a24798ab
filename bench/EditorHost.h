#pragma once
// The correlation editor in the stand-alone host with scripted dialogs, as the automation
// driver and the tests use it, and the header typed to fill its grid.

#include <memory>
#include <string>

#include "editor/FRMCG_CORRRICL.h"
#include "entry/CorrelationEntryClass.h"
#include "entry/ModuleObjects.h"
#include "kit/WindowSystem.h"
#include "standalone/HostEventLog.h"
#include "standalone/RecordingModels.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/StandaloneHost.h"

namespace benchdb {

struct EditorHost {
    kit::TestWindowSystem windows;
    std::shared_ptr<standalone::HostEventLog> events = std::make_shared<standalone::HostEventLog>();
    std::shared_ptr<standalone::ScriptedDialogs> dialogs = std::make_shared<standalone::ScriptedDialogs>(events);
    standalone::StandaloneHost host;
    explicit EditorHost(const std::string& connectionString) {
        standalone::Settings settings;
        settings.connectionString = connectionString;
        settings.companyCode = 1;
        settings.ledgerLevels = 4;
        host = standalone::StandaloneHost::create(settings, dialogs, events);
        entry::setWindowSystem(&windows);
    }
    ~EditorHost() { entry::setWindowSystem(nullptr); }
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;

    std::shared_ptr<entry::CorrelationEntryClass> entry;
    std::shared_ptr<editor::FRMCG_CORRRICL> open() {
        entry = std::make_shared<entry::CLSCG_CORRRICLCOGE>();
        entry->setClsGlobal(host.global);
        entry->setActiveNavigator(host.newNavigator());
        entry->setClsVoceMenu(std::make_shared<standalone::SimpleMenuEntry>("Correlazioni"));
        entry->setWindowModal(false);
        entry->setIsActive(true);
        entry->ShowForm();
        return entry->Editor();
    }
};

// Chart 10, Tab, reclassification chart 101, Tab: the grid is bound to the chart's rows.
inline void fillHeader(editor::FRMCG_CORRRICL& ed) {
    auto& pdc = ed.get("TXT_CODICE_PDC");
    ed.setFocus(pdc);
    pdc.enterText("10");
    ed.keyDown(kit::keys::Tab);
    auto& ricl = ed.get("TXT_CODICE_RICL");
    ed.setFocus(ricl);
    ricl.enterText("101");
    ed.keyDown(kit::keys::Tab);
}

}  // namespace benchdb
