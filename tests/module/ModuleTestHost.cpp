#include "ModuleTestHost.h"

#include <algorithm>

namespace moduletest {

const std::string& demoFolder() {
    static const std::string folder = [] {
        static const testsupport::TempDir d;   // removed when the process ends
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " db init --dir '" + d.str() + "' --demo");
        if (r.exitCode != 0) throw std::runtime_error("db init failed: " + r.err);
        return d.str();
    }();
    return folder;
}

std::string demoConnectionString() { return "Provider=SQLite;database=BREVANTO;Data Source=" + demoFolder(); }

std::shared_ptr<entry::CorrelationEntryClass> newEntryClass(editor::CorrelationKind kind) {
    switch (kind) {
        case editor::CorrelationKind::COIN: return std::make_shared<entry::CLSCG_CORRRICLCOIN>();
        case editor::CorrelationKind::HYPE: return std::make_shared<entry::CLSCG_CORRRICLHYPE>();
        case editor::CorrelationKind::CONS: return std::make_shared<entry::CLSCG_CORRRICLCONS>();
        default: return std::make_shared<entry::CLSCG_CORRRICLCOGE>();
    }
}

void ModuleHost::SetUp() {
    standalone::Settings settings;
    settings.connectionString = demoConnectionString();
    settings.companyCode = 1;
    settings.ledgerLevels = 4;
    host = standalone::StandaloneHost::create(settings, dialogs, events);
    navigator = host.newNavigator();
    entry::setWindowSystem(&windows);
    auto sql = sql_;
    auto swallowed = swallowed_;
    sink_ = db::addGlobalSink(db::makeSink(
        [sql](const db::TraceEvent& e) {
            if (!e.failed) sql->push_back(e.commandText);
        },
        [swallowed](const db::SwallowedError& e) { swallowed->push_back(e); }));
}

void ModuleHost::TearDown() {
    // A test that leaves an account typed answers the close question with No.
    for (auto& e : opened)
        if (e && e->isLoaded()) {
            dialogs->clearAnswers();
            dialogs->pushAnswer(0);
            e->close();
        }
    dialogs->clearAnswers();
    opened.clear();
    db::removeGlobalSink(sink_);
    entry::setWindowSystem(nullptr);
}

std::shared_ptr<entry::CorrelationEntryClass> ModuleHost::entryFor(editor::CorrelationKind kind, bool modal) {
    return entryFor(kind, host, navigator, modal);
}

std::shared_ptr<entry::CorrelationEntryClass> ModuleHost::entryFor(editor::CorrelationKind kind,
                                                                   const standalone::StandaloneHost& on,
                                                                   std::shared_ptr<standalone::RecordingNavigator> nav,
                                                                   bool modal) {
    auto e = newEntryClass(kind);
    e->setClsGlobal(on.global);
    e->setActiveNavigator(std::move(nav));
    e->setClsVoceMenu(std::make_shared<standalone::SimpleMenuEntry>("Correlazioni piani dei conti"));
    e->setCaption("Correlazione");
    e->setLeft(120);
    e->setTop(240);
    e->setWindowState(2);
    e->setWindowModal(modal);
    e->setIsActive(true);
    return e;
}

std::shared_ptr<editor::FRMCG_CORRRICL> ModuleHost::open(const std::shared_ptr<entry::CorrelationEntryClass>& e) {
    e->ShowForm();
    auto editor = e->Editor();
    if (editor) opened.push_back(editor);
    return editor;
}

std::vector<std::string> ModuleHost::takeSql() {
    auto out = *sql_;
    sql_->clear();
    return out;
}

std::vector<db::SwallowedError> ModuleHost::takeSwallowed() {
    auto out = *swallowed_;
    swallowed_->clear();
    return out;
}

std::vector<std::string> ModuleHost::eventKinds() const {
    std::vector<std::string> kinds;
    for (const auto& e : events->events()) kinds.push_back(e.at("event").get<std::string>());
    return kinds;
}

}  // namespace moduletest
