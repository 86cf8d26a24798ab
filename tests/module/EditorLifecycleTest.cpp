// The correlation editor as a user and the host see it: set-up per kind at load and first
// activation, the statements the first activation runs, closing and what the unload
// releases, the message and error routines.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "EditorTestAccess.h"
#include "ModuleTestHost.h"
#include "entry/CLSCG_CORRRICL.h"

using editor::CorrelationKind;
using editor::EditorTestAccess;
using editor::FRMCG_CORRRICL;
using moduletest::ModuleHost;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

struct KindCase {
    CorrelationKind kind;
    bool intercompany;      // CONS fields shown, header taller, grid lower
    bool interimBalance;    // BUT_CORRINFRANNUALECEE shown
    bool intermediaries;    // BUT_CORRINTERMEDI shown
    const char* reclLabel;  // LBL_CODRICL from the host dictionary
    const char* joinTable;  // the correlation table the working table joins
    const char* accountHint;  // what TXT_CONTOCOIN holds, as its hint says
};

class EditorSetUp : public ModuleHost, public testing::WithParamInterface<KindCase> {};

TEST_P(EditorSetUp, HeaderButtonsLabelsAndGridFollowTheKind) {
    const KindCase k = GetParam();
    auto entryClass = entryFor(k.kind);
    auto ed = open(entryClass);
    ASSERT_TRUE(ed);
    ASSERT_TRUE(EditorTestAccess::activated(*ed));
    EXPECT_EQ(ed->KindHolder()->TipoCorrelazione(), static_cast<int>(k.kind));
    EXPECT_EQ(ed->Caption(), "Correlazione");
    EXPECT_EQ(ed->WindowState(), 2);

    for (const char* name : {"LBL_CODINTERCOMPANY", "TXT_CODINTERCOMPANY", "TXT_DESCRINTERCOMPANY"})
        EXPECT_EQ(ed->get(name).Visible(), k.intercompany) << name;
    EXPECT_EQ(ed->get("TXT_CODINTERCOMPANY").TabStop(), k.intercompany);
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").TabStop(), !k.intercompany);
    const int shift = k.intercompany ? 330 : 0;
    EXPECT_EQ(ed->get("Frame1").Height(), 855 + shift);
    EXPECT_EQ(ed->get("GRID_CORRPDC").Top(), 900 + shift);
    EXPECT_EQ(ed->get("GRID_CORRPDC").Height(), 5400 - shift);
    EXPECT_EQ(ed->get("TXT_CODICE_RICL").Top(), 480 + shift);
    EXPECT_EQ(ed->get("TXT_DESCR_RICL").Top(), 480 + shift);

    EXPECT_EQ(ed->get("BUT_CORRINFRANNUALECEE").Visible(), k.interimBalance);
    EXPECT_FALSE(ed->get("BUT_CORRINFRANNUALECEE").TabStop() && k.interimBalance);
    EXPECT_EQ(ed->get("BUT_CORRINTERMEDI").Visible(), k.intermediaries);
    EXPECT_FALSE(ed->get("BUT_CORRINTERMEDI").TabStop());
    EXPECT_EQ(ed->get("BUT_CORRINTERMEDI").Caption(), "Correlazione intermedi");
    EXPECT_FALSE(ed->get("GRB_CHECK").Visible());
    for (const char* name : {"TXT_NUM_LIVELLI", "TXT_NUM_LIVELLI_CONS", "TXT_NUM_LIVELLI_RICL"})
        EXPECT_FALSE(ed->get(name).Visible()) << name;
    EXPECT_EQ(ed->get("LBL_CODRICL").Caption(), k.reclLabel);
    // The design caption stays; the hint says what the box holds in this kind, and the
    // reclassified chart's code box uses the same words as its label.
    EXPECT_EQ(ed->get("TXT_CONTOCOIN").caption(), "Conto di contabilità industriale");
    EXPECT_EQ(ed->get("TXT_CONTOCOIN").ToolTipText(), k.accountHint);
    EXPECT_EQ(ed->get("TXT_CODICE_RICL").ToolTipText(), k.reclLabel);
    EXPECT_EQ(EditorTestAccess::dictionaryText(*ed, 1), "Correlazione intermedi mastro clienti");
    EXPECT_EQ(EditorTestAccess::dictionaryText(*ed, 2), "Correlazione intermedi mastro fornitori");

    // The working table of the empty header: dropped (it did not exist yet), created with
    // the kind's join and chart 0, then read by the grid recordset.
    auto sql = takeSql();
    auto at = [&](const std::string& needle) {
        return std::find_if(sql.begin(), sql.end(), [&](const std::string& s) { return s.find(needle) != std::string::npos; });
    };
    auto drop = at("DROP TABLE #CORRPDCRICL");
    auto create = at("INTO #CORRPDCRICL");
    auto read = at(" FROM #CORRPDCRICL\r\n ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO");
    ASSERT_NE(drop, sql.end());
    ASSERT_NE(create, sql.end());
    ASSERT_NE(read, sql.end());
    EXPECT_LT(drop, create);
    EXPECT_LT(create, read);
    EXPECT_EQ(*drop, "DROP TABLE #CORRPDCRICL");
    EXPECT_THAT(*create, HasSubstr(std::string("LEFT OUTER JOIN ") + k.joinTable));
    EXPECT_THAT(*create, HasSubstr(" WHERE   CG24_GRUPPO_CG10 = 0\r\n"));
    EXPECT_EQ(*read, " SELECT *\r\n FROM #CORRPDCRICL\r\n ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO\r\n");
    // Nothing went wrong on the way: no error report, no message.
    EXPECT_TRUE(dialogs->shown().empty()) << dialogs->shown().front().text;

    // The grid recordset is open on the empty working table, with its columns.
    auto rs = ed->GridRecordset();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->State(), db::ado::adStateOpen);
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->fields().contains("CONTOPDCGRID"));
    EXPECT_TRUE(rs->fields().contains("TIPOCF"));
}

std::string kindName(const testing::TestParamInfo<KindCase>& info) {
    static const char* const names[] = {"COGE", "COIN", "HYPE", "CONS"};
    return names[static_cast<int>(info.param.kind)];
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditorSetUp,
    testing::Values(KindCase{CorrelationKind::COGE, false, true, true, "Codice PdC riclassificazione", "CG83_COLLRICL",
                             "Conto riclassificato"},
                    KindCase{CorrelationKind::COIN, false, false, false, "Codice PdC riclassificazione", "CG83_COLLRICL",
                             "Conto riclassificato"},
                    KindCase{CorrelationKind::HYPE, false, false, false, "Codice PdC Hyperion", "CGH0_COLLRICLHYP",
                             "Conto Hyperion"},
                    KindCase{CorrelationKind::CONS, true, false, true, "Codice PdC riclassificato intercompany",
                             "CGB3_COLLRICLCONS", "Conto riclassificato intercompany"}),
    kindName);

class Editor : public ModuleHost {};

TEST_F(Editor, FirstActivationSetsUpGridFrameNavigatorAndAnnouncesTheWindow) {
    auto entryClass = entryFor(CorrelationKind::COGE);
    auto ed = open(entryClass);
    ASSERT_TRUE(ed);

    // Its own connection, handed to the entry class.
    ASSERT_TRUE(ed->EditorConnection());
    EXPECT_EQ(ed->EditorConnection()->State(), db::ado::adStateOpen);
    EXPECT_EQ(entryClass->Connection(), ed->EditorConnection());
    EXPECT_EQ(ed->StringaConnessioneHost(), moduletest::demoConnectionString());
    auto& conto = ed->get<kit::LedgerAccountBox>("TXT_CONTO");
    EXPECT_EQ(conto.Connection(), ed->EditorConnection());
    EXPECT_EQ(conto.EntryClass(), entryClass);
    auto& coin = ed->get<kit::CoinAccountBox>("TXT_CONTOCOIN");
    EXPECT_EQ(coin.ConnectionText(), moduletest::demoConnectionString());

    // Placement and resizer.
    auto& box = ed->get<kit::MdiHostBox>("MdiHostBox");
    EXPECT_TRUE(box.placed());
    EXPECT_EQ(box.placement().left, 120);
    EXPECT_EQ(box.placement().top, 240);
    EXPECT_EQ(box.placement().width, 11940);
    EXPECT_EQ(box.placement().height, 8280);
    EXPECT_EQ(box.WindowState(), 2);
    auto& resizer = ed->get<kit::FormResizer>("FormResizer");
    EXPECT_TRUE(resizer.started());
    for (const char* name : {"BUT_NUOVACORR", "BUT_STAMPA", "BUT_CORRINTERMEDI", "GRB_CHECK", "BUT_CORRINFRANNUALECEE"})
        EXPECT_EQ(resizer.modeOf(ed->get(name)), 12) << name;
    EXPECT_EQ(resizer.modeOf(ed->get("GRIDNAV")), 5);

    // Sign list, grid columns, record frame and navigator.
    auto& segno = ed->get<kit::ListCombo>("CBO_SEGNO");
    ASSERT_EQ(segno.ListCount(), 2);
    EXPECT_EQ(segno.items()[0].text, "Dare");
    EXPECT_EQ(segno.items()[0].value, db::Variant(1));
    EXPECT_EQ(segno.items()[1].text, "Avere");
    auto& grid = ed->get<kit::QueryGrid>("GRID_CORRPDC");
    EXPECT_FALSE(grid.Enabled());
    EXPECT_TRUE(grid.columnsComplete());
    std::vector<std::string> fields;
    for (const auto& c : grid.columns()) fields.push_back(c.field + (c.shown ? "" : "-") + std::to_string(c.width));
    EXPECT_THAT(fields, ElementsAre("FAKEID-100", "CONTOPDC-100", "DESCRPDC-100", "CONTOPDCGRID2025", "DESCRPDCGRID3405",
                                    "SEGNO645", "CONTORICL2055", "DESCRRICL3630"));
    const auto& signColumn = grid.columns()[5];
    EXPECT_EQ(signColumn.kind, 3);
    ASSERT_EQ(signColumn.valueList.size(), 2u);
    EXPECT_EQ(signColumn.valueList[0].second, "Dare");
    EXPECT_EQ(signColumn.valueList[1].second, "Avere");
    ASSERT_TRUE(grid.Settings());
    EXPECT_EQ(grid.Settings()->keyField, "FAKEID");
    auto frame = EditorTestAccess::RecordFrame(*ed);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Status(), kit::StatusNew);
    EXPECT_EQ(frame->keyField(), "FAKEID");
    EXPECT_EQ(frame->boundControls().size(), 5u);
    auto& nav = ed->get<kit::GridNavigator>("GRIDNAV");
    EXPECT_EQ(nav.Frame(), frame.get());
    EXPECT_EQ(nav.Options(), (std::array<bool, 7>{false, false, true, false, true, true, false}));

    // The chart finder and decoder the header fields will use.
    EXPECT_TRUE(EditorTestAccess::ReclChartFinder(*ed));
    EXPECT_TRUE(EditorTestAccess::ReclChartDecoder(*ed));

    // The key-button menu entry of the reclassification chart.
    const auto& menu = ed->get<kit::CodeEditBox>("TXT_CODICE_RICL").menuEntries();
    EXPECT_TRUE(std::any_of(menu.begin(), menu.end(), [](const kit::MenuEntry& m) {
        return m.key == "Kpers1" && m.caption == "Codici bilancio correlati" && m.enabled;
    }));

    // The host was told: current program, activation, qvOpen with the window's name.
    auto opens = events->ofKind("formEvent");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].at("window"), "FRMCG_CORRRICL");
    EXPECT_EQ(opens[0].at("open"), 1);
    EXPECT_EQ(opens[0].at("name"), "FRMCG_CORRRICL");
    EXPECT_EQ(events->count("activationNotice"), 1u);
    EXPECT_EQ(events->count("applicationNotice"), 1u);
    EXPECT_EQ(host.global->currentProgram(), entryClass);

    // A later activation only refreshes the navigator.
    takeSql();
    const auto refreshes = events->count("refresh");
    ed->activate();
    EXPECT_EQ(events->count("refresh"), refreshes + 1);
    EXPECT_EQ(events->count("activationNotice"), 1u);
    EXPECT_TRUE(takeSql().empty());
    EXPECT_EQ(segno.ListCount(), 2);
}

TEST_F(Editor, ClosingIsRefusedBeforeTheFirstActivationAndThenTheScriptDecides) {
    auto entryClass = entryFor(CorrelationKind::COGE);
    auto ed = std::make_shared<FRMCG_CORRRICL>(&windows);
    opened.push_back(ed);
    ed->KindHolder()->setTipoCorrelazione(0);
    ed->setEntryClass(entryClass);
    ed->load();
    EXPECT_FALSE(ed->close());
    EXPECT_TRUE(ed->isLoaded());
    EXPECT_EQ(events->count("formEvent"), 0u);

    ed->show(false);
    ASSERT_TRUE(EditorTestAccess::activated(*ed));
    navigator->scriptModel()->setClosingVeto(true);
    EXPECT_FALSE(ed->close());
    EXPECT_TRUE(ed->isLoaded());
    auto closes = events->ofKind("formEvent");
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[1].at("open"), 0);

    navigator->scriptModel()->setClosingVeto(false);
    EXPECT_TRUE(ed->close());
    EXPECT_FALSE(ed->isLoaded());
}

TEST_F(Editor, ModalShowReturnsAfterCloseAndTheUnloadReleasesEverythingInOrder) {
    auto entryClass = entryFor(CorrelationKind::CONS, /*modal=*/true);
    entryClass->setActiveFrame(std::make_shared<standalone::SimpleStatusFrame>(3));
    entryClass->setStatusBar(std::make_shared<standalone::SimpleMenuEntry>("barra"));
    std::shared_ptr<db::Connection> editorConnection;
    bool sawOpen = false;
    windows.onModal("FRMCG_CORRRICL", [&](kit::Form& form) {
        auto& ed = dynamic_cast<FRMCG_CORRRICL&>(form);
        sawOpen = EditorTestAccess::activated(ed);
        editorConnection = ed.EditorConnection();
        events->clear();
        EXPECT_TRUE(form.close());
    });
    EXPECT_TRUE(entryClass->ShowForm().isEmpty());
    EXPECT_TRUE(sawOpen);
    ASSERT_EQ(windows.closed().size(), 1u);
    EXPECT_EQ(events->count("refreshStatus"), 1u);   // the active frame's Status, at query-unload

    // The unload's notices, in order, after the query-unload's.
    auto kinds = eventKinds();
    auto from = std::find(kinds.begin(), kinds.end(), "programClosing");
    ASSERT_NE(from, kinds.end());
    EXPECT_THAT(std::vector<std::string>(from, kinds.end()),
                ElementsAre("programClosing", "scriptClosingNotice", "closingNotice", "clearLayoutModel",
                            "clearScriptModel", "clearEntryLink", "currentProgram", "secondProgram"));
    EXPECT_EQ(events->ofKind("scriptClosingNotice")[0].at("text"), "Correlazioni piani dei conti");
    EXPECT_EQ(events->ofKind("currentProgram").back().at("set"), false);

    // The entry class holds no host object any more; the editor's connection is closed.
    EXPECT_FALSE(entryClass->ClsGlobal());
    EXPECT_FALSE(entryClass->ActiveNavigator());
    EXPECT_FALSE(entryClass->ActiveDll());
    EXPECT_FALSE(entryClass->ActiveFrame());
    EXPECT_FALSE(entryClass->ClsVoceMenu());
    EXPECT_FALSE(entryClass->Connection());
    EXPECT_FALSE(entryClass->StatusBar());
    EXPECT_FALSE(host.global->currentProgram());
    ASSERT_TRUE(editorConnection);
    EXPECT_EQ(editorConnection->State(), db::ado::adStateClosed);
    auto ed = entryClass->Editor();
    ASSERT_TRUE(ed);
    EXPECT_FALSE(ed->EditorConnection());
    EXPECT_FALSE(ed->EntryClass());
    EXPECT_FALSE(ed->KindHolder());
    EXPECT_FALSE(EditorTestAccess::RecordFrame(*ed));
    EXPECT_FALSE(EditorTestAccess::ReclChartFinder(*ed));
    EXPECT_FALSE(EditorTestAccess::ReclChartDecoder(*ed));
    EXPECT_FALSE(ed->GridRecordset());
    EXPECT_FALSE(ed->Grid()->Recordset());
    EXPECT_FALSE(ed->get<kit::CoinAccountBox>("TXT_CONTOCOIN").Connection());
    EXPECT_FALSE(ed->get<kit::LedgerAccountBox>("TXT_CONTO").EntryClass());
    EXPECT_TRUE(ed->get<kit::GridNavigator>("GRIDNAV").Detached());
    EXPECT_FALSE(navigator->entryLinked());
    // Navigator events after the close no longer reach the class.
    navigator->resetModels();
    navigator->raiseInitializeLayoutObjectModel();
    EXPECT_EQ(events->count("layoutRegisterWindow"), 0u);

    // The host hands the objects over again: a second ShowForm opens a new working window.
    entryClass->setClsGlobal(host.global);
    entryClass->setActiveNavigator(navigator);
    entryClass->setActiveDll(entryClass);
    bool secondOpen = false;
    windows.onModal("FRMCG_CORRRICL", [&](kit::Form& form) {
        secondOpen = EditorTestAccess::activated(dynamic_cast<FRMCG_CORRRICL&>(form));
        form.close();
    });
    entryClass->ShowForm();
    EXPECT_TRUE(secondOpen);
    EXPECT_NE(entryClass->Editor(), ed);
    EXPECT_EQ(windows.closed().size(), 2u);
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(Editor, AConnectionThatFailsIsToldOnceAndTheWindowClosesItself) {
    testsupport::TempDir dir;
    const std::string missing = (dir.path() / "altrove").string();
    standalone::Settings settings;
    settings.connectionString = "Provider=SQLite;database=BREVANTO;Data Source=" + missing;
    host = standalone::StandaloneHost::create(settings, dialogs, events);
    navigator = host.newNavigator();
    for (bool modal : {false, true}) {
        SCOPED_TRACE(modal ? "modal" : "modeless");
        auto entryClass = entryFor(CorrelationKind::COGE, modal);
        takeSql();
        events->clear();
        EXPECT_TRUE(entryClass->ShowForm().isEmpty());
        auto ed = entryClass->Editor();
        ASSERT_TRUE(ed);
        EXPECT_FALSE(ed->isLoaded());
        EXPECT_FALSE(EditorTestAccess::activated(*ed));
        EXPECT_TRUE(windows.shown().empty());   // closed before it was shown
        EXPECT_FALSE(ed->EditorConnection());   // released by the unload
        auto boxes = dialogs->takeShown();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, standalone::ShownBox::Kind::Message);
        EXPECT_EQ(boxes[0].text, "Impossibile aprire il database BREVANTO.\n\nLa cartella dei database '" + missing +
                                     "' non esiste\n\nLa finestra \"Correlazione\" si chiude.");
        EXPECT_EQ(events->count("errorReport"), 0u);
        EXPECT_EQ(events->count("formEvent"), 0u);   // never announced as open, nor as closing
        EXPECT_TRUE(takeSql().empty());
    }
}

TEST_F(Editor, ADatabaseFileThatIsNotABrevantoDatabaseIsToldOnceAndLeftAlone) {
    const std::vector<std::pair<const char*, std::string>> files{
        {"empty", ""}, {"garbage", std::string(4096, 'x')}};
    for (const auto& [what, content] : files) {
        SCOPED_TRACE(what);
        testsupport::TempDir dir;
        const auto file = dir.path() / "BREVANTO.db";
        std::ofstream(file, std::ios::binary) << content;
        standalone::Settings settings;
        settings.connectionString = "Provider=SQLite;database=BREVANTO;Data Source=" + dir.str();
        host = standalone::StandaloneHost::create(settings, dialogs, events);
        navigator = host.newNavigator();
        auto entryClass = entryFor(CorrelationKind::COGE, false);
        takeSql();
        entryClass->ShowForm();
        auto boxes = dialogs->takeShown();
        ASSERT_EQ(boxes.size(), 1u) << boxes.back().text;
        EXPECT_EQ(boxes[0].kind, standalone::ShownBox::Kind::Message);
        EXPECT_THAT(boxes[0].text, HasSubstr("Impossibile aprire il database BREVANTO."));
        EXPECT_THAT(boxes[0].text, HasSubstr(what == std::string("empty") ? "il file è vuoto, non è un database Brevanto"
                                                                            : "il file non è un database SQLite"));
        EXPECT_TRUE(windows.shown().empty());
        EXPECT_TRUE(takeSql().empty());
        EXPECT_EQ(testsupport::readFile(file), content);
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "BREVANTO.db-wal"));
    }
}

TEST_F(Editor, AShowFormWithoutHostObjectsOpensAWindowThatCannotWorkButDoesNotFail) {
    auto bare = moduletest::newEntryClass(CorrelationKind::HYPE);
    EXPECT_TRUE(bare->ShowForm().isEmpty());
    auto ed = bare->Editor();
    ASSERT_TRUE(ed);
    opened.push_back(ed);
    EXPECT_TRUE(ed->isLoaded());
    EXPECT_FALSE(ed->EditorConnection());
    EXPECT_FALSE(EditorTestAccess::activated(*ed));
    EXPECT_FALSE(ed->close());   // never activated: the close is refused
    ed->setEntryClass(nullptr);  // the host lets go of the window (no reference cycle)
    // Without a window system nothing is shown at all.
    entry::setWindowSystem(nullptr);
    auto other = moduletest::newEntryClass(CorrelationKind::COGE);
    EXPECT_TRUE(other->ShowForm().isEmpty());
    ASSERT_TRUE(other->Editor());
    EXPECT_FALSE(other->Editor()->isLoaded());
}

TEST_F(Editor, ShowMessageFillsPlaceholdersAndReturnsTheAnswer) {
    auto ed = open(entryFor(CorrelationKind::COGE));
    ASSERT_TRUE(ed);
    std::int32_t type = 3;
    dialogs->pushAnswer(1);
    EXPECT_EQ(ed->ShowMessage(type, 115, std::nullopt, db::Variant("0110000001")), 1);
    dialogs->pushAnswer(4);
    EXPECT_EQ(ed->ShowMessage(type, 115, db::Variant(117), db::Variant("0110000001"), db::Variant("0110"), 2), 4);
    auto boxes = dialogs->takeShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Il conto 0110000001 non è valido in quanto è stato correlato al mastro %2.");
    EXPECT_EQ(boxes[0].code, 115);
    EXPECT_EQ(boxes[0].type, 3);
    EXPECT_EQ(boxes[0].detail, "");
    EXPECT_EQ(boxes[0].defaultButton, 0);
    EXPECT_EQ(boxes[1].text, "Il conto 0110000001 non è valido in quanto è stato correlato al mastro 0110.");
    EXPECT_EQ(boxes[1].detail, "Conto non trovato!");
    EXPECT_EQ(boxes[1].defaultButton, 2);

    // An id outside the table is a run-time error the error routine reports; ignoring it
    // goes on and shows what there is.
    dialogs->pushAnswer(5);
    dialogs->pushAnswer(1);
    EXPECT_EQ(ed->ShowMessage(type, 999), 1);
    boxes = dialogs->takeShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].kind, standalone::ShownBox::Kind::ErrorReport);
    EXPECT_EQ(boxes[0].procedure, "ShowMessage");
    EXPECT_EQ(boxes[0].type, 4370);
    EXPECT_THAT(boxes[0].text, HasSubstr("999"));
    EXPECT_EQ(boxes[1].code, 999);
}

TEST_F(Editor, VisualizzaErroreUsesTheLogWithTheConnectionsErrorsOrSaysThereIsNoLog) {
    auto entryClass = entryFor(CorrelationKind::COGE);
    FRMCG_CORRRICL unloaded(&windows);
    unloaded.setEntryClass(entryClass);
    EXPECT_EQ(EditorTestAccess::VisualizzaErrore(unloaded, "CreaTabella"), 3);
    auto boxes = dialogs->takeShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Classe Log non settata");
    EXPECT_EQ(boxes[0].title, "Attenzione");
    EXPECT_EQ(boxes[0].type, 0);

    auto ed = open(entryFor(CorrelationKind::COGE));
    ASSERT_TRUE(ed);
    EXPECT_THROW(ed->EditorConnection()->Execute("SELECT * FROM TABELLA_CHE_NON_ESISTE"), db::Error);
    dialogs->pushAnswer(5);
    EXPECT_EQ(EditorTestAccess::VisualizzaErrore(*ed, "DecodificaContoCoin"), 5);
    boxes = dialogs->takeShown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, standalone::ShownBox::Kind::ErrorReport);
    EXPECT_EQ(boxes[0].procedure, "DecodificaContoCoin");
    EXPECT_EQ(boxes[0].type, 4370);
    EXPECT_FALSE(boxes[0].databaseErrors.empty());
}

TEST_F(Editor, AFailingWorkingTableIsReportedAsCreaTabellaAndRetryRunsItAgain) {
    auto ed = open(entryFor(CorrelationKind::COGE));
    ASSERT_TRUE(ed);
    takeSql();
    // A level count that is not a number cannot build the statement.
    ed->get("TXT_NUM_LIVELLI").setText("quattro");
    dialogs->pushAnswer(4);   // retry: fails again
    dialogs->pushAnswer(5);   // ignore: the statement is built with 0 levels
    EditorTestAccess::CreaTabella(*ed);
    auto boxes = dialogs->takeShown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].procedure, "CreaTabella");
    EXPECT_EQ(boxes[1].procedure, "CreaTabella");
    auto sql = takeSql();
    EXPECT_TRUE(std::any_of(sql.begin(), sql.end(), [](const std::string& s) {
        return s.find("RIGHT(CG24_CONTO,0) <> ''") != std::string::npos;
    }));
}

}  // namespace
