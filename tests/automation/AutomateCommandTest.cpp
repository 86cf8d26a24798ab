// brevanto-cli automate run for real on the demo database, loading the module library:
// request errors, Cinterface members, each correlation kind opened, read and closed (with
// the statements of its first activation and its script notices), a modal editor, export.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/AutomateRun.h"
#include "support/TestSupport.h"

using nlohmann::json;

namespace {

using testsupport::sh;

class AutomateCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo_ = new testsupport::TempDir();
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " db init --demo --dir " + sh(demo_->str()));
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }

    using Result = testsupport::AutomateResult;

    // `where` replaces the demo folder option (e.g. "--conn '…'").
    static Result automate(const std::vector<std::string>& lines, const std::string& where = "") {
        Result out = testsupport::runAutomate(where.empty() ? "--dir " + sh(demo_->str()) : where, lines);
        for (const auto& j : out.replies) {
            EXPECT_FALSE(j.is_discarded()) << out.out;
            EXPECT_TRUE(j.is_discarded() || j.contains("ok")) << j.dump();
        }
        return out;
    }

    static std::string create(const std::string& kind, bool modal = false) {
        return R"({"cmd":"create","progId":"Brevanto.CLSCG_CORRRICL)" + kind +
               R"(","wireHost":true,"members":{"WindowModal":)" + (modal ? "true" : "false") + "}}";
    }

    static testsupport::TempDir* demo_;
};

testsupport::TempDir* AutomateCommand::demo_ = nullptr;

json controlIn(const json& window, const std::string& name) {
    for (const auto& c : window["controls"])
        if (c["name"] == name) return c;
    ADD_FAILURE() << "no control " << name;
    return {};
}

TEST_F(AutomateCommand, BadRequestsAndMembersOfARealEntryClass) {
    auto r = automate({"{\"cmd\":", R"({"cmd":"create","progId":"Brevanto.NOPE"})", create("COGE"),
                       R"({"cmd":"set","members":{"Caption":"Prova","WindowState":2,"Filtro":"x"}})",
                       R"({"cmd":"set","member":"WindowState","value":40000})",
                       R"({"cmd":"get","members":["Caption","WindowState","Filtro","ActiveDll","ClsGlobal","WindowModal"]})"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.replies.size(), 6u);
    EXPECT_EQ(r.replies[0]["ok"], false);
    EXPECT_EQ(r.replies[1]["ok"], false);
    EXPECT_NE(r.replies[1]["error"].get<std::string>().find("Brevanto.NOPE"), std::string::npos);
    ASSERT_EQ(r.replies[2]["ok"], true) << r.replies[2].dump();
    const json& v = r.replies[5]["values"];
    EXPECT_EQ(v["Caption"], "Prova");
    EXPECT_EQ(v["WindowState"], 2);   // 40000 is outside the 16-bit range: kept
    EXPECT_TRUE(v["Filtro"].is_null());
    EXPECT_EQ(v["ActiveDll"]["self"], true);
    EXPECT_EQ(v["ClsGlobal"]["host"], true);
    EXPECT_EQ(v["WindowModal"], false);
}

TEST_F(AutomateCommand, EachKindOpensWithItsFirstActivationAndCloses) {
    for (std::string kind : {"COGE", "COIN", "HYPE", "CONS"}) {
        SCOPED_TRACE(kind);
        auto r = automate({create(kind), R"({"cmd":"showForm"})", R"({"cmd":"state"})", R"({"cmd":"close"})",
                           R"({"cmd":"windows"})", R"({"cmd":"events"})"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        ASSERT_EQ(r.replies.size(), 6u);
        for (const auto& reply : r.replies) EXPECT_EQ(reply["ok"], true) << reply.dump();
        EXPECT_EQ(r.replies[1]["windowsOpened"], (json{"FRMCG_CORRRICL"}));

        const json& w = r.replies[2]["window"];
        EXPECT_EQ(w["name"], "FRMCG_CORRRICL");
        const bool cons = kind == "CONS";
        EXPECT_EQ(controlIn(w, "TXT_CODINTERCOMPANY")["visible"], cons);
        EXPECT_EQ(controlIn(w, "BUT_CORRINFRANNUALECEE")["visible"], kind == "COGE");
        EXPECT_EQ(w["focused"], cons ? "TXT_CODINTERCOMPANY" : "TXT_CODICE_PDC");
        const json grid = controlIn(w, "GRID_CORRPDC");
        EXPECT_EQ(grid["type"], "QueryGrid");
        EXPECT_EQ(grid["rowCount"], 0);   // the header is still empty
        EXPECT_FALSE(grid["columns"].empty());

        EXPECT_EQ(r.replies[3]["closed"], true);
        EXPECT_EQ(r.replies[4]["windows"], json::array());

        // The working table for the empty header, then its reading query, on one connection.
        long building = -1, reading = -1, connection = -1;
        std::vector<int> formEvents;
        const json& events = r.replies[5]["events"];
        for (long i = 0; i < static_cast<long>(events.size()); ++i) {
            const json& e = events[i];
            if (e["event"] == "sql") {
                std::string text = e["text"];
                if (building < 0 && text.find("INTO #CORRPDCRICL") != std::string::npos) {
                    building = i;
                    connection = e["connection"];
                } else if (building >= 0 && reading < 0 && text.find("FROM #CORRPDCRICL") != std::string::npos &&
                           text.find("ORDER BY CONTOPDC, INDTIPOCONTO, SEGNO") != std::string::npos) {
                    reading = i;
                    EXPECT_EQ(e["connection"], connection);
                }
            }
            if (e["event"] == "formEvent" && e["window"] == "FRMCG_CORRRICL") formEvents.push_back(e["open"]);
        }
        EXPECT_GE(building, 0);
        EXPECT_GT(reading, building);
        EXPECT_EQ(formEvents, (std::vector<int>{1, 0}));   // qvOpen, then qvClose
    }
}

TEST_F(AutomateCommand, AModalEditorKeepsServingRequestsUntilItCloses) {
    auto r = automate({create("HYPE", true), R"({"cmd":"showForm","id":1})",
                       R"({"cmd":"state","controls":["TXT_CODICE_PDC"]})",
                       R"({"cmd":"navigator","event":"export"})", R"({"cmd":"close","id":2})",
                       R"({"cmd":"windows"})", R"({"cmd":"events"})"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.replies.size(), 7u);
    EXPECT_EQ(r.replies[1]["id"], 1);
    EXPECT_EQ(r.replies[1]["modal"], true);
    EXPECT_EQ(r.replies[2]["window"]["modal"], true);
    const json& exported = r.replies[3];
    EXPECT_EQ(exported["title"], "Correlazione PdC contabile - Hyperion");
    ASSERT_EQ(exported["sections"].size(), 1u);   // an empty grid exports only the header fields
    EXPECT_EQ(exported["sections"][0]["caption"], "Campi correlati");
    EXPECT_EQ(r.replies[4]["id"], 2);
    EXPECT_EQ(r.replies[4]["closed"], true);
    EXPECT_EQ(r.replies[5]["windows"], json::array());
    bool returned = false;
    for (const auto& e : r.replies[6]["events"]) returned = returned || e["event"] == "modalReturned";
    EXPECT_TRUE(returned);
}

TEST_F(AutomateCommand, TheEndOfInputClosesAnOpenModalEditor) {
    auto r = automate({create("COGE", true), R"({"cmd":"showForm"})"});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.replies.size(), 2u);
    EXPECT_EQ(r.replies[1]["modal"], true);
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(AutomateCommand, PrintRecordsEveryReportCallAndWritesThePdfWhereAsked) {
    testsupport::TempDir out;
    const std::string file = (out.path() / "stampa.pdf").string();
    auto r = automate({create("COGE"), R"({"cmd":"showForm"})", R"({"cmd":"type","control":"TXT_CODICE_PDC","text":"10"})",
                       R"({"cmd":"type","control":"TXT_CODICE_RICL","text":"101"})", R"({"cmd":"key","key":"Tab"})",
                       R"({"cmd":"reportOutput","pdf":")" + file + R"("})", R"({"cmd":"events"})",
                       R"({"cmd":"click","control":"BUT_STAMPA"})", R"({"cmd":"events"})",
                       R"({"cmd":"reportOutput","pdf":3})", R"({"cmd":"reportOutput","pdf":null})"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.replies.size(), 11u);
    EXPECT_EQ(r.replies[5]["pdf"], file);
    EXPECT_EQ(r.replies[7]["clicked"], true);
    std::vector<std::string> calls;
    json finish;
    for (const auto& e : r.replies[8]["events"])
        if (e["event"] == "report") {
            calls.push_back(e["call"]);
            if (e["call"] == "finish") finish = e;
        }
    EXPECT_EQ(calls, (std::vector<std::string>{"create", "setHostInterface", "setLedgerChartCode", "setReclChartCode",
                                               "printCoge", "finish", "setHostInterface", "setConnection", "release"}));
    EXPECT_EQ(finish["file"], file);
    auto info = testsupport::runCommand("pdfinfo " + sh(file));
    const auto pages = info.out.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info.out;
    EXPECT_EQ(std::stoi(info.out.substr(pages + 6)), finish["result"].get<int>());
    EXPECT_EQ(r.replies[9]["ok"], false);
    EXPECT_EQ(r.replies[9]["error"], "\"pdf\" deve essere un percorso di file o null");
    EXPECT_EQ(r.replies[10]["pdf"], nullptr);
}

std::vector<json> eventsOf(const json& reply, const std::string& kind) {
    std::vector<json> out;
    for (const auto& e : reply["events"])
        if (e["event"] == kind) out.push_back(e);
    return out;
}

TEST_F(AutomateCommand, ASecondShowFormKeepsBothEditorsOpenUntilEachIsClosed) {
    auto r = automate({create("COGE"), R"({"cmd":"showForm"})",
                       R"({"cmd":"type","control":"TXT_CODICE_PDC","text":"10"})", R"({"cmd":"showForm"})",
                       R"({"cmd":"windows"})", R"({"cmd":"events"})"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.replies.size(), 6u);
    for (const auto& reply : r.replies) EXPECT_EQ(reply["ok"], true) << reply.dump();
    EXPECT_EQ(r.replies[3]["windowsOpened"], (json{"FRMCG_CORRRICL"}));
    EXPECT_FALSE(r.replies[3].contains("windowsClosed"));
    const json& windows = r.replies[4]["windows"];
    ASSERT_EQ(windows.size(), 2u);
    const long first = windows[0]["hWnd"], second = windows[1]["hWnd"];
    EXPECT_NE(first, second);
    EXPECT_TRUE(eventsOf(r.replies[5], "windowLost").empty());

    // The first keeps what was typed; each closes through its own query-unload and unload.
    auto s = automate({create("COGE"), R"({"cmd":"showForm"})",
                       R"({"cmd":"type","control":"TXT_CODICE_PDC","text":"10"})", R"({"cmd":"showForm"})",
                       R"({"cmd":"state","window":)" + std::to_string(first) + R"(,"controls":["TXT_CODICE_PDC"]})",
                       R"({"cmd":"close","window":)" + std::to_string(second) + "}",
                       R"({"cmd":"close","window":)" + std::to_string(first) + "}", R"({"cmd":"windows"})",
                       R"({"cmd":"events"})"});
    EXPECT_EQ(s.exitCode, 0) << s.err;
    ASSERT_EQ(s.replies.size(), 9u);
    EXPECT_EQ(controlIn(s.replies[4]["window"], "TXT_CODICE_PDC")["text"], "10");
    EXPECT_EQ(s.replies[5]["closed"], true);
    EXPECT_EQ(s.replies[6]["closed"], true);
    EXPECT_EQ(s.replies[7]["windows"], json::array());
    const json& events = s.replies[8];
    EXPECT_TRUE(eventsOf(events, "windowLost").empty());
    EXPECT_TRUE(eventsOf(events, "errorReport").empty());
    // Two unloads, each telling the host (the second editor's unload cleared the navigator's
    // script model, so only the first closing reached a script model).
    EXPECT_EQ(eventsOf(events, "programClosing").size(), 2u);
    EXPECT_EQ(eventsOf(events, "windowClosed").size(), 2u);
}

TEST_F(AutomateCommand, AnEditorOnADatabaseThatCannotOpenSaysSoOnceAndCloses) {
    testsupport::TempDir empty;
    const std::string conn = "Provider=SQLite;database=BREVANTO;Data Source=" + empty.str();
    auto r = automate({create("COGE"), R"({"cmd":"showForm"})", R"({"cmd":"windows"})", R"({"cmd":"events"})"},
                      "--conn " + sh(conn));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.replies.size(), 4u);
    EXPECT_EQ(r.replies[1]["ok"], true);
    EXPECT_FALSE(r.replies[1].contains("windowsOpened"));
    EXPECT_EQ(r.replies[2]["windows"], json::array());
    const auto boxes = eventsOf(r.replies[3], "messageBox");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string text = boxes[0]["text"];
    EXPECT_NE(text.find("Impossibile aprire il database BREVANTO."), std::string::npos) << text;
    EXPECT_NE(text.find("Il database 'BREVANTO' non esiste in " + empty.str()), std::string::npos) << text;
    EXPECT_TRUE(eventsOf(r.replies[3], "errorReport").empty());
    EXPECT_TRUE(eventsOf(r.replies[3], "windowLost").empty());
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(AutomateCommand, TheCeeWindowAsksForAnEmptyCodeAndClosesOnEscapeOrChiudi) {
    const std::vector<std::string> open = {create("COGE"), R"({"cmd":"showForm"})",
                                           R"({"cmd":"type","control":"TXT_CODICE_PDC","text":"10"})",
                                           R"({"cmd":"type","control":"TXT_CODICE_RICL","text":"103"})",
                                           R"({"cmd":"key","key":"Tab"})",
                                           R"({"cmd":"click","control":"BUT_CORRINFRANNUALECEE"})",
                                           R"({"cmd":"events"})"};
    std::vector<std::string> lines = open;
    for (const char* l : {R"({"cmd":"click","control":"BUT_ELABORA"})", R"({"cmd":"windows"})",
                          R"({"cmd":"events"})", R"({"cmd":"key","key":"Escape"})",
                          R"({"cmd":"click","control":"BUT_CORRINFRANNUALECEE"})",
                          R"({"cmd":"click","control":"BUT_CHIUDI"})", R"({"cmd":"events"})"})
        lines.push_back(l);
    auto r = automate(lines);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.replies.size(), 14u);
    for (const auto& reply : r.replies) EXPECT_EQ(reply["ok"], true) << reply.dump();
    EXPECT_EQ(r.replies[5]["windowsOpened"], (json{"FRMCG_CORRRICLBYCEE"}));

    // "Elabora" with the code empty: the click happens, message 71149, the focus on the code.
    EXPECT_EQ(r.replies[7]["clicked"], true);
    const json& windows = r.replies[8]["windows"];
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[1]["name"], "FRMCG_CORRRICLBYCEE");
    EXPECT_EQ(windows[1]["focused"], "TXT_CEE_COD");
    const auto boxes = eventsOf(r.replies[9], "messageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["code"], 71149);
    for (const auto& e : eventsOf(r.replies[9], "sql")) ADD_FAILURE() << "executed: " << e["text"];

    // Escape closes it, as "&Chiudi" does; nothing runs.
    EXPECT_EQ(r.replies[10]["windowsClosed"], (json{"FRMCG_CORRRICLBYCEE"}));
    EXPECT_EQ(r.replies[11]["windowsOpened"], (json{"FRMCG_CORRRICLBYCEE"}));
    EXPECT_EQ(r.replies[12]["windowsClosed"], (json{"FRMCG_CORRRICLBYCEE"}));
    const json& after = r.replies[13];
    EXPECT_TRUE(eventsOf(after, "messageBox").empty());
    EXPECT_TRUE(eventsOf(after, "errorReport").empty());
    EXPECT_EQ(eventsOf(after, "modalReturned").size(), 2u);
    for (const auto& e : eventsOf(after, "sql"))
        EXPECT_EQ(std::string(e["text"]).find("CG83_COLLRICL AS Target"), std::string::npos);
}

TEST_F(AutomateCommand, GestioneOfAChartFieldWritesTheChosenChartBackDecoded) {
    auto r = automate({create("COGE"), R"({"cmd":"showForm"})",
                       R"({"cmd":"type","control":"TXT_CODICE_PDC","text":"10"})",
                       R"({"cmd":"queueLookup","picks":[{"code":"80"}]})",
                       R"({"cmd":"menu","control":"TXT_CODICE_PDC","key":"Kgestione"})",
                       R"({"cmd":"state","controls":["TXT_CODICE_PDC","TXT_DESC_PDC"]})", R"({"cmd":"lastLookup"})"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.replies.size(), 7u);
    for (const auto& reply : r.replies) EXPECT_EQ(reply["ok"], true) << reply.dump();
    const json& w = r.replies[5]["window"];
    EXPECT_EQ(controlIn(w, "TXT_CODICE_PDC")["text"], "80");
    EXPECT_EQ(controlIn(w, "TXT_CODICE_PDC")["decoded"], true);
    EXPECT_EQ(controlIn(w, "TXT_DESC_PDC")["text"], "Piano dei conti standard");
    const json& shown = r.replies[6]["lookup"];
    EXPECT_EQ(shown["caption"], "Piani dei conti");   // the charts, positioned on the typed one
    EXPECT_EQ(shown["currentText"], "10");
    EXPECT_EQ(shown["picked"], 1);
}

}  // namespace
