#include "standalone/StandaloneHost.h"

#include <stdexcept>

namespace standalone {

StandaloneHost StandaloneHost::create(Settings settings, std::shared_ptr<host::Dialogs> dialogs,
                                      std::shared_ptr<HostEventLog> events) {
    if (!dialogs) throw std::invalid_argument("the stand-alone host needs a Dialogs implementation");
    StandaloneHost h;
    h.settings = std::move(settings);
    h.events = events ? std::move(events) : std::make_shared<HostEventLog>();
    h.dialogs = std::move(dialogs);
    h.messages = std::make_shared<StandaloneMessageCenter>(h.dialogs);
    h.lookups = std::make_shared<StandaloneLookupCatalog>();
    h.classes = std::make_shared<StandaloneClassFactory>(h.dialogs, h.messages);
    h.global = std::make_shared<StandaloneGlobal>(h.settings, h.messages, h.lookups, h.classes, h.events);
    h.classes->setEventLog(h.events);
    h.setProgramPresenter(std::make_shared<RecordingProgramPresenter>());
    return h;
}

void StandaloneHost::setProgramPresenter(std::shared_ptr<host::ProgramPresenter> presenter) {
    if (!presenter) throw std::invalid_argument("the stand-alone host needs a ProgramPresenter");
    programs = presenter;
    classes->setProgramPresenter(std::move(presenter));
}

std::shared_ptr<OfficeExport> StandaloneHost::collectExport(RecordingNavigator& navigator) const {
    auto exporter = newExport();
    if (navigator.raiseBeforeExportToOffice(*exporter)) return nullptr;
    return exporter;
}

}  // namespace standalone
