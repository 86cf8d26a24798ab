// The editor's mapping commands through `brevanto-cli automate`: a preview writes nothing, apply
// writes it and the list is rebuilt on the row the user was on; a typed, unstored account
// keeps every command from running.

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "balances/BalanceTable.h"
#include "db/sqlite/SqliteRuntime.h"
#include "support/AutomateRun.h"
#include "support/TestSupport.h"

using nlohmann::json;

namespace {

using testsupport::sh;

class MappingRequests : public ::testing::Test {
protected:
    void SetUp() override {
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " db init --demo --dir " + sh(demo.str()));
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    // The replies, one per request line.
    std::vector<json> automate(std::vector<std::string> lines) {
        const std::vector<std::string> open = {
            R"({"cmd":"create","progId":"Brevanto.CLSCG_CORRRICLCOGE","wireHost":true,"members":{"WindowModal":false}})",
            R"({"cmd":"showForm"})",
            R"({"cmd":"type","control":"TXT_CODICE_PDC","text":"10"})",
            R"({"cmd":"key","key":"Tab"})",
            R"({"cmd":"type","control":"TXT_CODICE_RICL","text":"101"})",
            R"({"cmd":"key","key":"Tab"})"};
        lines.insert(lines.begin(), open.begin(), open.end());
        const testsupport::AutomateResult r = testsupport::runAutomate("--dir " + sh(demo.str()), lines);
        std::vector<json> replies = r.replies;
        EXPECT_EQ(replies.size(), lines.size()) << r.out << r.err;
        replies.erase(replies.begin(), replies.begin() + static_cast<long>(std::min(open.size(), replies.size())));
        return replies;
    }

    long stored(const std::string& where) const {
        sqlite3* db = nullptr;
        long n = -1;
        if (sqlite3_open_v2((demo.path() / "BREVANTO.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            db::sqlite::registerSqliteRuntime(db);
            sqlite3_stmt* st = nullptr;
            const std::string sql = "SELECT COUNT(*) FROM CG83_COLLRICL WHERE CG83_CODICE_CG10 = 10 AND " + where;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
                n = sqlite3_column_int64(st, 0);
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return n;
    }

    testsupport::TempDir demo;
};

}  // namespace

TEST_F(MappingRequests, APreviewWritesNothingUntilItIsApplied) {
    const long credit = stored("CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 2");
    auto replies = automate({
        R"({"cmd":"gridClick","control":"GRID_CORRPDC","row":4})",
        R"({"cmd":"mapping","action":"preview","source":"copySign","from":1})",
        R"({"cmd":"mapping","action":"discard"})",
        R"({"cmd":"mapping","action":"apply"})",
        R"({"cmd":"mapping","action":"preview","source":"copySign","from":1})",
        R"({"cmd":"mapping","action":"apply"})",
        R"({"cmd":"mapping","action":"check"})",
    });
    ASSERT_EQ(replies.size(), 7u);
    const json& preview = replies[1];
    ASSERT_TRUE(preview["ok"]) << preview;
    const long added = preview["counts"]["Aggiunta"];
    EXPECT_GT(added, 0);
    EXPECT_EQ(preview["writes"], added);
    EXPECT_EQ(replies[2]["discarded"], true);
    EXPECT_EQ(replies[3]["ok"], false);   // nothing to apply once discarded
    const json& applied = replies[5];
    ASSERT_TRUE(applied["ok"]) << applied;
    EXPECT_EQ(applied["written"], added);
    EXPECT_TRUE(applied["current"].is_object()) << applied;   // back on a row of the rebuilt list
    EXPECT_EQ(stored("CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 2"), credit + added);
    // The check no longer finds an account with Dare and without Avere.
    const json& check = replies[6];
    ASSERT_TRUE(check["ok"]) << check;
    EXPECT_EQ(check["groups"][1]["id"], "senza-avere");
}

TEST_F(MappingRequests, ATypedAccountNotStoredKeepsTheCommandsFromWriting) {
    const long before = stored("1 = 1");
    auto replies = automate({
        R"({"cmd":"gridClick","control":"GRID_CORRPDC","row":3})",
        R"({"cmd":"focus","control":"TXT_CONTOCOIN"})",
        R"({"cmd":"type","control":"TXT_CONTOCOIN","text":"0101003"})",
        R"({"cmd":"mapping","action":"preview","source":"copySign","from":1})",
        R"({"cmd":"mapping","action":"preview","source":"import","file":"/nessuna/cartella/c.csv"})",
        R"({"cmd":"answer","answers":[0]})",   // closing: "No", the typed account is dropped
    });
    ASSERT_EQ(replies.size(), 6u);
    EXPECT_EQ(replies[3]["ok"], false);
    EXPECT_EQ(replies[3]["error"], "Confermare o annullare prima il conto della riga corrente.");
    EXPECT_EQ(replies[4]["ok"], false);
    EXPECT_EQ(stored("1 = 1"), before);
}

TEST_F(MappingRequests, ABalancePreviewOfTheEditorsChartIsWrittenOnlyByApply) {
    const auto file = demo.path() / "bilancio.csv";
    std::ofstream(file, std::ios::binary) << "Conto;Saldo\r\n1801010001;1.000,00\r\n2601010001;-1.000,00\r\n";
    const std::string preview =
        R"({"cmd":"balances","action":"preview","date":"2026-12-31","file":)" + json(file.string()).dump() + "}";
    auto replies = automate({
        preview,
        R"({"cmd":"balances","action":"discard"})",
        R"({"cmd":"balances","action":"apply"})",
        preview,
        R"({"cmd":"balances","action":"apply"})",
        preview,
        R"({"cmd":"balances","action":"apply"})",
        R"({"cmd":"balances","action":"preview","date":"31/12/2026","file":"x.csv"})",
    });
    ASSERT_EQ(replies.size(), 8u);
    ASSERT_TRUE(replies[0]["ok"]) << replies[0];
    EXPECT_EQ(replies[0]["pdc"], 10);
    EXPECT_EQ(replies[0]["conteggi"]["Aggiunta"], 2);
    EXPECT_EQ(replies[0]["applicabile"], true);
    EXPECT_EQ(replies[1]["discarded"], true);
    EXPECT_EQ(replies[2]["ok"], false);   // nothing to apply once discarded
    ASSERT_TRUE(replies[4]["ok"]) << replies[4];
    EXPECT_EQ(replies[4]["written"], 2);
    EXPECT_EQ(replies[5]["conteggi"]["Invariata"], 2);   // the same file again
    EXPECT_EQ(replies[6]["ok"], false);
    EXPECT_EQ(replies[7]["ok"], false);
    const auto list = testsupport::runCommand(std::string(BREVANTO_CLI) + " balances list --json --dir " + sh(demo.str()));
    const json kept = json::parse(list.out);
    ASSERT_EQ(kept.size(), 3u) << list.out;
    EXPECT_EQ(kept[2]["data"], "2026-12-31");
    EXPECT_EQ(kept[2]["righe"], 2);
}

TEST_F(MappingRequests, ABulkFillIsOneStepThatHistoryUndoesAndRedoes) {
    const std::string credit = "CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 2";
    const long before = stored(credit);
    auto replies = automate({
        R"({"cmd":"history","action":"undo"})",
        R"({"cmd":"mapping","action":"preview","source":"copySign","from":1})",
        R"({"cmd":"mapping","action":"apply"})",
        R"({"cmd":"history","action":"list"})",
        R"({"cmd":"history","action":"undo"})",
        R"({"cmd":"history","action":"redo"})",
        R"({"cmd":"history","action":"undoAll"})",
        R"({"cmd":"history","action":"rewind"})",
    });
    ASSERT_EQ(replies.size(), 8u);
    EXPECT_TRUE(replies[0]["undone"].is_null()) << replies[0];   // nothing to undo yet
    const long added = replies[2]["written"];
    ASSERT_GT(added, 0) << replies[2];
    const json& list = replies[3];
    ASSERT_EQ(list["steps"].size(), 1u) << list;
    EXPECT_EQ(list["undo"], "Annulla: riempimento, " + std::to_string(added) + " correlazioni");
    EXPECT_EQ(list["steps"][0]["changes"].size(), static_cast<std::size_t>(added));
    EXPECT_EQ(replies[4]["undone"]["source"], "riempimento") << replies[4];
    EXPECT_EQ(replies[4]["undo"], "");
    EXPECT_EQ(replies[4]["redo"], "Ripeti: riempimento, " + std::to_string(added) + " correlazioni");
    EXPECT_TRUE(replies[4]["current"].is_object());
    EXPECT_EQ(replies[5]["redone"]["step"], list["steps"][0]["step"]) << replies[5];
    EXPECT_EQ(replies[6]["undone"], 1) << replies[6];
    EXPECT_EQ(stored(credit), before);
    EXPECT_EQ(replies[7]["ok"], false);
    EXPECT_EQ(replies[7]["error"], "azione sconosciuta \"rewind\" (undo, redo, undoAll, list)");
}

TEST_F(MappingRequests, PreviewGivesTheStatementOfTheEditorsListAndRefusesADateNotKept) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((demo.path() / "BREVANTO.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE BRV_SALDI", nullptr, nullptr, nullptr), SQLITE_OK);   // the demo's own
    sqlite3_close(db);
    auto replies = automate({R"({"cmd":"preview"})"});
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0]["notice"],
              "Nessun bilancio di verifica importato: il database non ha ancora la tabella dei saldi (BRV_SALDI).");

    ASSERT_EQ(sqlite3_open((demo.path() / "BREVANTO.db").c_str(), &db), SQLITE_OK);
    const std::string sql = std::string(balances::kCreateBalanceTable) + ";"
                            "INSERT INTO BRV_SALDI VALUES (1, 10, '2025-12-31', '1801010002', 5000, 0);"
                            "INSERT INTO BRV_SALDI VALUES (1, 10, '2026-06-30', '1801010002', 1000, 2200);";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string file = (demo.path() / "anteprima.xlsx").string();
    replies = automate({R"({"cmd":"preview","date":"2025-12-31","file":")" + file + R"("})",
                        R"({"cmd":"preview"})", R"({"cmd":"preview","date":"2024-12-31"})"});
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0]["date"], "2025-12-31");
    bool bank = false;
    for (const auto& line : replies[0]["lines"])
        if (line["code"] == "0204001") bank = line["text"] == "5.000,00";
    EXPECT_TRUE(bank) << replies[0].dump();
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(replies[1]["date"], "2026-06-30");
    ASSERT_EQ(replies[1]["warnings"].size(), 1u);
    EXPECT_EQ(replies[1]["warnings"][0]["account"], "1801010002");
    EXPECT_EQ(replies[1]["lines"].back()["text"], "-1.200,00");
    EXPECT_EQ(replies[2]["ok"], false);
    EXPECT_EQ(replies[2]["error"],
              "Nessun bilancio di verifica alla data 31/12/2024. Date disponibili: 31/12/2025, 30/06/2026.");
}
