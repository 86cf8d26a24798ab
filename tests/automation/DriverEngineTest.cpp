// The driver's engine against a small program registered in-process: request errors,
// Cinterface members, user actions on a modeless window, message answers, lookups, and the
// nested loop of modal windows (reply order, end of input).

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FakeProgram.h"
#include "standalone/automation/AutomationDriver.h"
#include "support/TestSupport.h"

using nlohmann::json;

namespace {

constexpr const char* kFake = "Fake.Program";

struct Session {
    std::vector<json> replies;
    std::string err;
    int status = -1;
    int forcedExits = 0;
};

struct Engine : ::testing::Test {
    testsupport::TempDir dir;
    // What the last entry created went through (the entry itself is gone when run() returns).
    std::shared_ptr<fake::FakeEntry::Seen> last;
    std::shared_ptr<db::Connection> lookupConnection;

    // Serves `lines` and returns every reply in order.
    Session run(const std::vector<std::string>& lines) {
        standalone::RegisteredClasses classes;
        classes.add(kFake, [this](kit::WindowSystem& ws) {
            auto e = std::make_shared<fake::FakeEntry>(ws);
            e->lookupConnection = lookupConnection;
            last = e->seen;
            return e;
        });
        std::string text;
        for (const auto& l : lines) text += l + "\n";
        std::istringstream in(text);
        std::ostringstream out, err;
        standalone::Settings settings;
        settings.connectionString = "Provider=SQLite;database=CODES;Schema=any;Data Source=" + dir.str();
        Session result;
        {
            standalone::AutomationDriver driver(settings, classes, in, out, err);
            driver.setForcedExit([&](int) { ++result.forcedExits; });
            result.status = driver.run();
        }
        std::istringstream replies(out.str());
        for (std::string line; std::getline(replies, line);) result.replies.push_back(json::parse(line));
        result.err = err.str();
        return result;
    }

    void makeCodesDatabase() {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((dir.path() / "CODES.db").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE CODES (CODE TEXT, DESCR TEXT);"
                               "INSERT INTO CODES VALUES ('A','Alfa'),('B','Beta'),('C','Gamma');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        lookupConnection = db::Connection::create();
        lookupConnection->Open("Provider=SQLite;database=CODES;Schema=any;Data Source=" + dir.str());
    }
};

const std::string kCreate = R"({"cmd":"create","progId":"Fake.Program","wireHost":true})";

std::vector<json> eventsOfKind(const json& eventsReply, const std::string& kind) {
    std::vector<json> out;
    for (const auto& e : eventsReply["events"])
        if (e["event"] == kind) out.push_back(e);
    return out;
}

json control(const json& stateReply, const std::string& name) {
    for (const auto& c : stateReply["window"]["controls"])
        if (c["name"] == name) return c;
    ADD_FAILURE() << "no control " << name;
    return {};
}

TEST_F(Engine, BadRequestsAnswerAnErrorAndTheDriverGoesOn) {
    Session r = run({"not json", "[1,2]", R"({"nocmd":1})", R"({"cmd":"fly"})", R"({"cmd":"state"})",
                 R"({"cmd":"create","progId":"Nobody.Here"})", R"({"cmd":"get","member":"Caption"})",
                 kCreate, R"({"cmd":"state","window":"FRMNONE"})", R"({"cmd":"type","control":"X","text":1})",
                 R"({"cmd":"windows","id":"w1"})"});
    ASSERT_EQ(r.replies.size(), 11u);
    for (std::size_t i = 0; i < 10; ++i) {
        if (i == 7) continue;   // the create
        EXPECT_EQ(r.replies[i]["ok"], false) << i;
        EXPECT_FALSE(r.replies[i]["error"].get<std::string>().empty()) << i;
    }
    EXPECT_NE(r.replies[3]["error"].get<std::string>().find("fly"), std::string::npos);
    EXPECT_NE(r.replies[5]["error"].get<std::string>().find("Nobody.Here"), std::string::npos);
    EXPECT_EQ(r.replies[7]["ok"], true);
    EXPECT_EQ(r.replies[7]["entry"], 1);
    EXPECT_EQ(r.replies[10]["ok"], true);
    EXPECT_EQ(r.replies[10]["id"], "w1");
    EXPECT_EQ(r.status, 0);
}

TEST_F(Engine, MembersAreSetAndReadByNameWithTheirTypesChecked) {
    Session r = run({kCreate,
                 R"({"cmd":"set","members":{"Caption":"Correlazione","CanInsert":true,"WindowState":2,"Top":{"null":true}}})",
                 R"({"cmd":"get","members":["Caption","CanInsert","WindowState","Top","ClsGlobal","ActiveNavigator","ActiveDll","ActiveFrame","Cwindow"]})",
                 R"({"cmd":"set","member":"CanInsert","value":"yes"})",
                 R"({"cmd":"set","member":"WindowState","value":4294967296})",
                 R"({"cmd":"set","member":"Caption","value":[1]})",
                 R"({"cmd":"get","member":"ShowForm"})",
                 R"({"cmd":"set","member":"Nonsense","value":1})",
                 R"({"cmd":"set","members":{"ClsGlobal":null,"ActiveFrame":{"status":2}}})",
                 R"({"cmd":"get","members":["ClsGlobal","ActiveFrame"]})",
                 R"({"cmd":"call","method":"TransferData","data":"abc"})",
                 R"({"cmd":"events"})"});
    ASSERT_EQ(r.replies.size(), 12u);
    EXPECT_EQ(r.replies[1]["ok"], true);
    const json& v = r.replies[2]["values"];
    EXPECT_EQ(v["Caption"], "Correlazione");
    EXPECT_EQ(v["CanInsert"], true);
    EXPECT_EQ(v["WindowState"], 2);
    EXPECT_EQ(v["Top"], (json{{"null", true}}));
    EXPECT_EQ(v["ClsGlobal"]["host"], true);
    EXPECT_EQ(v["ActiveNavigator"]["host"], true);
    EXPECT_EQ(v["ActiveDll"]["self"], true);
    EXPECT_EQ(v["ActiveFrame"]["status"], 0);
    EXPECT_TRUE(v["Cwindow"].is_null());
    for (int i : {3, 4, 5, 6, 7}) EXPECT_EQ(r.replies[i]["ok"], false) << i;
    EXPECT_NE(r.replies[4]["error"].get<std::string>().find("fuori intervallo"), std::string::npos);
    EXPECT_NE(r.replies[6]["error"].get<std::string>().find("metodo"), std::string::npos);
    EXPECT_TRUE(r.replies[9]["values"]["ClsGlobal"].is_null());
    EXPECT_EQ(r.replies[9]["values"]["ActiveFrame"]["status"], 2);
    auto transfers = eventsOfKind(r.replies[11], "dataTransfer");
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0]["data"], "abc");
}

TEST_F(Engine, UserActionsOnAModelessWindow) {
    Session r = run({kCreate, R"({"cmd":"showForm"})", R"({"cmd":"state"})",
                 R"({"cmd":"type","control":"TXT_CODE","text":"BAD"})",
                 R"({"cmd":"focus","control":"TXT_OTHER"})",
                 R"({"cmd":"type","control":"TXT_CODE","text":"OK"})",
                 R"({"cmd":"key","key":"Tab"})",
                 R"({"cmd":"gridClick","control":"GRID","row":2})",
                 R"({"cmd":"state","controls":["TXT_OTHER","GRID"]})",
                 R"({"cmd":"select","control":"CBO_SEGNO","text":"Avere"})",
                 R"({"cmd":"navButton","control":"GRIDNAV","button":"primo"})",
                 R"({"cmd":"gridClick","control":"GRID","row":9})",
                 R"({"cmd":"key","key":"Sideways"})"});
    ASSERT_EQ(r.replies.size(), 13u);
    EXPECT_EQ(r.replies[1]["modal"], false);
    EXPECT_EQ(r.replies[1]["windowsOpened"], (json{"FRMFAKE"}));

    const json& grid = control(r.replies[2], "GRID");
    EXPECT_EQ(grid["rowCount"], 3);
    EXPECT_EQ(grid["currentRow"], 0);
    EXPECT_EQ(grid["rows"][0], (json{"1", "C1", "Dare"}));
    EXPECT_EQ(grid["rows"][1], (json{"2", "C2", "Avere"}));
    EXPECT_EQ(grid["frame"]["status"], 0);
    const json& code = control(r.replies[2], "TXT_CODE");
    EXPECT_EQ(code["type"], "CodeEditBox");
    EXPECT_EQ(code["visible"], true);
    EXPECT_EQ(code["tabStop"], true);
    EXPECT_EQ(control(r.replies[2], "BUT_ASK")["caption"], "Chiedi");

    EXPECT_EQ(r.replies[3]["typed"], true);
    EXPECT_EQ(r.replies[4]["moved"], false);             // Validate refused "BAD"
    EXPECT_EQ(r.replies[4]["refusedBy"], "TXT_CODE");
    EXPECT_EQ(r.replies[4]["focused"], "TXT_CODE");
    EXPECT_EQ(r.replies[6]["focused"], "TXT_OTHER");     // Tab left the accepted code
    EXPECT_EQ(r.replies[7]["moved"], true);
    EXPECT_EQ(r.replies[7]["currentRow"], 2);
    EXPECT_EQ(control(r.replies[8], "TXT_OTHER")["text"], "C3");   // the frame shows the row
    EXPECT_EQ(r.replies[9]["listIndex"], 1);
    EXPECT_EQ(r.replies[10]["pressed"], true);
    EXPECT_EQ(r.replies[11]["ok"], false);
    EXPECT_EQ(r.replies[12]["ok"], false);
}

TEST_F(Engine, ClosingIsRefusedWhileTheWindowSaysSoAndReportedWhenDone) {
    Session r = run({kCreate, R"({"cmd":"set","member":"IsCalled","value":true})", R"({"cmd":"showForm"})",
                 R"({"cmd":"close","window":"FRMFAKE"})", R"({"cmd":"set","member":"IsCalled","value":false})",
                 R"({"cmd":"close","window":"frmfake"})", R"({"cmd":"windows"})"});
    ASSERT_EQ(r.replies.size(), 7u);
    EXPECT_EQ(r.replies[3]["closed"], false);
    EXPECT_EQ(r.replies[5]["closed"], true);
    EXPECT_EQ(r.replies[5]["windowsClosed"], (json{"FRMFAKE"}));
    EXPECT_EQ(r.replies[6]["windows"], json::array());
}

TEST_F(Engine, QueuedAnswersGoToTheNextBoxesThenOk) {
    Session r = run({kCreate, R"({"cmd":"showForm"})", R"({"cmd":"answer","answers":[0]})",
                 R"({"cmd":"click","control":"BUT_ASK"})", R"({"cmd":"state","controls":["LBL_ANSWER"]})",
                 R"({"cmd":"click","control":"BUT_ASK"})", R"({"cmd":"state","controls":["LBL_ANSWER"]})",
                 R"({"cmd":"events"})", R"({"cmd":"events"})"});
    ASSERT_EQ(r.replies.size(), 9u);
    EXPECT_EQ(r.replies[2]["pending"], 1);
    EXPECT_EQ(r.replies[3]["clicked"], true);
    EXPECT_EQ(control(r.replies[4], "LBL_ANSWER")["caption"], "0");
    EXPECT_EQ(control(r.replies[6], "LBL_ANSWER")["caption"], "1");
    auto boxes = eventsOfKind(r.replies[7], "messageBox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]["text"], "Continuare?");
    EXPECT_EQ(boxes[0]["type"], 4);
    EXPECT_EQ(boxes[0]["answer"], 0);
    EXPECT_EQ(boxes[1]["answer"], 1);
    EXPECT_EQ(eventsOfKind(r.replies[7], "windowOpened").size(), 1u);
    EXPECT_EQ(r.replies[8]["events"], json::array());   // read once
}

TEST_F(Engine, LookupsListTheirRowsAndTakeThePickGivenOrQueued) {
    makeCodesDatabase();
    Session r = run({kCreate, R"({"cmd":"showForm"})",
                 R"({"cmd":"lookup","control":"TXT_CODE"})",
                 R"({"cmd":"lookup","control":"TXT_CODE","pick":1})",
                 R"({"cmd":"queueLookup","picks":[{"code":"C"}]})",
                 R"({"cmd":"key","control":"TXT_CODE","key":"F4"})",
                 R"({"cmd":"lastLookup"})",
                 R"({"cmd":"state","controls":["TXT_CODE"]})",
                 R"({"cmd":"events"})"});
    ASSERT_EQ(r.replies.size(), 9u);
    const json& listed = r.replies[2];
    EXPECT_EQ(listed["chosen"], false);
    EXPECT_EQ(listed["lookup"]["fields"], (json{"CODE", "DESCR"}));
    EXPECT_EQ(listed["lookup"]["caption"], "Codici");
    EXPECT_EQ(listed["lookup"]["rowCount"], 3);
    EXPECT_EQ(listed["lookup"]["rows"][1], (json{"B", "Beta"}));
    EXPECT_EQ(listed["lookup"]["picked"], -1);
    EXPECT_EQ(r.replies[3]["chosen"], true);
    EXPECT_EQ(r.replies[3]["text"], "B");
    EXPECT_EQ(r.replies[4]["pending"], 1);
    EXPECT_EQ(r.replies[6]["lookup"]["picked"], 2);
    EXPECT_EQ(control(r.replies[7], "TXT_CODE")["text"], "C");
    auto sql = eventsOfKind(r.replies[8], "sql");
    ASSERT_GE(sql.size(), 3u);
    EXPECT_EQ(sql[0]["text"], "SELECT CODE, DESCR FROM CODES ORDER BY CODE");
}

TEST_F(Engine, AModalWindowIsAnsweredFirstAndServedUntilItCloses) {
    Session r = run({kCreate, R"({"cmd":"set","member":"WindowModal","value":true})",
                 R"({"cmd":"call","method":"ShowForm","id":"show"})",
                 R"({"cmd":"click","control":"BUT_CHILD","id":"child"})",
                 R"({"cmd":"windows"})",
                 R"({"cmd":"close","window":"FRMCHILD"})",
                 R"({"cmd":"state","window":"FRMFAKE","controls":["LBL_ANSWER"]})",
                 R"({"cmd":"close"})",
                 R"({"cmd":"windows"})",
                 R"({"cmd":"events"})"});
    ASSERT_EQ(r.replies.size(), 10u);
    EXPECT_EQ(r.replies[2]["id"], "show");
    EXPECT_EQ(r.replies[2]["modal"], true);
    EXPECT_EQ(r.replies[2]["window"], "FRMFAKE");
    EXPECT_EQ(r.replies[3]["id"], "child");
    EXPECT_EQ(r.replies[3]["modal"], true);
    EXPECT_EQ(r.replies[3]["window"], "FRMCHILD");
    ASSERT_EQ(r.replies[4]["windows"].size(), 2u);
    EXPECT_EQ(r.replies[4]["windows"][1]["modal"], true);
    EXPECT_EQ(r.replies[5]["closed"], true);
    EXPECT_EQ(control(r.replies[6], "LBL_ANSWER")["caption"], "child closed");   // its Show returned
    EXPECT_EQ(r.replies[7]["closed"], true);
    EXPECT_EQ(r.replies[8]["windows"], json::array());
    EXPECT_EQ(eventsOfKind(r.replies[9], "modalReturned").size(), 2u);
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->modalReturned);
}

TEST_F(Engine, TheEndOfInputClosesAModalWindowOrEndsAnywayWhenItRefuses) {
    Session closes = run({kCreate, R"({"cmd":"set","member":"WindowModal","value":true})", R"({"cmd":"showForm"})"});
    EXPECT_EQ(closes.replies.size(), 3u);
    EXPECT_EQ(closes.forcedExits, 0);
    EXPECT_TRUE(closes.err.empty()) << closes.err;

    Session refuses = run({kCreate, R"({"cmd":"set","members":{"WindowModal":true,"IsCalled":true}})",
                       R"({"cmd":"showForm"})"});
    EXPECT_EQ(refuses.replies.size(), 3u);
    EXPECT_EQ(refuses.forcedExits, 1);
    EXPECT_NE(refuses.err.find("FRMFAKE"), std::string::npos);
}

TEST_F(Engine, AModelessWindowThatRefusesToCloseAtTheEndOfInputUnloadsAnyway) {
    Session r = run({kCreate, R"({"cmd":"set","member":"IsCalled","value":true})", R"({"cmd":"showForm"})"});
    EXPECT_EQ(r.replies.size(), 3u);
    EXPECT_EQ(r.forcedExits, 0);
    EXPECT_NE(r.err.find("la finestra FRMFAKE ha rifiutato la chiusura a fine input"), std::string::npos) << r.err;
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->unloaded);   // nothing of the session outlives it
}

}  // namespace
