// Kind CONS: the intercompany structure field resolves the structure to its company and
// database, takes the ledger chart from that company, points the ledger-account box at the
// structure's database, and opens the host's structure program for searching and upkeep.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "EditorFieldsTestHost.h"
#include "EditorTestAccess.h"

using editor::CorrelationKind;
using editor::EditorTestAccess;
using fieldstest::FieldsHost;
using testing::HasSubstr;

namespace {

const std::string kStructureQuery1 =
    " SELECT *\r FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)\r LEFT OUTER JOIN CGB1_DATABASEINFRAGRUPPO WITH(NOLOCK)\r"
    "   ON CGB1_CODICE = CGC0_CODICE_CGB1\r WHERE CGC0_CODICE = 1";

class EditorIntercompany : public FieldsHost {};

TEST_F(EditorIntercompany, StructureBringsCompanyDatabaseChartAndConnection) {
    auto ed = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(typeAndTab(*ed, "TXT_CODINTERCOMPANY", "1"));
    EXPECT_EQ(focusedName(*ed), "TXT_CODICE_RICL");
    EXPECT_TRUE(dialogs->shown().empty());

    EXPECT_EQ(ed->get("TXT_DESCRINTERCOMPANY").Text(), "Gruppo Rossi");
    EXPECT_EQ(ed->NomeDatabaseIntercompany(), "GRUPPO");
    EXPECT_EQ(ed->DittaIntercompany(), "2");
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "80");
    EXPECT_EQ(ed->get("TXT_DESC_PDC").Text(), "Piano dei conti standard");
    EXPECT_EQ(ed->get("TXT_NUM_LIVELLI").Text(), "3");
    EXPECT_EQ(ed->get("TXT_NUM_LIVELLI_CONS").Text(), "2");
    // The mask of chart 80 as the host database stores it.
    EXPECT_EQ(ed->FormattaConto(0), "@@/@@@@/@@@@");

    auto sql = takeSql();
    auto at = [&](const std::string& s) { return std::find(sql.begin(), sql.end(), s); };
    auto structure = at(kStructureQuery1);
    auto chart = at(" SELECT CG10_DESPDC.*\r FROM [GRUPPO].dbo.CG25_ANADITTAGEST WITH(NOLOCK)\r"
                    " LEFT OUTER JOIN [GRUPPO].dbo.CG10_DESPDC WITH(NOLOCK)\r   ON CG10_GRUPPO = CG25_GRUPPO_CG10\r"
                    " WHERE CG25_DITTA_CG18 = 2");
    auto mask = at("SELECT CG10_MASKEDIT, CG10_NUMLIVELLI  FROM CG10_DESPDC \r\n  WHERE CG10_GRUPPO = 80");
    ASSERT_NE(structure, sql.end());
    ASSERT_NE(chart, sql.end());
    ASSERT_NE(mask, sql.end());
    EXPECT_LT(structure, chart);
    EXPECT_LT(chart, mask);

    // Ledger accounts are decoded on a connection of their own to the group database.
    const std::string groupString = "Provider=SQLite;database=GRUPPO;Data Source=" + fieldstest::fieldsFolder();
    EXPECT_EQ(EditorTestAccess::GetStrConnectIntercompany(*ed), groupString);
    auto& conto = ed->get<kit::LedgerAccountBox>("TXT_CONTO");
    ASSERT_TRUE(conto.Connection());
    EXPECT_NE(conto.Connection(), ed->EditorConnection());
    EXPECT_EQ(conto.Connection()->State(), db::ado::adStateOpen);
    EXPECT_EQ(conto.Connection()->ConnectionString(), groupString);
    EXPECT_EQ(conto.ChartCode(), 80);
    // Each call opens another one.
    auto again = ed->GetConnectIntercompany();
    EXPECT_NE(again, conto.Connection());
    EXPECT_EQ(again->State(), db::ado::adStateOpen);

    // The masters are read from the group database's settings.
    db::Variant customers, suppliers;
    ed->GetMastroCliFor(customers, suppliers);
    EXPECT_EQ(customers.toText(), "1401000000");
    EXPECT_THAT(takeSql(), testing::Contains(HasSubstr(" FROM [GRUPPO].dbo.CG36_PRSPDC WITH(NOLOCK) WHERE CG36_GRUPPO_CG10 = 80")));

    // The chart field is the structure's: it offers no lookup and its menu key opens nothing.
    auto& pdc = ed->get<kit::CodeEditBox>("TXT_CODICE_PDC");
    const auto lookupsBefore = windows.scriptedLookups().requests().size();
    EXPECT_FALSE(pdc.OpenLookup());
    EXPECT_EQ(windows.scriptedLookups().requests().size(), lookupsBefore);
    EXPECT_TRUE(pdc.pressMenuKey("Kgestione"));
    EXPECT_TRUE(programs().requests().empty());
    EXPECT_EQ(pdc.Text(), "80");
}

TEST_F(EditorIntercompany, StructureWithoutCompanyShowsMessage121AndKeepsTheFocus) {
    auto ed = openKind(CorrelationKind::CONS);
    EXPECT_FALSE(typeAndTab(*ed, "TXT_CODINTERCOMPANY", "2"));
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].code, 121);
    EXPECT_EQ(shown[0].type, 2);
    EXPECT_EQ(shown[0].text, "L'intercompany 2 non ha nessuna azienda collegata!");
    EXPECT_EQ(focusedName(*ed), "TXT_CODINTERCOMPANY");
    EXPECT_EQ(ed->NomeDatabaseIntercompany(), "");
    EXPECT_EQ(ed->DittaIntercompany(), "");
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "");
    // The chart query never ran.
    EXPECT_TRUE(takeSqlContaining("CG25_ANADITTAGEST").empty());

    // An unknown structure is not decoded: refused without a message.
    EXPECT_FALSE(typeAndTab(*ed, "TXT_CODINTERCOMPANY", "9"));
    EXPECT_TRUE(dialogs->takeShown().empty());
    // A good one is then accepted.
    EXPECT_TRUE(typeAndTab(*ed, "TXT_CODINTERCOMPANY", "1"));
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "80");
}

TEST_F(EditorIntercompany, CompanyWithoutChartLeavesTheLedgerBoxWithoutChart) {
    auto ed = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODINTERCOMPANY", "1"));
    ASSERT_EQ(ed->get<kit::LedgerAccountBox>("TXT_CONTO").ChartCode(), 80);
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODINTERCOMPANY", "3"));
    EXPECT_TRUE(dialogs->shown().empty());
    EXPECT_EQ(ed->DittaIntercompany(), "3");
    EXPECT_EQ(ed->NomeDatabaseIntercompany(), "GRUPPO");
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "");
    EXPECT_EQ(ed->get("TXT_DESC_PDC").Text(), "");
    EXPECT_EQ(ed->get<kit::LedgerAccountBox>("TXT_CONTO").ChartCode(), -1);
}

TEST_F(EditorIntercompany, RevalidatingTheSameStructureDoesNotReloadIt) {
    auto ed = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODINTERCOMPANY", "1"));
    EXPECT_EQ(takeSqlContaining("FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)\r").size(), 1u);

    // Back in the box, decoded again (as after the structure program) and left unchanged.
    auto& box = ed->get<kit::CodeEditBox>("TXT_CODINTERCOMPANY");
    ASSERT_TRUE(ed->setFocus(box));
    box.Redecode();
    ASSERT_TRUE(ed->setFocus(ed->get("BUT_STAMPA")));
    auto sql = takeSql();
    EXPECT_EQ(std::count_if(sql.begin(), sql.end(),
                            [](const std::string& s) { return s.find("CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)\r") != s.npos; }),
              0);
    EXPECT_EQ(std::count_if(sql.begin(), sql.end(),
                            [](const std::string& s) { return s.find("CG25_ANADITTAGEST") != s.npos; }),
              0);
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "80");

    // A different structure is loaded.
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODINTERCOMPANY", "4"));
    EXPECT_EQ(takeSqlContaining("FROM CGC0_STRUTINFRAGRUPPO WITH(NOLOCK)\r").size(), 1u);
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "90");
}

class IntercompanyMask : public FieldsHost, public testing::WithParamInterface<int> {};

TEST_P(IntercompanyMask, ChartUnknownToTheHostDatabaseTakesTheLevelTableOrKeepsTheMask) {
    useHost(fieldstest::fieldsConnectionString(), GetParam());
    auto ed = openKind(CorrelationKind::CONS);
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODINTERCOMPANY", "1"));
    EXPECT_EQ(ed->FormattaConto(0), "@@/@@@@/@@@@");
    // Chart 90 lives only in the group database; the mask query reads the host's.
    ASSERT_TRUE(typeAndLeave(*ed, "TXT_CODINTERCOMPANY", "4"));
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "90");
    EXPECT_THAT(takeSql(), testing::Contains("SELECT CG10_MASKEDIT, CG10_NUMLIVELLI  FROM CG10_DESPDC \r\n  WHERE CG10_GRUPPO = 90"));
    EXPECT_EQ(ed->FormattaConto(0), GetParam() == 4 ? "@@/@@/@@/@@@@" : "@@/@@@@/@@@@");
}

INSTANTIATE_TEST_SUITE_P(Levels, IntercompanyMask, testing::Values(4, 6));

struct HostString {
    const char* name;
    std::string (*make)(const std::string& folder);
};

class IntercompanyConnectionString : public FieldsHost, public testing::WithParamInterface<HostString> {};

// Host strings that do not name the database with a lower-case "database=" item closed by ";":
// the intercompany string is the host string and the editor's own connection serves, while
// the statements still name the group database's tables.
TEST_P(IntercompanyConnectionString, WithoutALowerCaseDatabaseItemTheEditorConnectionServes) {
    const std::string connect = GetParam().make(fieldstest::fieldsFolder());
    useHost(connect, 4);
    auto ed = openKind(CorrelationKind::CONS);
    ASSERT_EQ(ed->EditorConnection()->State(), db::ado::adStateOpen);
    ASSERT_TRUE(typeAndTab(*ed, "TXT_CODINTERCOMPANY", "1"));
    EXPECT_EQ(ed->NomeDatabaseIntercompany(), "GRUPPO");
    EXPECT_EQ(EditorTestAccess::GetStrConnectIntercompany(*ed), connect);
    EXPECT_EQ(ed->GetConnectIntercompany(), ed->EditorConnection());
    EXPECT_EQ(ed->get<kit::LedgerAccountBox>("TXT_CONTO").Connection(), ed->EditorConnection());
    EXPECT_THAT(takeSql(), testing::Contains(HasSubstr(" FROM [GRUPPO].dbo.CG25_ANADITTAGEST WITH(NOLOCK)")));
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "80");
}

INSTANTIATE_TEST_SUITE_P(
    Strings, IntercompanyConnectionString,
    testing::Values(HostString{"CapitalKey",
                               [](const std::string& d) {
                                   return "Provider=SQLite;Database=BREVANTO;Data Source=" + d + ";";
                               }},
                    HostString{"LastItemWithoutSemicolon",
                               [](const std::string& d) {
                                   return "Provider=SQLite;Data Source=" + d + ";database=BREVANTO";
                               }}),
    [](const testing::TestParamInfo<HostString>& i) { return std::string(i.param.name); });

TEST_F(EditorIntercompany, LookupAndKgestioneGoThroughTheStructureProgram) {
    auto entryClass = entryFor(CorrelationKind::CONS);
    auto ed = open(entryClass);
    auto& box = ed->get<kit::CodeEditBox>("TXT_CODINTERCOMPANY");
    auto& lookups = windows.scriptedLookups();
    ASSERT_TRUE(ed->setFocus(box));
    entryClass->setIsActive(false);

    // F4: the program searches in its own window; the box's lookup does not open.
    const auto before = lookups.requests().size();
    lookups.push(1);   // second structure by code: 2
    ed->keyDown(kit::keys::F4);
    ASSERT_EQ(lookups.requests().size(), before + 1);
    EXPECT_EQ(lookups.requests().back().caption, "Strutture intercompany");
    EXPECT_EQ(box.Text(), "2");
    EXPECT_TRUE(box.IsDecoded());
    EXPECT_EQ(ed->get("TXT_DESCRINTERCOMPANY").Text(), "Struttura in costituzione (senza azienda)");
    EXPECT_TRUE(entryClass->IsActive());
    EXPECT_EQ(host.global->currentProgram(), entryClass);
    auto programEvents = events->ofKind("program");
    ASSERT_FALSE(programEvents.empty());
    EXPECT_EQ(programEvents.back().at("mode"), 1);

    // Kgestione: the structures' upkeep, positioned on the box's code; its choice comes back.
    programs().push(std::string("4"));
    EXPECT_TRUE(box.pressMenuKey("Kgestione"));
    ASSERT_EQ(programs().requests().size(), 1u);
    EXPECT_EQ(programs().requests().back().program, host::kIntercompanyProgram);
    EXPECT_EQ(programs().requests().back().mode, host::IntercompanyProgram::kMaintenance);
    EXPECT_EQ(programs().requests().back().chart.toText(), "2");
    EXPECT_EQ(box.Text(), "4");
    EXPECT_TRUE(box.IsDecoded());
    EXPECT_EQ(ed->get("TXT_DESCRINTERCOMPANY").Text(), "Struttura con piano di gruppo");

    // Leaving the box loads the structure the program chose.
    ed->keyDown(kit::keys::Tab);
    EXPECT_EQ(ed->get("TXT_CODICE_PDC").Text(), "90");
    EXPECT_TRUE(dialogs->shown().empty());
}

}  // namespace
