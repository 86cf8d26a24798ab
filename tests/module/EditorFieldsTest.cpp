// The header's chart fields as a user meets them: decoding and validating the chart being
// reclassified (with the account mask it brings), confirming the reclassification chart (the
// refusals with their host messages, the grid fill and the tab order that follows), the
// lookups per kind, the "Kpers1" lookup of correlated charts, the maintenance programs of
// the menu keys, and the reclassified-account helpers the account boxes call.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EditorFieldsTestHost.h"
#include "EditorTestAccess.h"
#include "standalone/Dictionary.h"

using editor::CorrelationKind;
using editor::EditorTestAccess;
using editor::FRMCG_CORRRICL;
using fieldstest::FieldsHost;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

std::vector<std::string> lookupCodes(const kit::LookupRequest& r) {
    std::vector<std::string> codes;
    for (long i = 0; i < r.recordset->viewSize(); ++i) codes.push_back(r.recordset->viewRow(i).front().toText());
    return codes;
}

std::string hostText(long id) { return standalone::Dictionary::builtin().text(id).value_or("?"); }

class EditorFields : public FieldsHost {};

// ---- the chart being reclassified ----------------------------------------------------------

TEST_F(EditorFields, LedgerChartDecodesAndBringsItsStoredMask) {
    struct Case {
        const char* chart;
        const char* mask;
    };
    // Blanks around the stored mask go, "x" and "0" become "@"; a capital X is kept.
    for (const Case c : {Case{"30", "@@/@@@@@@@@"}, Case{"31", "XX/@@"}}) {
        SCOPED_TRACE(c.chart);
        auto ed = openKind(CorrelationKind::COGE);
        ASSERT_TRUE(typeAndTab(*ed, "TXT_CODICE_PDC", c.chart));
        EXPECT_EQ(focusedName(*ed), "TXT_CODICE_RICL");
        EXPECT_EQ(ed->FormattaConto(0), c.mask);
        EXPECT_EQ(ed->FormattaConto(7), c.mask);
        EXPECT_EQ(ed->get<kit::LedgerAccountBox>("TXT_CONTO").ChartCode(), std::stoi(c.chart));
        EXPECT_EQ(ed->get<kit::CodeEditBox>("TXT_DESC_PDC").Text().empty(), false);
        EXPECT_EQ(ed->get("TXT_NUM_LIVELLI").Text(), "2");
        EXPECT_EQ(ed->get("TXT_NUM_LIVELLI_CONS").Text(), "1");
        EXPECT_THAT(takeSql(),
                    testing::IsSupersetOf(
                        {std::string("SELECT CG10_DESCR, CG10_NUMLIVELLI, CG10_NUMLIVCONS FROM CG10_DESPDC WITH(NOLOCK)"
                                     " WHERE CG10_GRUPPO = ") + c.chart,
                         std::string("SELECT CG10_MASKEDIT, CG10_NUMLIVELLI  FROM CG10_DESPDC \r\n  WHERE CG10_GRUPPO = ") +
                             c.chart}));
    }
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(EditorFields, UnknownOrEmptyLedgerChartKeepsTheFocusSilently) {
    auto ed = openKind(CorrelationKind::COGE);
    EXPECT_FALSE(typeAndTab(*ed, "TXT_CODICE_PDC", "77"));
    EXPECT_FALSE(ed->get<kit::CodeEditBox>("TXT_CODICE_PDC").IsDecoded());
    EXPECT_FALSE(typeAndTab(*ed, "TXT_CODICE_PDC", ""));
    // A quote in the code gives a statement that finds nothing, never a broken one.
    EXPECT_FALSE(typeAndTab(*ed, "TXT_CODICE_PDC", "1'0"));
    EXPECT_EQ(focusedName(*ed), "TXT_CODICE_PDC");
    EXPECT_EQ(ed->get<kit::LedgerAccountBox>("TXT_CONTO").ChartCode(), -1);
    EXPECT_EQ(ed->FormattaConto(0), "");
    EXPECT_TRUE(takeSqlContaining("CG10_MASKEDIT").empty());
    EXPECT_TRUE(dialogs->shown().empty());
    // Then a real chart is accepted.
    EXPECT_TRUE(typeAndTab(*ed, "TXT_CODICE_PDC", "10"));
    EXPECT_EQ(ed->FormattaConto(0), "@@/@@/@@/@@@@");
    EXPECT_EQ(ed->get<kit::CodeEditBox>("TXT_DESC_PDC").Text(), "Piano dei conti Rossi S.p.A.");
}

TEST_F(EditorFields, AnalyticChartOfAReclassificationTypeIsRefusedSilently) {
    auto ed = openKind(CorrelationKind::COIN);
    // 102 is a management reclassification (type 5): decoded, but not an analytic chart.
    EXPECT_FALSE(typeAndTab(*ed, "TXT_CODICE_PDC", "102"));
    EXPECT_TRUE(ed->get<kit::CodeEditBox>("TXT_CODICE_PDC").IsDecoded());
    EXPECT_THAT(takeSql(), testing::Contains("SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = 102"));
    EXPECT_EQ(focusedName(*ed), "TXT_CODICE_PDC");
    EXPECT_TRUE(dialogs->shown().empty());

    // 202 is of type 2: accepted, decoded through the PC01 chart decoder.
    EXPECT_TRUE(typeAndTab(*ed, "TXT_CODICE_PDC", "202"));
    EXPECT_EQ(ed->get("TXT_DESC_PDC").Text(), "Piano analitico per commessa");
    EXPECT_EQ(ed->get("TXT_NUM_LIVELLI").Text(), "2");
    EXPECT_EQ(ed->get<kit::LedgerAccountBox>("TXT_CONTO").ChartCode(), 202);
    // No ledger chart 202: the mask of the company chart's four levels.
    EXPECT_EQ(ed->FormattaConto(0), "@@/@@/@@/@@@@");
    auto sql = takeSql();
    EXPECT_THAT(sql, testing::Contains("SELECT PC01_DESCR, PC01_NUMLIVELLI FROM PC01_DESCRPDC WITH(NOLOCK) WHERE PC01_CODICE = 202"));
    EXPECT_THAT(sql, testing::Contains("SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = 202"));
}

class MaskFromLevels : public FieldsHost, public testing::WithParamInterface<int> {};

TEST_P(MaskFromLevels, ChartWithoutStoredMaskTakesTheLevelTableOrKeepsTheMask) {
    useHost(fieldstest::fieldsConnectionString(), GetParam());
    auto ed = openKind(CorrelationKind::COIN);
    // Analytic chart 30 shares its code with ledger chart 30, whose stored mask is read.
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODICE_PDC", "30"));
    EXPECT_EQ(ed->FormattaConto(0), "@@/@@@@@@@@");
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODICE_PDC", "202"));
    EXPECT_EQ(ed->FormattaConto(0), GetParam() == 4 ? "@@/@@/@@/@@@@" : "@@/@@@@@@@@");
}

INSTANTIATE_TEST_SUITE_P(Levels, MaskFromLevels, testing::Values(4, 6));

// ---- confirming the reclassification chart -------------------------------------------------

struct Refusal {
    CorrelationKind kind;
    const char* header;   // ledger chart, or the structure in CONS
    const char* chart;
    long message;
};

class ReclChartRefusal : public FieldsHost, public testing::WithParamInterface<Refusal> {};

TEST_P(ReclChartRefusal, ReportsTheHostMessageAndKeepsTheFocus) {
    const Refusal r = GetParam();
    auto ed = openKind(r.kind);
    const char* headerBox = r.kind == CorrelationKind::CONS ? "TXT_CODINTERCOMPANY" : "TXT_CODICE_PDC";
    ASSERT_TRUE(typeAndTab(*ed, headerBox, r.header));
    ASSERT_EQ(focusedName(*ed), "TXT_CODICE_RICL");
    dialogs->takeShown();
    takeSql();

    ed->get("TXT_CODICE_RICL").enterText(r.chart);
    ed->keyDown(kit::keys::Tab);

    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, r.message);
    EXPECT_EQ(shown[0].type, 3);
    EXPECT_EQ(shown[0].text, hostText(r.message));
    EXPECT_EQ(focusedName(*ed), "TXT_CODICE_RICL");
    EXPECT_FALSE(ed->get("GRID_CORRPDC").Enabled());
    EXPECT_TRUE(ed->get("TXT_CODICE_RICL").TabStop());
    // Nothing was built for a refused chart.
    EXPECT_TRUE(takeSqlContaining("INTO #CORRPDCRICL").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Charts, ReclChartRefusal,
    testing::Values(Refusal{CorrelationKind::COGE, "10", "", 71149},
                    Refusal{CorrelationKind::COGE, "10", "401", 62846},    // intercompany chart
                    Refusal{CorrelationKind::HYPE, "10", "201", 62846},    // analytic chart
                    Refusal{CorrelationKind::COGE, "10", "110", 61803},    // type 3, not configured
                    Refusal{CorrelationKind::CONS, "1", "101", 62847},     // balance chart in CONS
                    Refusal{CorrelationKind::COGE, "10", "999", 62846}));  // no such chart: type 0

struct Acceptance {
    CorrelationKind kind;
    const char* header;
    const char* chart;
    bool ceeTabStop;
};

class ReclChartAccepted : public FieldsHost, public testing::WithParamInterface<Acceptance> {};

TEST_P(ReclChartAccepted, FillsTheGridAndMovesToTheAccountBox) {
    const Acceptance a = GetParam();
    auto ed = openKind(a.kind);
    const char* headerBox = a.kind == CorrelationKind::CONS ? "TXT_CODINTERCOMPANY" : "TXT_CODICE_PDC";
    ASSERT_TRUE(typeAndTab(*ed, headerBox, a.header));
    takeSql();
    ASSERT_TRUE(typeAndTab(*ed, "TXT_CODICE_RICL", a.chart));

    EXPECT_TRUE(dialogs->shown().empty()) << dialogs->shown().front().text;
    EXPECT_EQ(focusedName(*ed), "TXT_CONTOCOIN");
    EXPECT_TRUE(ed->get("GRID_CORRPDC").Enabled());
    ASSERT_TRUE(ed->GridRecordset());
    EXPECT_GT(ed->GridRecordset()->RecordCount(), 0);
    for (const char* name : {"TXT_CODINTERCOMPANY", "TXT_CODICE_PDC", "TXT_CODICE_RICL"})
        EXPECT_FALSE(ed->get(name).TabStop()) << name;
    EXPECT_EQ(ed->get("BUT_CORRINFRANNUALECEE").TabStop(), a.ceeTabStop);
    auto sql = takeSql();
    EXPECT_THAT(sql, testing::Contains(std::string("SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = ") + a.chart));
    EXPECT_THAT(sql, testing::Contains(std::string("SELECT PC02_CODICE_PC01 FROM PC02_CONFIGPDC WHERE PC02_CODICE_PC01 = ") + a.chart));
}

INSTANTIATE_TEST_SUITE_P(
    Charts, ReclChartAccepted,
    testing::Values(Acceptance{CorrelationKind::COGE, "10", "103", true},    // interim balances (type 6)
                    Acceptance{CorrelationKind::COGE, "80", "103", false},   // ... but not on chart 80
                    Acceptance{CorrelationKind::COGE, "10", "101", false},   // type 3
                    Acceptance{CorrelationKind::COGE, "10", "102", false},   // type 5
                    Acceptance{CorrelationKind::HYPE, "10", "301", false},
                    Acceptance{CorrelationKind::CONS, "1", "401", false}));

TEST_F(EditorFields, EnterConfirmsTheChartOnceAlthoughTheConfirmationMovesTheFocus) {
    auto ed = openKind(CorrelationKind::COGE);
    ASSERT_TRUE(typeAndTab(*ed, "TXT_CODICE_PDC", "10"));
    takeSql();
    ed->get("TXT_CODICE_RICL").enterText("101");
    ed->keyDown(kit::keys::Enter);
    EXPECT_EQ(focusedName(*ed), "TXT_CONTOCOIN");
    EXPECT_EQ(takeSqlContaining("FROM PC01_DESCRPDC WHERE PC01_CODICE = 101").size(), 1u);
    EXPECT_TRUE(dialogs->shown().empty());
}

// ---- lookups and menu keys -----------------------------------------------------------------

TEST_F(EditorFields, ChartLookupsOfferTheChartsOfTheKind) {
    auto& lookups = windows.scriptedLookups();
    {
        auto ed = openKind(CorrelationKind::COGE);
        auto& pdc = ed->get<kit::CodeEditBox>("TXT_CODICE_PDC");
        ed->setFocus(pdc);
        lookups.push(1);   // second ledger chart by code: 30
        ed->keyDown(kit::keys::F4);
        ASSERT_FALSE(lookups.requests().empty());
        const auto& r = lookups.requests().back();
        EXPECT_EQ(r.idLookup, "LKP_CG10_DESPDC");
        EXPECT_EQ(pdc.IDLookup(), "LKP_CG10_DESPDC");
        EXPECT_EQ(r.caption, "Piani dei conti");
        EXPECT_THAT(lookupCodes(r), ElementsAre("10", "30", "31", "80"));
        EXPECT_EQ(pdc.Text(), "30");
        EXPECT_TRUE(pdc.IsDecoded());

        auto& ricl = ed->get<kit::CodeEditBox>("TXT_CODICE_RICL");
        EXPECT_TRUE(ricl.OpenLookup() == false);   // cancelled: no answer queued
        EXPECT_EQ(lookups.requests().back().idLookup, "LKP_PC01_DESCRPDC_1");
        EXPECT_THAT(lookupCodes(lookups.requests().back()), ElementsAre("101", "102", "103", "110", "301"));
    }
    {
        auto ed = openKind(CorrelationKind::COIN);
        EXPECT_FALSE(ed->get<kit::CodeEditBox>("TXT_CODICE_PDC").OpenLookup());
        EXPECT_EQ(lookups.requests().back().idLookup, "LKP_PC01_DESCRPDC_2");
        EXPECT_THAT(lookupCodes(lookups.requests().back()), ElementsAre("30", "201", "202"));
        // The balance charts for the reclassification chart, whatever the analytic lookup set.
        EXPECT_FALSE(ed->get<kit::CodeEditBox>("TXT_CODICE_RICL").OpenLookup());
        EXPECT_EQ(lookups.requests().back().idLookup, "LKP_PC01_DESCRPDC_1");
    }
    {
        auto ed = openKind(CorrelationKind::CONS);
        EXPECT_FALSE(ed->get<kit::CodeEditBox>("TXT_CODICE_RICL").OpenLookup());
        EXPECT_EQ(lookups.requests().back().idLookup, "LKP_PC01_DESCRPDC_7");
        EXPECT_THAT(lookupCodes(lookups.requests().back()), ElementsAre("401"));
    }
    EXPECT_EQ(lookups.pending(), 0u);
}

TEST_F(EditorFields, Kpers1LooksUpTheChartsAlreadyCorrelatedWithTheChart) {
    auto& lookups = windows.scriptedLookups();
    auto entryClass = entryFor(CorrelationKind::COGE);
    auto ed = open(entryClass);
    auto& ricl = ed->get<kit::CodeEditBox>("TXT_CODICE_RICL");

    // Without a ledger chart there is nothing to look up.
    const auto before = lookups.requests().size();
    EXPECT_TRUE(ricl.pressMenuKey("Kpers1"));
    EXPECT_EQ(lookups.requests().size(), before);

    ASSERT_TRUE(typeAndTab(*ed, "TXT_CODICE_PDC", "10"));
    entryClass->setIsActive(false);
    const auto refreshes = events->count("refresh");
    lookups.push(0);
    EXPECT_TRUE(ricl.pressMenuKey("Kpers1"));
    ASSERT_EQ(lookups.requests().size(), before + 1);
    const auto& r = lookups.requests().back();
    EXPECT_EQ(r.idLookup, "LKP_PC01_CORRELATI");
    EXPECT_EQ(r.caption, "Piani di riclassificazione correlati al piano dei conti 10");
    EXPECT_THAT(lookupCodes(r), ElementsAre("101"));
    EXPECT_EQ(ricl.Text(), "101");
    EXPECT_TRUE(ricl.IsDecoded());
    EXPECT_EQ(ed->get("TXT_DESCR_RICL").Text(), "Stato patrimoniale e conto economico riclassificati");
    EXPECT_TRUE(entryClass->IsActive());
    EXPECT_GT(events->count("refresh"), refreshes);
    EXPECT_EQ(host.global->currentProgram(), entryClass);

    // The next lookup is the ordinary one again.
    EXPECT_FALSE(ricl.OpenLookup());
    EXPECT_EQ(lookups.requests().back().idLookup, "LKP_PC01_DESCRPDC_1");
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(EditorFields, KgestioneOpensTheChartsProgramAndAChoiceComesBackDecoded) {
    {
        auto ed = openKind(CorrelationKind::COGE);
        auto& pdc = ed->get<kit::CodeEditBox>("TXT_CODICE_PDC");
        pdc.enterText("10");
        const auto refreshes = events->count("refresh");
        programs().push(std::string("30"));
        EXPECT_TRUE(pdc.pressMenuKey("Kgestione"));
        ASSERT_FALSE(programs().requests().empty());
        const auto& ledger = programs().requests().back();
        EXPECT_EQ(ledger.program, host::kLedgerChartProgram);
        EXPECT_EQ(ledger.chart.toText(), "10");
        EXPECT_EQ(ledger.caption, "Piani dei conti");   // the list of charts, on the typed one
        EXPECT_EQ(ledger.position, "10");
        EXPECT_TRUE(ledger.returnsChoice);
        EXPECT_GT(events->count("refresh"), refreshes);
        // The chosen chart is written back and decoded, as a lookup's choice is.
        EXPECT_EQ(pdc.Text(), "30");
        EXPECT_TRUE(pdc.IsDecoded());
        EXPECT_FALSE(ed->get("TXT_DESC_PDC").Text().empty());
        EXPECT_EQ(ed->get("TXT_NUM_LIVELLI").Text(), "2");

        auto& ricl = ed->get<kit::CodeEditBox>("TXT_CODICE_RICL");
        ricl.enterText("101");
        programs().push(std::string("103"));
        EXPECT_TRUE(ricl.pressMenuKey("Kgestione"));
        const auto& recl = programs().requests().back();
        EXPECT_EQ(recl.program, host::kReclChartProgram);
        EXPECT_EQ(recl.chart.toText(), "101");
        EXPECT_EQ(recl.position, "101");
        EXPECT_EQ(recl.caption, "Piani dei conti di riclassificazione");
        EXPECT_EQ(ricl.Text(), "103");
        EXPECT_TRUE(ricl.IsDecoded());
        EXPECT_FALSE(ed->get("TXT_DESCR_RICL").Text().empty());

        // Closed without a choice: the box keeps what it had.
        EXPECT_TRUE(ricl.pressMenuKey("Kgestione"));
        EXPECT_EQ(ricl.Text(), "103");
        EXPECT_TRUE(ricl.IsDecoded());
    }
    {
        auto ed = openKind(CorrelationKind::COIN);
        ed->get("TXT_CODICE_PDC").enterText("201");
        EXPECT_TRUE(ed->get<kit::CodeEditBox>("TXT_CODICE_PDC").pressMenuKey("Kgestione"));
        EXPECT_EQ(programs().requests().back().program, host::kReclChartProgram);
        EXPECT_EQ(programs().requests().back().chart.toText(), "201");
        EXPECT_EQ(programs().requests().back().position, "201");
        EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "201");
    }
    EXPECT_EQ(programs().requests().size(), 4u);
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(EditorFields, ClearingAChartCodeClearsTheDescriptionItDecoded) {
    auto ed = openKind(CorrelationKind::COGE);
    ASSERT_TRUE(typeAndTab(*ed, "TXT_CODICE_PDC", "10"));
    ASSERT_FALSE(ed->get("TXT_DESC_PDC").Text().empty());
    ASSERT_TRUE(typeAndTab(*ed, "TXT_CODICE_RICL", "101"));
    ASSERT_FALSE(ed->get("TXT_DESCR_RICL").Text().empty());
    auto& nuova = ed->get<kit::MenuButton>("BUT_NUOVACORR");
    ASSERT_TRUE(ed->setFocus(nuova));
    ASSERT_TRUE(nuova.click());
    for (const char* name : {"TXT_CODICE_PDC", "TXT_DESC_PDC", "TXT_NUM_LIVELLI", "TXT_CODICE_RICL", "TXT_DESCR_RICL",
                             "TXT_NUM_LIVELLI_RICL"})
        EXPECT_EQ(ed->get(name).Text(), "") << name;

    // The user empties the box: the description goes at once.
    auto& pdc = ed->get<kit::CodeEditBox>("TXT_CODICE_PDC");
    ASSERT_EQ(focusedName(*ed), "TXT_CODICE_PDC");
    pdc.enterText("10");
    pdc.Redecode();
    ASSERT_FALSE(ed->get("TXT_DESC_PDC").Text().empty());
    pdc.enterText("");
    EXPECT_EQ(ed->get("TXT_DESC_PDC").Text(), "");

    // CONS: the structure's description and the chart the structure brought.
    auto cons = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(typeAndTab(*cons, "TXT_CODINTERCOMPANY", "1"));
    ASSERT_FALSE(cons->get("TXT_DESCRINTERCOMPANY").Text().empty());
    ASSERT_FALSE(cons->get("TXT_DESC_PDC").Text().empty());
    // (The empty reclassification chart now has the focus and asks for a code: the button is
    // pressed by its accelerator.)
    ASSERT_TRUE(cons->get<kit::MenuButton>("BUT_NUOVACORR").click());
    for (const char* name : {"TXT_CODINTERCOMPANY", "TXT_DESCRINTERCOMPANY", "TXT_CODICE_PDC", "TXT_DESC_PDC"})
        EXPECT_EQ(cons->get(name).Text(), "") << name;
}

// ---- reclassified accounts -----------------------------------------------------------------

TEST_F(EditorFields, ReclassifiedAccountDescriptionLookupAndProgram) {
    auto ed = openKind(CorrelationKind::COGE);
    ed->get("TXT_CODICE_RICL").enterText("101");

    EXPECT_EQ(ed->DecodificaContoCoin("0202001").toText(), "Crediti verso clienti");
    EXPECT_THAT(takeSql(), ElementsAre("SELECT PC03_DESCR FROM FNPC03_ANAGPDC_COGE(101, '0202001', 1, Null) "));
    EXPECT_EQ(ed->DecodificaContoCoin("9999").toText(), "");
    // A quote stays inside the literal.
    EXPECT_EQ(ed->DecodificaContoCoin("02'02").toText(), "");
    EXPECT_THAT(takeSql(), testing::Contains(HasSubstr("(101, '02''02', 1, Null)")));
    EXPECT_EQ(ed->DecodificaContoCoin(db::Variant::null()).toText(), "");
    EXPECT_TRUE(dialogs->shown().empty());

    auto& box = ed->get<kit::CoinAccountBox>("TXT_CONTOCOIN");
    std::string sql, caption, connect;
    kit::LookupFields fields;
    ed->EseguiLookupAnagraficaPdCCoin(box, sql, fields, caption, connect);
    EXPECT_THAT(sql, HasSubstr("FROM PC03_ANAGPDC WITH(NOLOCK) WHERE PC03_CODICE_PC01 = 101"));
    EXPECT_EQ(caption, "Conti del piano di riclassificazione 101");
    EXPECT_EQ(connect, ed->StringaConnessioneHost());
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(fields.front().column, "PC03_CONTO");
    EXPECT_EQ(box.IDLookup(), "LKP_PC03_ANAGPDC");

    const auto activations = events->count("activationNotice");
    programs().push(std::string("0203001"));
    ed->EseguiProgrammaAnagraficaPdC(box, "0202001");
    ASSERT_EQ(programs().requests().size(), 1u);
    const auto& r = programs().requests().back();
    EXPECT_EQ(r.program, host::kReclChartProgram);
    EXPECT_EQ(r.chart.toText(), "101");
    EXPECT_EQ(r.account.toText(), "0202001");
    EXPECT_TRUE(r.returnsChoice);
    EXPECT_EQ(box.Value(), "0203001");
    // The window announced itself to the host again.
    EXPECT_EQ(events->count("activationNotice"), activations + 1);
}

TEST_F(EditorFields, MastersFromTheHostParametersLoadedOnceForTheChart) {
    auto ed = openKind(CorrelationKind::COGE);
    db::Variant customers, suppliers;
    EditorTestAccess::DeterminaMastriCliFor(*ed, 10, customers, suppliers);
    EXPECT_EQ(customers.toText(), "1401000000");
    EXPECT_EQ(suppliers.toText(), "2601000000");
    // The parameters the host holds now answer, whatever chart is asked for.
    EditorTestAccess::DeterminaMastriCliFor(*ed, 31, customers, suppliers);
    EXPECT_EQ(customers.toText(), "1401000000");
    EXPECT_TRUE(dialogs->shown().empty());
}

}  // namespace
