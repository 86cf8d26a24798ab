// The header fields driven through the real `brevanto-cli automate` with the module library,
// one session per correlation kind: what a script sees of a refused field, an accepted chart
// and the account box that takes the focus once the grid is filled.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "EditorFieldsTestHost.h"
#include "support/AutomateRun.h"
#include "support/TestSupport.h"

using nlohmann::json;

namespace {

using testsupport::sh;

std::vector<json> automate(const std::vector<std::string>& lines) {
    return testsupport::automateOk("--dir " + sh(fieldstest::fieldsFolder()), lines);
}

std::string create(const std::string& kind) {
    return R"({"cmd":"create","progId":"Brevanto.CLSCG_CORRRICL)" + kind +
           R"(","wireHost":true,"members":{"WindowModal":false}})";
}

std::string type(const std::string& control, const std::string& text) {
    return json{{"cmd", "type"}, {"control", control}, {"text", text}}.dump();
}

const std::string kTab = R"({"cmd":"key","key":"Tab"})";
const std::string kEvents = R"({"cmd":"events"})";

json control(const json& stateReply, const std::string& name) {
    for (const auto& c : stateReply["window"]["controls"])
        if (c["name"] == name) return c;
    ADD_FAILURE() << "no control " << name;
    return {};
}

std::vector<json> ofEvent(const json& eventsReply, const std::string& kind) {
    std::vector<json> out;
    for (const auto& e : eventsReply["events"])
        if (e["event"] == kind) out.push_back(e);
    return out;
}

bool ranSql(const json& eventsReply, const std::string& text) {
    for (const auto& e : ofEvent(eventsReply, "sql"))
        if (e["text"] == text) return true;
    return false;
}

const std::string kState =
    R"({"cmd":"state","controls":["TXT_CODICE_PDC","TXT_DESC_PDC","TXT_CODICE_RICL","TXT_DESCR_RICL",)"
    R"("BUT_CORRINFRANNUALECEE","GRID_CORRPDC"],"maxRows":1})";

TEST(EditorFieldsAutomate, CogeRefusesAnIntercompanyChartThenFillsTheGridOfTheInterimBalances) {
    auto r = automate({create("COGE"), R"({"cmd":"showForm"})", type("TXT_CODICE_PDC", "10"), type("TXT_CODICE_RICL", "401"),
                       kTab, kEvents, type("TXT_CODICE_RICL", "103"), kTab, kState, kEvents});
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[4]["focused"], "TXT_CODICE_RICL");
    auto boxes = ofEvent(r[5], "messageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["code"], 62846);
    EXPECT_EQ(boxes[0]["type"], 3);
    EXPECT_TRUE(ranSql(r[5], "SELECT PC01_INDTIPOPDC FROM PC01_DESCRPDC WHERE PC01_CODICE = 401"));

    EXPECT_EQ(r[7]["focused"], "TXT_CONTOCOIN");
    const json& state = r[8];
    EXPECT_EQ(control(state, "TXT_DESC_PDC")["text"], "Piano dei conti Rossi S.p.A.");
    EXPECT_EQ(control(state, "TXT_DESCR_RICL")["text"], "Bilanci Infrannuali");
    EXPECT_EQ(control(state, "TXT_CODICE_PDC")["tabStop"], false);
    EXPECT_EQ(control(state, "TXT_CODICE_RICL")["tabStop"], false);
    EXPECT_EQ(control(state, "BUT_CORRINFRANNUALECEE")["tabStop"], true);
    EXPECT_GT(control(state, "GRID_CORRPDC")["rowCount"].get<int>(), 0);
    EXPECT_TRUE(ofEvent(r[9], "messageBox").empty());
    EXPECT_TRUE(ranSql(r[9], "SELECT PC02_CODICE_PC01 FROM PC02_CONFIGPDC WHERE PC02_CODICE_PC01 = 103"));
}

TEST(EditorFieldsAutomate, CoinRefusesAReclassificationChartAsTheAnalyticChart) {
    auto r = automate({create("COIN"), R"({"cmd":"showForm"})", type("TXT_CODICE_PDC", "102"), kTab, kEvents,
                       type("TXT_CODICE_PDC", "201"), kTab, type("TXT_CODICE_RICL", "102"), kTab, kState});
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[3]["focused"], "TXT_CODICE_PDC");
    EXPECT_TRUE(ofEvent(r[4], "messageBox").empty());
    EXPECT_EQ(r[6]["focused"], "TXT_CODICE_RICL");
    EXPECT_EQ(r[8]["focused"], "TXT_CONTOCOIN");
    EXPECT_EQ(control(r[9], "TXT_DESC_PDC")["text"], "Piano dei conti analitico (centri di costo)");
    EXPECT_EQ(control(r[9], "BUT_CORRINFRANNUALECEE")["tabStop"], false);
}

TEST(EditorFieldsAutomate, HypeTakesTheCorrelatedHyperionChartFromKpers1) {
    auto r = automate({create("HYPE"), R"({"cmd":"showForm"})", type("TXT_CODICE_PDC", "10"), kTab,
                       R"({"cmd":"queueLookup","picks":[0]})", R"({"cmd":"menu","control":"TXT_CODICE_RICL","key":"Kpers1"})",
                       R"({"cmd":"lastLookup"})", kTab, kState});
    ASSERT_EQ(r.size(), 9u);
    EXPECT_EQ(r[5]["pressed"], true);
    EXPECT_EQ(r[6]["lookup"]["idLookup"], "LKP_PC01_CORRELATI");
    EXPECT_EQ(r[7]["focused"], "TXT_CONTOCOIN");
    EXPECT_EQ(control(r[8], "TXT_CODICE_RICL")["text"], "301");
    EXPECT_EQ(control(r[8], "TXT_DESCR_RICL")["text"], "Piano Hyperion di gruppo");
}

TEST(EditorFieldsAutomate, ConsLoadsTheStructuresCompanyChartAfterRefusingOneWithoutCompany) {
    auto r = automate({create("CONS"), R"({"cmd":"showForm"})", type("TXT_CODINTERCOMPANY", "2"), kTab, kEvents,
                       type("TXT_CODINTERCOMPANY", "1"), kTab, type("TXT_CODICE_RICL", "401"), kTab, kState, kEvents});
    ASSERT_EQ(r.size(), 11u);
    EXPECT_EQ(r[3]["focused"], "TXT_CODINTERCOMPANY");
    auto boxes = ofEvent(r[4], "messageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["code"], 121);
    EXPECT_EQ(boxes[0]["type"], 2);
    EXPECT_EQ(boxes[0]["text"], "L'intercompany 2 non ha nessuna azienda collegata!");
    EXPECT_EQ(r[6]["focused"], "TXT_CODICE_RICL");
    EXPECT_EQ(r[8]["focused"], "TXT_CONTOCOIN");
    EXPECT_EQ(control(r[9], "TXT_CODICE_PDC")["text"], "80");
    EXPECT_EQ(control(r[9], "TXT_DESC_PDC")["text"], "Piano dei conti standard");
    EXPECT_TRUE(ranSql(r[10], " SELECT CG10_DESPDC.*\r FROM [GRUPPO].dbo.CG25_ANADITTAGEST WITH(NOLOCK)\r"
                              " LEFT OUTER JOIN [GRUPPO].dbo.CG10_DESPDC WITH(NOLOCK)\r"
                              "   ON CG10_GRUPPO = CG25_GRUPPO_CG10\r WHERE CG25_DITTA_CG18 = 2"));
}

}  // namespace
