// The entry classes as the host drives them: the property store's range rules, the
// navigator subscription, the layout, script and export handlers, TransferData and HYPE's
// termination.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ModuleTestHost.h"
#include "standalone/OfficeExport.h"
#include "support/XlsxReadBack.h"

using editor::CorrelationKind;
using moduletest::ModuleHost;
using testing::ElementsAre;

namespace {

TEST(EntryProperties, OutOfRangeAndUnconvertibleValuesKeepThePreviousOne) {
    entry::CLSCG_CORRRICLCOGE e;
    e.setWindowState(2);
    e.setWindowState(40000);
    EXPECT_EQ(e.WindowState(), 2);
    e.setWindowState(-32768);
    EXPECT_EQ(e.WindowState(), -32768);
    e.setProgramMode(7);
    e.setProgramMode(-40000);
    EXPECT_EQ(e.ProgramMode(), 7);

    e.setTop(db::Variant("1500"));
    e.setTop(db::Variant("alto"));
    e.setTop(db::Variant::null());
    EXPECT_EQ(e.Top(), db::Variant(1500));
    EXPECT_EQ(e.Top().type(), db::Variant::Type::Integer);
    e.setLeft(db::Variant(99.6));
    e.setLeft(db::Variant(1e12));
    EXPECT_EQ(e.Left(), db::Variant(100));

    e.setFiltro(db::Variant("CG24_CONTO = '01'"));
    EXPECT_TRUE(e.Filtro().isEmpty());
    e.setMenuModulo(db::Variant("CG"));
    e.setCaption(db::Variant(12));
    EXPECT_EQ(e.MenuModulo(), db::Variant("CG"));
    EXPECT_EQ(e.Caption(), db::Variant(12));
    EXPECT_TRUE(e.CloseForm().isEmpty());
}

TEST(EntryProperties, ActiveDllIsTheInstanceUntilReplacedAndCwindowIsNeverAnObject) {
    auto e = std::make_shared<entry::CLSCG_CORRRICLHYPE>();
    EXPECT_EQ(e->ActiveDll(), e);
    auto other = std::make_shared<entry::CLSCG_CORRRICLCOGE>();
    e->setActiveDll(other);
    EXPECT_EQ(e->ActiveDll(), other);
    e->setActiveDll(e);
    EXPECT_EQ(e->ActiveDll(), e);
    e->setActiveDll(nullptr);
    EXPECT_FALSE(e->ActiveDll());

    e->setActiveFrame(std::make_shared<standalone::SimpleStatusFrame>());
    e->setStatusBar(std::make_shared<standalone::SimpleStatusFrame>());
    e->setClsVoceMenu(std::make_shared<standalone::SimpleMenuEntry>("x"));
    e->setConnection(db::Connection::create());
    EXPECT_FALSE(e->Cwindow());
}

TEST(EntryProperties, WithoutAWindowSystemTheClassAndTheEditorItMadeGoTogether) {
    ASSERT_EQ(entry::windowSystem(), nullptr);
    std::weak_ptr<entry::CorrelationEntryClass> cls;
    std::weak_ptr<editor::FRMCG_CORRRICL> ed;
    {
        auto e = std::make_shared<entry::CLSCG_CORRRICLCOGE>();
        cls = e;
        e->ShowForm();
        ed = e->Editor();
        ASSERT_FALSE(ed.expired());
        EXPECT_FALSE(ed.lock()->isLoaded());
    }
    EXPECT_TRUE(cls.expired());
    EXPECT_TRUE(ed.expired());
}

TEST(EntryProperties, TransferDataRaisesDataTransferOnceWithTheSameValue) {
    entry::CLSCG_CORRRICLCONS e;
    std::vector<db::Variant> seen;
    e.DataTransfer.connect([&](const db::Variant& v) { seen.push_back(v); });
    EXPECT_TRUE(e.TransferData(db::Variant("0110000001")).isEmpty());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], db::Variant("0110000001"));
}

TEST(EntryProperties, KindTitlesAndTerminationMessage) {
    EXPECT_EQ(entry::kindTitle(CorrelationKind::COIN), entry::kindTitle(CorrelationKind::COGE));
    EXPECT_EQ(entry::kindTitle(CorrelationKind::HYPE), "Correlazione PdC contabile - Hyperion");
    EXPECT_EQ(entry::terminationErrorText(91, "Variabile oggetto non impostata", entry::TerminationStage::DestroyClass),
              "Errore VB n.91 - Variabile oggetto non impostata nel metodo DestroyClass della classe principale");
    EXPECT_EQ(entry::terminationErrorText(5, "x", entry::TerminationStage::Terminate),
              "Errore VB n.5 - x nel Terminate della classe principale");
}

class EntryNavigator : public ModuleHost {};

TEST_F(EntryNavigator, LayoutAndScriptRegisterTheEditorOnlyWhileActive) {
    auto e = entryFor(CorrelationKind::HYPE);
    auto ed = open(e);
    ASSERT_TRUE(ed);
    events->clear();

    e->setIsActive(false);
    navigator->raiseInitializeLayoutObjectModel();
    navigator->raiseInitializeScriptObjectModel();
    EXPECT_EQ(events->count("layoutRegisterWindow"), 0u);
    EXPECT_EQ(events->count("scriptRegisterWindow"), 0u);

    // What counts is IsActive of the interface ActiveDll names.
    auto other = std::make_shared<entry::CLSCG_CORRRICLCOGE>();
    other->setIsActive(true);
    e->setActiveDll(other);
    navigator->raiseInitializeLayoutObjectModel();
    navigator->raiseInitializeScriptObjectModel();
    auto windows = events->ofKind("layoutRegisterWindow");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].at("title"), "Correlazione PdC contabile - Hyperion");
    EXPECT_EQ(windows[0].at("options"), nlohmann::json({0, 0, 0}));
    auto grids = events->ofKind("layoutRegisterGrid");
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_EQ(grids[0].at("name"), "Grid correlazione");
    EXPECT_EQ(navigator->layoutModel()->lastGrid(), ed->Grid());
    auto scripts = events->ofKind("scriptRegisterWindow");
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_EQ(scripts[0].at("name"), "FRMCG_CORRRICL");
    EXPECT_EQ(scripts[0].at("option"), 0);
    EXPECT_EQ(scripts[0].at("title"), "Correlazione PdC contabile - Hyperion");
    EXPECT_EQ(e->Editor(), ed);
    e->setActiveDll(e);
}

TEST_F(EntryNavigator, ReplacingTheNavigatorMovesTheSubscription) {
    auto e = entryFor(CorrelationKind::COGE);
    auto ed = open(e);
    ASSERT_TRUE(ed);
    e->CloseForm();   // does nothing: the window stays open
    EXPECT_TRUE(ed->isOpen());
    auto second = host.newNavigator();
    e->setActiveNavigator(second);
    events->clear();
    navigator->raiseInitializeLayoutObjectModel();
    EXPECT_EQ(events->count("layoutRegisterWindow"), 0u);
    second->raiseInitializeLayoutObjectModel();
    EXPECT_EQ(events->count("layoutRegisterWindow"), 1u);
    e->setActiveNavigator(nullptr);
    second->raiseInitializeScriptObjectModel();
    EXPECT_EQ(events->count("scriptRegisterWindow"), 0u);
    e->setActiveNavigator(navigator);
}

TEST_F(EntryNavigator, ExportOfAnEmptyGridHasOnlyTheMasterSection) {
    for (auto kind : {CorrelationKind::COGE, CorrelationKind::COIN, CorrelationKind::HYPE, CorrelationKind::CONS}) {
        auto e = entryFor(kind);
        auto ed = open(e);
        ASSERT_TRUE(ed);
        ed->get("TXT_CODICE_PDC").setText("80");
        ed->get("TXT_DESC_PDC").setText("Piano standard");
        auto out = host.newExport();
        EXPECT_FALSE(navigator->raiseBeforeExportToOffice(*out));
        EXPECT_EQ(out->titoloMaster(), entry::kindTitle(kind));
        ASSERT_EQ(out->sections().size(), 1u);
        const auto& master = out->sections()[0];
        EXPECT_EQ(master.caption, "Campi correlati");
        const std::size_t n = kind == CorrelationKind::CONS ? 6 : 4;
        ASSERT_EQ(master.captions.size(), n);
        ASSERT_EQ(master.values.size(), n);
        EXPECT_EQ(master.captions[n - 4], "Codice PdC contabile");
        EXPECT_EQ(master.values[n - 4], db::Variant("80"));
        EXPECT_EQ(master.values[n - 3], db::Variant("Piano standard"));
        if (kind == CorrelationKind::HYPE) {
            EXPECT_EQ(master.captions[2], "Codice PdC Hyperion");
        }
        if (kind == CorrelationKind::CONS) {
            EXPECT_EQ(master.captions[0], "Codice intercompany");
        }
        e->setActiveNavigator(nullptr);
        ed->close();
    }
}

TEST_F(EntryNavigator, ExportRowsCarryTheSignTextAndAnUnknownSignExportsEmpty) {
    auto e = entryFor(CorrelationKind::COGE);
    auto ed = open(e);
    ASSERT_TRUE(ed);
    auto rs = ed->GridRecordset();
    ASSERT_TRUE(rs);
    const struct { const char* account; const char* grid; int sign; const char* ricl; } rows[] = {
        {"0110000001", "0110000001", 1, "A01"}, {"0110000001", nullptr, 2, nullptr}, {"0120000001", "0120000001", 7, "B"}};
    for (const auto& r : rows) {
        rs->AddNew();
        rs->setValue("CONTOPDC", r.account);
        rs->setValue("CONTOPDCGRID", r.grid ? db::Variant(r.grid) : db::Variant::null());
        rs->setValue("SEGNO", r.sign);
        rs->setValue("CONTORICL", r.ricl ? db::Variant(r.ricl) : db::Variant::null());
        rs->Update();
    }
    auto out = host.newExport();
    navigator->raiseBeforeExportToOffice(*out);
    ASSERT_EQ(out->sections().size(), 2u);
    const auto& detail = out->sections()[1];
    EXPECT_EQ(detail.caption, "Correlazioni");
    EXPECT_THAT(detail.captions, ElementsAre("Conto contabile", "Descrizione conto contabile", "Segno",
                                             "Conto riclassificato", "Descrizione conto riclassificato"));
    ASSERT_EQ(detail.rows.size(), 3u);
    EXPECT_EQ(detail.rows[0][0], db::Variant("0110000001"));
    EXPECT_EQ(detail.rows[0][2], db::Variant("Dare"));
    EXPECT_EQ(detail.rows[0][3], db::Variant("A01"));
    EXPECT_TRUE(detail.rows[1][0].isNull());
    EXPECT_EQ(detail.rows[1][2], db::Variant("Avere"));
    EXPECT_EQ(detail.rows[2][2], db::Variant(""));
    // The export read a clone: the grid's own cursor stayed where it was.
    EXPECT_FALSE(rs->Eof());

    // In the workbook the unknown sign is an empty cell beside its account.
    testsupport::TempDir dir;
    out->writeXlsx(dir.path() / "segni.xlsx");
    const auto sheet = testsupport::readXlsx(dir.path() / "segni.xlsx").at(0);
    const long row = sheet.rowOf("0120000001");
    ASSERT_GE(row, 0);
    EXPECT_EQ(sheet.text(row - 2, 2), "Dare");
    EXPECT_EQ(sheet.text(row - 1, 2), "Avere");
    EXPECT_TRUE(sheet.rows[row][2].is_null());
    EXPECT_EQ(sheet.text(row, 3), "B");
}

TEST_F(EntryNavigator, ASecondShowFormKeepsTheFirstEditorOpenUntilItIsClosed) {
    auto e = entryFor(CorrelationKind::COGE);
    // Only the entry class holds the editors here, as a host that keeps nothing but the class.
    e->ShowForm();
    std::weak_ptr<editor::FRMCG_CORRRICL> first = e->Editor();
    ASSERT_FALSE(first.expired());
    first.lock()->get("TXT_CODICE_PDC").enterText("10");   // a pending edit, not confirmed
    events->clear();

    e->ShowForm();
    std::weak_ptr<editor::FRMCG_CORRRICL> second = e->Editor();
    auto one = first.lock();
    auto two = second.lock();
    ASSERT_TRUE(one) << "the first editor was released without being closed";
    ASSERT_TRUE(two);
    EXPECT_NE(one, two);
    EXPECT_TRUE(one->isOpen());
    EXPECT_EQ(one->get("TXT_CODICE_PDC").Text(), "10");
    EXPECT_EQ(e->OpenEditors(), (std::vector<std::shared_ptr<editor::FRMCG_CORRRICL>>{one, two}));
    EXPECT_EQ(events->count("programClosing"), 0u);   // nothing was unloaded
    EXPECT_TRUE(windows.closed().empty());

    // The navigator's handlers act on the last editor.
    two->get("TXT_CODICE_PDC").setText("80");
    auto out = host.newExport();
    navigator->raiseBeforeExportToOffice(*out);
    ASSERT_FALSE(out->sections().empty());
    EXPECT_EQ(out->sections()[0].values[0], db::Variant("80"));
    navigator->raiseInitializeScriptObjectModel();
    EXPECT_EQ(e->Editor(), two);

    // Each closes through its query-unload (qvClose) and unload. While the first stays open
    // the class keeps its host links and follows it.
    events->clear();
    EXPECT_TRUE(two->close());
    EXPECT_EQ(events->count("closingVeto"), 1u);      // its query-unload asked the script model
    EXPECT_EQ(events->count("programClosing"), 1u);   // and its unload told the host
    EXPECT_EQ(windows.closed(), std::vector<std::string>{"FRMCG_CORRRICL"});
    EXPECT_TRUE(one->isOpen());
    EXPECT_EQ(e->OpenEditors(), std::vector<std::shared_ptr<editor::FRMCG_CORRRICL>>{one});
    EXPECT_EQ(e->Editor(), one);
    EXPECT_EQ(e->Connection(), one->EditorConnection());
    EXPECT_TRUE(e->ClsGlobal());
    EXPECT_TRUE(e->ActiveNavigator());
    auto again = host.newExport();
    navigator->raiseBeforeExportToOffice(*again);
    ASSERT_FALSE(again->sections().empty());
    EXPECT_EQ(again->sections()[0].values[0], db::Variant("10"));

    events->clear();
    EXPECT_TRUE(one->close());
    EXPECT_EQ(events->count("programClosing"), 1u);
    EXPECT_TRUE(e->OpenEditors().empty());
    // The last editor to close leaves the class without host objects, as a single one does.
    EXPECT_FALSE(e->ClsGlobal());
    EXPECT_FALSE(e->ActiveNavigator());
    EXPECT_FALSE(e->Connection());
    EXPECT_TRUE(dialogs->shown().empty());
    two.reset();
    EXPECT_FALSE(second.expired());   // kept until the next ShowForm or until the class goes
}

TEST_F(EntryNavigator, HypeDestroyClassReleasesTheHostObjectsAndTheEditor) {
    auto hype = std::make_shared<entry::CLSCG_CORRRICLHYPE>();
    hype->setClsGlobal(host.global);
    hype->setActiveNavigator(navigator);
    hype->setActiveFrame(std::make_shared<standalone::SimpleStatusFrame>());
    hype->setStatusBar(std::make_shared<standalone::SimpleStatusFrame>());
    hype->setConnection(db::Connection::create());
    hype->DestroyClass();
    EXPECT_FALSE(hype->ClsGlobal());
    EXPECT_FALSE(hype->ActiveNavigator());
    EXPECT_FALSE(hype->ActiveFrame());
    EXPECT_FALSE(hype->StatusBar());
    EXPECT_FALSE(hype->Connection());
    EXPECT_FALSE(hype->ActiveDll());
    EXPECT_FALSE(hype->Editor());
    events->clear();
    navigator->raiseInitializeScriptObjectModel();
    EXPECT_EQ(events->count("scriptRegisterWindow"), 0u);
    EXPECT_TRUE(dialogs->shown().empty());
}

}  // namespace
