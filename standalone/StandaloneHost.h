#pragma once
// All services of the stand-alone host wired together from the settings and a Dialogs port:
// what the desktop shell and the automation driver create once at start-up.

#include <memory>

#include "standalone/HostEventLog.h"
#include "standalone/OfficeExport.h"
#include "standalone/RecordingModels.h"
#include "standalone/ReportDestination.h"
#include "standalone/Services.h"
#include "standalone/Settings.h"
#include "standalone/components/Programs.h"

namespace standalone {

struct StandaloneHost {
    Settings settings;
    std::shared_ptr<HostEventLog> events;
    std::shared_ptr<host::Dialogs> dialogs;
    std::shared_ptr<StandaloneMessageCenter> messages;
    std::shared_ptr<StandaloneLookupCatalog> lookups;
    std::shared_ptr<StandaloneClassFactory> classes;
    std::shared_ptr<StandaloneGlobal> global;
    // Shows the programs opened from the code fields (chart browsers, intercompany
    // structures); by default a RecordingProgramPresenter. Replace it with setProgramPresenter.
    std::shared_ptr<host::ProgramPresenter> programs;
    // Where the correlation reports go; the program installs the reports themselves
    // (classes->setReportMaker).
    std::shared_ptr<ReportDestination> reports = std::make_shared<ReportDestination>();

    // `events` may be null: a new log is created.
    static StandaloneHost create(Settings settings, std::shared_ptr<host::Dialogs> dialogs,
                                 std::shared_ptr<HostEventLog> events = nullptr);

    // The desktop shell's presenter in place of the recording one (for the class factory too).
    void setProgramPresenter(std::shared_ptr<host::ProgramPresenter> presenter);

    // A navigator for one program, recording into `events`.
    std::shared_ptr<RecordingNavigator> newNavigator() const { return std::make_shared<RecordingNavigator>(events); }
    std::shared_ptr<OfficeExport> newExport() const { return std::make_shared<OfficeExport>(events); }
    // The host's export command: raises the navigator's BeforeExportToOffice on a new export
    // object and returns what the program put into it, or nullptr when a handler cancelled.
    std::shared_ptr<OfficeExport> collectExport(RecordingNavigator& navigator) const;
};

}  // namespace standalone
