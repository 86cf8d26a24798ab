#include "EditorFieldsTestHost.h"

#include <filesystem>
#include <stdexcept>

#include "db/Connection.h"

namespace fieldstest {

namespace {

void run(db::Connection& c, const std::vector<std::string>& statements) {
    for (const auto& s : statements) c.Execute(s);
}

}  // namespace

const std::string& fieldsFolder() {
    static const std::string folder = [] {
        static const testsupport::TempDir d;   // removed when the process ends
        for (const auto& f : std::filesystem::directory_iterator(moduletest::demoFolder()))
            std::filesystem::copy(f.path(), d.path() / f.path().filename());
        auto host = db::Connection::create();
        host->Open("Provider=SQLite;database=BREVANTO;Data Source=" + d.str());
        run(*host, {
            // Stored masks: one between blanks with "0" positions, one in capitals.
            "INSERT INTO CG10_DESPDC (CG10_GRUPPO, CG10_DESCR, CG10_MASKEDIT, CG10_NUMLIVELLI, CG10_NUMLIVCONS)"
            " VALUES (30, 'Piano a due livelli', '  xx/xxxx0000 ', 2, 1)",
            "INSERT INTO CG10_DESPDC (CG10_GRUPPO, CG10_DESCR, CG10_MASKEDIT, CG10_NUMLIVELLI, CG10_NUMLIVCONS)"
            " VALUES (31, 'Piano con maschera maiuscola', 'XX/xx', 2, 1)",
            // An analytic chart of type 2, with a ledger chart of the same code (30) so that
            // the mask query finds a stored mask for it.
            "INSERT INTO PC01_DESCRPDC (PC01_CODICE, PC01_INDTIPOPDC, PC01_DESCR, PC01_NUMLIVELLI, PC01_MASKEDIT)"
            " VALUES (202, 2, 'Piano analitico per commessa', 2, 'xx/xx')",
            "INSERT INTO PC01_DESCRPDC (PC01_CODICE, PC01_INDTIPOPDC, PC01_DESCR, PC01_NUMLIVELLI, PC01_MASKEDIT)"
            " VALUES (30, 2, 'Piano analitico di stabilimento', 2, 'xx/xx')",
            "INSERT INTO PC02_CONFIGPDC (PC02_CODICE_PC01) VALUES (202)",
            "INSERT INTO PC03_ANAGPDC (PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR, PC03_INDANALITICO, PC03_INDTIPOCONTO)"
            " VALUES (202, '10', 'Commesse', 0, 2)",
            "INSERT INTO PC03_ANAGPDC (PC03_CODICE_PC01, PC03_CONTO, PC03_DESCR, PC03_INDANALITICO, PC03_INDTIPOCONTO)"
            " VALUES (202, '1001', 'Commessa Alfa', 1, 2)",
            // Structures on the group database: company 3 has no chart there, company 4 a
            // chart the host database does not know.
            "INSERT INTO CG18_ANADITTA (CG18_DITTA, CG18_RAGSOC) VALUES (3, 'Societa'' senza piano')",
            "INSERT INTO CG18_ANADITTA (CG18_DITTA, CG18_RAGSOC) VALUES (4, 'Societa'' con piano di gruppo')",
            "INSERT INTO CGC0_STRUTINFRAGRUPPO (CGC0_CODICE, CGC0_CODICE_CGB1, CGC0_DITTA_CG18, CGC0_DESCR)"
            " VALUES (3, 1, 3, 'Struttura senza piano dei conti')",
            "INSERT INTO CGC0_STRUTINFRAGRUPPO (CGC0_CODICE, CGC0_CODICE_CGB1, CGC0_DITTA_CG18, CGC0_DESCR)"
            " VALUES (4, 1, 4, 'Struttura con piano di gruppo')",
        });
        host->Close();
        auto group = db::Connection::create();
        group->Open("Provider=SQLite;database=GRUPPO;Data Source=" + d.str());
        run(*group, {
            "INSERT INTO CG10_DESPDC (CG10_GRUPPO, CG10_DESCR, CG10_MASKEDIT, CG10_NUMLIVELLI, CG10_NUMLIVCONS)"
            " VALUES (90, 'Piano di gruppo', 'xx/xx/xx', 3, 2)",
            "INSERT INTO CG25_ANADITTAGEST (CG25_DITTA_CG18, CG25_GRUPPO_CG10) VALUES (4, 90)",
        });
        group->Close();
        return d.str();
    }();
    return folder;
}

std::string fieldsConnectionString() { return "Provider=SQLite;database=BREVANTO;Data Source=" + fieldsFolder(); }

void FieldsHost::SetUp() {
    ModuleHost::SetUp();
    useHost(fieldsConnectionString(), 4);
}

void FieldsHost::useHost(const std::string& connectionString, int levels) {
    standalone::Settings settings;
    settings.connectionString = connectionString;
    settings.companyCode = 1;
    settings.ledgerLevels = static_cast<std::int16_t>(levels);
    host = standalone::StandaloneHost::create(settings, dialogs, events);
    navigator = host.newNavigator();
}

std::shared_ptr<editor::FRMCG_CORRRICL> FieldsHost::openKind(editor::CorrelationKind kind) {
    auto ed = open(entryFor(kind));
    if (!ed) throw std::runtime_error("the editor did not open");
    takeSql();
    return ed;
}

bool FieldsHost::typeAndTab(editor::FRMCG_CORRRICL& ed, const std::string& control, const std::string& text) {
    auto& box = ed.get(control);
    if (!ed.setFocus(box)) return false;
    box.enterText(text);
    ed.keyDown(kit::keys::Tab);
    return ed.focused() != &box;
}

bool FieldsHost::typeAndLeave(editor::FRMCG_CORRRICL& ed, const std::string& control, const std::string& text) {
    auto& box = ed.get(control);
    if (!ed.setFocus(box)) return false;
    box.enterText(text);
    ed.setFocus(ed.get("BUT_STAMPA"));
    return ed.focused() != &box;
}

std::string FieldsHost::focusedName(const editor::FRMCG_CORRRICL& ed) const {
    return ed.focused() ? ed.focused()->name() : std::string();
}

std::vector<std::string> FieldsHost::takeSqlContaining(const std::string& needle) {
    std::vector<std::string> out;
    for (auto& s : takeSql())
        if (s.find(needle) != std::string::npos) out.push_back(s);
    return out;
}

standalone::RecordingProgramPresenter& FieldsHost::programs() {
    auto p = std::dynamic_pointer_cast<standalone::RecordingProgramPresenter>(host.programs);
    if (!p) throw std::runtime_error("the host's program presenter is not the recording one");
    return *p;
}

}  // namespace fieldstest
