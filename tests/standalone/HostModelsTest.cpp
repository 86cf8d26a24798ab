// The host side the module talks to: the recording navigator and object models, the global
// object's program tracking and ledger parameters, the CEE lookup, and the entry class's
// ActiveDll link without a reference cycle.

#include <sqlite3.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/Cinterface.h"
#include "host/HostError.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/StandaloneHost.h"
#include "support/PropertyEntry.h"
#include "support/TestSupport.h"

using namespace standalone;
using testing::HasSubstr;

namespace {

// A property store is enough to be a program the host tracks.
using FakeEntry = testsupport::PropertyEntry;

StandaloneHost makeHost(const std::string& connectionString = "Provider=SQLite;database=NONE;Data Source=/nonexistent") {
    Settings s = defaultSettings();
    s.connectionString = connectionString;
    s.companyCode = 3;
    s.ledgerLevels = 5;
    return StandaloneHost::create(s, std::make_shared<ScriptedDialogs>());
}

void exec(sqlite3* db, const char* sql) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
}

}  // namespace

TEST(ActiveDll, DefaultsToTheInstanceWithoutOwningItself) {
    std::weak_ptr<host::Cinterface> watch;
    {
        auto entry = std::make_shared<FakeEntry>();
        watch = entry;
        EXPECT_EQ(entry->ActiveDll(), entry);
        auto other = std::make_shared<FakeEntry>();
        entry->setActiveDll(other);
        EXPECT_EQ(entry->ActiveDll(), other);
        entry->setActiveDll(entry);   // back to itself: still no self-ownership
        EXPECT_EQ(entry->ActiveDll(), entry);
        entry->setActiveDll(nullptr);
        EXPECT_EQ(entry->ActiveDll(), nullptr);
        entry->setActiveDll(entry);
    }
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(host::kCinterfaceMembers.front(), "ClsGlobal");
    EXPECT_EQ(host::kCinterfaceMembers[21], "TransferData");
    EXPECT_EQ(host::kCinterfaceMembers.back(), "Filtro");
}

TEST(RecordingNavigator, RecordsNoticesRegistrationsAndFormEventsInOrder) {
    auto log = std::make_shared<HostEventLog>();
    RecordingNavigator nav(log);
    std::shared_ptr<db::Object> window = std::make_shared<SimpleStatusFrame>();
    std::shared_ptr<db::Object> grid = std::make_shared<SimpleStatusFrame>();

    // What an entry class does in its layout and script handlers.
    nav.InitializeLayoutObjectModel.connect([&](bool&, host::LayoutModel& layout) {
        layout.registerWindow("Correlazione PdC contabile - riclassificazione", window, 0, 0, 0);
        layout.registerGrid("Grid correlazione", grid);
    });
    nav.InitializeScriptObjectModel.connect([&](bool&, host::ScriptModel& script) {
        script.registerWindow("FRMCG_CORRRICL", window, 0, "Correlazione PdC contabile - riclassificazione");
    });
    EXPECT_FALSE(nav.raiseInitializeLayoutObjectModel());
    EXPECT_FALSE(nav.raiseInitializeScriptObjectModel());
    EXPECT_EQ(nav.layoutModel()->lastGrid(), grid);

    // What the editor does while it opens and closes.
    nav.refreshStatus(2);
    nav.refresh();
    nav.activationNotice();
    db::Variant out = "x";
    nav.formNotice(out);
    EXPECT_TRUE(out.isEmpty());
    auto script = nav.scriptObjectModel();
    ASSERT_NE(script, nullptr);
    script->formEvent("FRMCG_CORRRICL", 0, 1, "FRMCG_CORRRICL");
    script->formEvent("FRMCG_CORRRICL", 0, 0, "FRMCG_CORRRICL");
    script->closingNotice("Correlazioni");
    nav.closingNotice();
    nav.clearLayoutModel();
    nav.clearScriptModel();
    nav.clearEntryLink();
    EXPECT_EQ(nav.scriptObjectModel(), nullptr);
    EXPECT_FALSE(nav.entryLinked());

    std::vector<std::string> kinds;
    for (const auto& e : log->events()) kinds.push_back(e["event"]);
    EXPECT_THAT(kinds, testing::ElementsAre("layoutRegisterWindow", "layoutRegisterGrid", "scriptRegisterWindow",
                                            "refreshStatus", "refresh", "activationNotice", "formNotice", "formEvent",
                                            "formEvent", "scriptClosingNotice", "closingNotice", "clearLayoutModel",
                                            "clearScriptModel", "clearEntryLink"));
    auto forms = log->ofKind("formEvent");
    EXPECT_EQ(forms[0], (nlohmann::json{{"event", "formEvent"}, {"window", "FRMCG_CORRRICL"}, {"option", 0}, {"open", 1},
                                        {"name", "FRMCG_CORRRICL"}, {"action", "qvOpen"}}));
    EXPECT_EQ(forms[1]["action"], "qvClose");
    EXPECT_EQ(log->ofKind("refreshStatus")[0]["status"], 2);
    EXPECT_EQ(log->ofKind("layoutRegisterGrid")[0]["name"], "Grid correlazione");
    EXPECT_EQ(HostEventLog::dump(log->events()[3]), R"({"event":"refreshStatus","status":2})");
    log->record("messageBox", {{"text", std::string("bad \xff byte")}});
    EXPECT_THAT(HostEventLog::dump(log->events().back()), HasSubstr("bad"));
    EXPECT_EQ(log->take().size(), 15u);
    EXPECT_TRUE(log->events().empty());
}

TEST(RecordingNavigator, ScriptVetoIsSettableAndEventsCanCancel) {
    auto log = std::make_shared<HostEventLog>();
    RecordingNavigator nav(log);
    auto script = nav.scriptModel();
    EXPECT_FALSE(script->closingVeto());
    script->setClosingVeto(true);
    EXPECT_TRUE(nav.scriptObjectModel()->closingVeto());
    EXPECT_EQ(log->ofKind("closingVeto")[1]["answer"], true);

    OfficeExport exporter(log);
    nav.BeforeExportToOffice.connect([](bool& cancel, host::ExportToOffice& e) {
        e.setTitoloMaster("T");
        cancel = true;
    });
    EXPECT_TRUE(nav.raiseBeforeExportToOffice(exporter));
    EXPECT_EQ(exporter.titoloMaster(), "T");
}

TEST(StandaloneGlobal, SettingsServicesAndProgramTracking) {
    auto h = makeHost();
    auto& g = *h.global;
    EXPECT_EQ(g.companyCode(), 3);
    EXPECT_EQ(g.ledgerLevelCount(), 5);
    EXPECT_EQ(g.hostConnectionString(), "Provider=SQLite;database=NONE;Data Source=/nonexistent");
    EXPECT_EQ(g.messageCenter()->text(17737), "Dare");
    ASSERT_NE(g.classFactory(), nullptr);
    EXPECT_NE(g.classFactory()->newLogService(), nullptr);
    auto connection = g.classFactory()->newConnectionProvider()->newConnection();
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->State(), db::ado::adStateClosed);
    EXPECT_NE(g.classFactory()->newRecordsetFactory()->newRecordset(), nullptr);

    auto entry = std::make_shared<FakeEntry>();
    entry->setCaption("Correlazione");
    g.setCurrentProgram(entry);
    EXPECT_EQ(g.currentProgram(), entry);
    g.programClosing(*entry);
    g.applicationNotice(nullptr);
    g.setCurrentProgram(nullptr);
    g.setSecondProgram(nullptr);
    EXPECT_EQ(g.currentProgram(), nullptr);

    auto current = h.events->ofKind("currentProgram");
    ASSERT_EQ(current.size(), 2u);
    EXPECT_EQ(current[0]["set"], true);
    EXPECT_EQ(current[0]["caption"], "Correlazione");
    EXPECT_EQ(current[1]["set"], false);
    EXPECT_EQ(h.events->ofKind("programClosing")[0]["current"], true);
    EXPECT_EQ(h.events->count("applicationNotice"), 1u);
    EXPECT_EQ(h.events->count("secondProgram"), 1u);
}

TEST(StandaloneGlobal, LedgerParametersComeFromTheChartSettings) {
    testsupport::TempDir dir;
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open((dir.path() / "HOSTTEST.db").c_str(), &raw), SQLITE_OK);
    exec(raw,
         "CREATE TABLE CG36_PRSPDC (CG36_GRUPPO_CG10 tinyint, CG36_CODICE smallint, CG36_CONTO_CG24 nvarchar(10));"
         "INSERT INTO CG36_PRSPDC VALUES (1, 10, '0401000000'), (1, 20, '1201000000'), (1, 30, '9999999999'),"
         " (2, 10, '0402000000');");
    sqlite3_close(raw);

    auto h = makeHost("Provider=SQLite;database=HOSTTEST;Data Source=" + dir.str());
    auto p = h.global->loadLedgerParameters(1);
    EXPECT_EQ(p.customersMaster, "0401000000");
    EXPECT_EQ(p.suppliersMaster, "1201000000");
    p = h.global->loadLedgerParameters(db::Variant("2"));
    EXPECT_EQ(p.customersMaster, "0402000000");
    EXPECT_EQ(p.suppliersMaster, "");   // a chart with only the customers' row
    EXPECT_EQ(h.global->ledgerParameters().customersMaster, "0402000000");
    // Not a chart code: nothing is read and nothing can reach the statement.
    p = h.global->loadLedgerParameters(db::Variant("1 OR 1=1"));
    EXPECT_EQ(p.customersMaster, "");
    EXPECT_EQ(h.global->loadLedgerParameters(db::Variant()).suppliersMaster, "");
}

TEST(StandaloneGlobal, AnUnreachableDatabaseIsADatabaseError) {
    auto h = makeHost("Provider=SQLite;database=NONE;Data Source=/nonexistent-folder");
    EXPECT_THROW(h.global->loadLedgerParameters(1), db::Error);
}

TEST(LookupCatalog, CeeSchemesLookupAndDecodeWithoutInjection) {
    StandaloneLookupCatalog catalog;
    auto lookup = catalog.prepare("LKP_CODPDCRICLCEE", 0);
    EXPECT_THAT(lookup.sql, HasSubstr("FROM CG21_SCHEMACEE"));
    ASSERT_EQ(lookup.fields.size(), 2u);
    EXPECT_EQ(lookup.fields[0].column, "CG21_CODICE");
    EXPECT_EQ(lookup.fields[1].column, "CG21_DESCR");
    EXPECT_FALSE(lookup.caption.empty());
    EXPECT_EQ(lookup.lookupId, "LKP_CODPDCRICLCEE");

    auto d = catalog.prepareDecode("LKP_CODPDCRICLCEE", db::Variant(" 82 "), nullptr);
    EXPECT_EQ(d.sql, "SELECT CG21_DESCR FROM CG21_SCHEMACEE WITH(NOLOCK) WHERE CG21_CODICE = 82");
    ASSERT_EQ(d.fields.size(), 1u);
    EXPECT_EQ(d.fields[0].column, "CG21_DESCR");
    EXPECT_EQ(catalog.prepareDecode("LKP_CODPDCRICLCEE", db::Variant(83), nullptr).sql,
              "SELECT CG21_DESCR FROM CG21_SCHEMACEE WITH(NOLOCK) WHERE CG21_CODICE = 83");
    for (db::Variant bad : {db::Variant("82; DROP TABLE CG83_COLLRICL"), db::Variant("8'2"), db::Variant(""),
                            db::Variant(-1), db::Variant(8.5), db::Variant::null(), db::Variant("1234567890")}) {
        auto refused = catalog.prepareDecode("LKP_CODPDCRICLCEE", bad, nullptr);
        EXPECT_EQ(refused.sql, "SELECT CG21_DESCR FROM CG21_SCHEMACEE WITH(NOLOCK) WHERE 1 = 0") << bad.debugString();
    }
    EXPECT_THROW(catalog.prepare("LKP_UNKNOWN", 0), host::HostError);
    EXPECT_THROW(catalog.prepareDecode("LKP_UNKNOWN", 1, nullptr), host::HostError);
}
