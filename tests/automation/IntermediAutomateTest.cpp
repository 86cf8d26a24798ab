// The intermediaries editor driven end to end through the real `brevanto-cli automate` on a
// demo database of its own (company 1, ledger chart 10, reclassification chart 101): the
// customers' master row of the correlation editor enables BUT_CORRINTERMEDI, its click opens
// FRMCG_CORRINTERMEDI as a modal window over the master and its intermediaries 2, 4 and 7,
// an account typed for intermediary 7 is saved (UPDATE of its Dare row on Down; the Avere row
// it proposes is not stored when the window closes), and BUT_CHIUDI brings the editor back on
// the master row. A refused account never reaches the database; closing with an account typed
// asks whether to save it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/AutomateRun.h"
#include "support/TestSupport.h"

using nlohmann::json;

namespace {

using testsupport::sh;

// Grid row of the customers' master 1401000000 (Dare) in the editor of chart 10 / 101.
constexpr int kMasterRow = 24;
// Rows of intermediary 7 in the intermediaries grid: Dare, then Avere.
constexpr int kIntermediary7Dare = 6;

class IntermediAutomate : public ::testing::Test {
protected:
    void SetUp() override {
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " db init --demo --dir " + sh(dir_.str()));
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    std::vector<json> automate(const std::vector<std::string>& lines) {
        return testsupport::automateOk("--dir " + sh(dir_.str()), lines);
    }

    // Intermediary 7's stored correlations of chart 101, as (sign, account) pairs.
    std::vector<std::pair<int, std::string>> storedForIntermediary7() {
        auto r = testsupport::runCommand(std::string(BREVANTO_CLI) + " sql --json --dir " + sh(dir_.str()) +
                                         " " +
                                         sh("SELECT CG93_INDSEGNO, CG93_CONTO_PC03 FROM CG93_CORRINTERMEDIRICL "
                                            "WHERE CG93_DITTA_CG18 = 1 AND CG93_TIPOCF_CG40 = 0 AND "
                                            "CG93_INTERMEDIO_CG40 = 7 AND CG93_CODICE_PC01 = 101 "
                                            "ORDER BY CG93_INDSEGNO"));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::pair<int, std::string>> out;
        json rows = json::parse(r.out, nullptr, false);
        EXPECT_TRUE(rows.is_array()) << r.out;
        if (!rows.is_array()) return out;
        for (const auto& row : rows) out.emplace_back(row["CG93_INDSEGNO"].get<int>(), row["CG93_CONTO_PC03"].get<std::string>());
        return out;
    }

    testsupport::TempDir dir_;
};

std::string req(json j) { return j.dump(); }

std::vector<std::string> openOnCustomersMaster() {
    return {R"({"cmd":"create","progId":"Brevanto.CLSCG_CORRRICLCOGE","wireHost":true,"members":{"WindowModal":false}})",
            R"({"cmd":"showForm"})",
            req({{"cmd", "type"}, {"control", "TXT_CODICE_PDC"}, {"text", "10"}}),
            req({{"cmd", "type"}, {"control", "TXT_CODICE_RICL"}, {"text", "101"}}),
            R"({"cmd":"key","key":"Tab"})",
            req({{"cmd", "state"}, {"controls", {"BUT_CORRINTERMEDI"}}, {"maxRows", 0}}),
            req({{"cmd", "gridClick"}, {"control", "GRID_CORRPDC"}, {"row", kMasterRow}})};
}

json controlIn(const json& reply, const std::string& name) {
    for (const auto& c : reply["window"]["controls"])
        if (c["name"] == name) return c;
    ADD_FAILURE() << "no control " << name << " in " << reply.dump().substr(0, 300);
    return json::object();
}

std::vector<std::string> sqlTexts(const json& reply) {
    std::vector<std::string> out;
    for (const auto& e : reply["events"])
        if (e["event"] == "sql") out.push_back(e["text"]);
    return out;
}

bool isWrite(const std::string& text) {
    return text.find("INSERT") != std::string::npos || text.find("UPDATE ") != std::string::npos ||
           text.find("DELETE") != std::string::npos;
}

std::vector<std::string> writes(const json& reply) {
    std::vector<std::string> out;
    for (const auto& t : sqlTexts(reply))
        if (isWrite(t)) out.push_back(t);
    return out;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(IntermediAutomate, CustomersIntermediaryIsCorrelatedAndTheEditorKeepsTheMasterRow) {
    std::vector<std::string> lines = openOnCustomersMaster();
    const std::size_t masterState = lines.size();
    lines.push_back(req({{"cmd", "state"}, {"controls", {"GRID_CORRPDC", "BUT_CORRINTERMEDI", "TXT_CONTO"}}, {"firstRow", kMasterRow}, {"maxRows", 1}}));
    lines.push_back(R"({"cmd":"events"})");
    const std::size_t open = lines.size();
    lines.push_back(R"({"cmd":"click","control":"BUT_CORRINTERMEDI","id":"open"})");
    lines.push_back(R"({"cmd":"state"})");
    const std::size_t pick = lines.size();
    lines.push_back(req({{"cmd", "gridClick"}, {"control", "QGRID_INTERMEDI"}, {"row", kIntermediary7Dare}}));
    lines.push_back(req({{"cmd", "state"}, {"controls", {"TXT_CONTOINTERMEDIO", "TXT_CONTOCOIN", "CBO_SEGNOINTERM"}}}));
    lines.push_back(R"({"cmd":"events"})");
    const std::size_t typed = lines.size();
    lines.push_back(req({{"cmd", "type"}, {"control", "TXT_CONTOCOIN"}, {"text", "0202001"}}));
    lines.push_back(R"({"cmd":"key","control":"TXT_CONTOCOIN","key":"Down"})");
    lines.push_back(R"({"cmd":"events"})");
    lines.push_back(req({{"cmd", "state"}, {"controls", {"QGRID_INTERMEDI", "TXT_CONTOCOIN", "CBO_SEGNOINTERM"}}}));
    const std::size_t closing = lines.size();
    lines.push_back(R"({"cmd":"click","control":"BUT_CHIUDI"})");
    lines.push_back(R"({"cmd":"events"})");
    lines.push_back(R"({"cmd":"windows"})");
    lines.push_back(req({{"cmd", "state"}, {"controls", {"GRID_CORRPDC", "BUT_CORRINTERMEDI"}}, {"firstRow", kMasterRow}, {"maxRows", 1}}));
    auto r = automate(lines);
    ASSERT_EQ(r.size(), lines.size());

    // Before a master row the button is the plain one, out of the tab order.
    const json before = controlIn(r[5], "BUT_CORRINTERMEDI");
    EXPECT_EQ(before["caption"], "Correlazione intermedi");
    EXPECT_EQ(before["tabStop"], false);
    // On the customers' master it names the master and takes a tab stop.
    EXPECT_EQ(r[masterState - 1]["currentRow"], kMasterRow);
    const json grid = controlIn(r[masterState], "GRID_CORRPDC");
    ASSERT_EQ(grid["rows"].size(), 1u);
    EXPECT_EQ(grid["rows"][0][1], "1401000000");
    EXPECT_EQ(grid["rows"][0][5], "Dare");
    EXPECT_EQ(controlIn(r[masterState], "TXT_CONTO")["text"], "1401000000");
    const json button = controlIn(r[masterState], "BUT_CORRINTERMEDI");
    EXPECT_EQ(button["caption"], "Correlazione intermedi mastro clienti");
    EXPECT_EQ(button["tabStop"], true);
    EXPECT_EQ(button["enabled"], true);

    // The click answers as soon as the modal window is open.
    EXPECT_EQ(r[open]["id"], "open");
    EXPECT_EQ(r[open]["modal"], true);
    EXPECT_EQ(r[open]["window"], "FRMCG_CORRINTERMEDI");
    EXPECT_EQ(r[open]["windowsOpened"], json{"FRMCG_CORRINTERMEDI"});
    const json& intermedi = r[open + 1]["window"];
    EXPECT_EQ(intermedi["name"], "FRMCG_CORRINTERMEDI");
    EXPECT_EQ(intermedi["caption"], "Correlazione intermedi clienti");
    EXPECT_EQ(intermedi["modal"], true);
    EXPECT_EQ(intermedi["focused"], "QGRID_INTERMEDI");
    const json rows = controlIn(r[open + 1], "QGRID_INTERMEDI")["rows"];
    std::vector<std::string> accounts, signs;
    for (const auto& row : rows) {
        accounts.push_back(row[1]);
        signs.push_back(row[5]);
    }
    // The master (intermediary 0) and intermediaries 2, 4, 7, each with its two signs.
    EXPECT_EQ(accounts, (std::vector<std::string>{"1401000000", "1401000000", "1402000000", "1402000000", "1404000000",
                                                  "1404000000", "1407000000", "1407000000"}));
    EXPECT_EQ(signs, (std::vector<std::string>{"Dare", "Avere", "Dare", "Avere", "Dare", "Avere", "Dare", "Avere"}));
    EXPECT_EQ(controlIn(r[open + 1], "TXT_CONTOINTERMEDIO")["text"], "14/01/000000");
    EXPECT_EQ(controlIn(r[open + 1], "BUT_CHIUDI")["caption"], "&Chiudi");

    // Intermediary 7's Dare row shows its sub-account code and the stored account.
    EXPECT_EQ(r[pick]["currentRow"], kIntermediary7Dare);
    EXPECT_EQ(controlIn(r[pick + 1], "TXT_CONTOINTERMEDIO")["text"], "14/07/000000");
    EXPECT_EQ(controlIn(r[pick + 1], "TXT_CONTOCOIN")["text"], "0203002");
    EXPECT_EQ(controlIn(r[pick + 1], "CBO_SEGNOINTERM")["text"], "Dare");

    // Down saves the changed row: the stored account is replaced, nothing else is written.
    EXPECT_EQ(r[typed + 1]["focused"], "TXT_CONTOCOIN");
    for (const auto& e : r[typed + 2]["events"]) {
        EXPECT_NE(e["event"], "messageBox") << e.dump();
        EXPECT_NE(e["event"], "errorReport") << e.dump();
        EXPECT_NE(e["event"], "sqlError") << e.dump();
    }
    const auto down = writes(r[typed + 2]);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_TRUE(has(down[0], "UPDATE CG93_CORRINTERMEDIRICL")) << down[0];
    EXPECT_TRUE(has(down[0], "SET CG93_CONTO_PC03 = '0202001'")) << down[0];
    EXPECT_TRUE(has(down[0], "AND CG93_INTERMEDIO_CG40 = 7")) << down[0];
    EXPECT_TRUE(has(down[0], "AND CG93_CONTO_PC03 = '0203002'")) << down[0];
    // The Avere row below, still empty, gets the Dare account proposed.
    EXPECT_EQ(controlIn(r[typed + 3], "QGRID_INTERMEDI")["currentRow"], kIntermediary7Dare + 1);
    EXPECT_EQ(controlIn(r[typed + 3], "TXT_CONTOCOIN")["text"], "0202001");
    EXPECT_EQ(controlIn(r[typed + 3], "CBO_SEGNOINTERM")["text"], "Avere");

    // The Avere row shows it as a proposal, and BUT_CHIUDI drops it: nothing is written.
    EXPECT_EQ(controlIn(r[typed + 3], "TXT_CONTOCOIN")["provisional"], true);
    EXPECT_EQ(controlIn(r[typed + 3], "TXT_CONTOCOIN")["provisionalHint"], "Conto proposto: Invio per confermare");
    EXPECT_EQ(controlIn(r[typed + 3], "QGRID_INTERMEDI")["proposedRow"], kIntermediary7Dare + 1);
    EXPECT_EQ(controlIn(r[typed + 3], "QGRID_INTERMEDI")["frame"]["proposal"], true);
    EXPECT_EQ(r[closing]["windowsClosed"], json{"FRMCG_CORRINTERMEDI"});
    EXPECT_TRUE(writes(r[closing + 1]).empty());
    for (const auto& e : r[closing + 1]["events"]) EXPECT_NE(e["event"], "messageBox") << e.dump();
    bool returned = false;
    for (const auto& e : r[closing + 1]["events"])
        returned = returned || (e["event"] == "modalReturned" && e["window"] == "FRMCG_CORRINTERMEDI");
    EXPECT_TRUE(returned);

    // Only the editor is left, back on the customers' master row.
    ASSERT_EQ(r[closing + 2]["windows"].size(), 1u);
    EXPECT_EQ(r[closing + 2]["windows"][0]["name"], "FRMCG_CORRRICL");
    const json after = controlIn(r[closing + 3], "GRID_CORRPDC");
    EXPECT_EQ(after["currentRow"], kMasterRow);
    ASSERT_EQ(after["rows"].size(), 1u);
    EXPECT_EQ(after["rows"][0][1], "1401000000");
    EXPECT_EQ(controlIn(r[closing + 3], "BUT_CORRINTERMEDI")["caption"], "Correlazione intermedi mastro clienti");

    EXPECT_EQ(storedForIntermediary7(), (std::vector<std::pair<int, std::string>>{{1, "0202001"}}));
}

std::vector<std::string> typeRefusedAccount() {
    std::vector<std::string> lines = openOnCustomersMaster();
    lines.push_back(R"({"cmd":"click","control":"BUT_CORRINTERMEDI"})");
    lines.push_back(req({{"cmd", "gridClick"}, {"control", "QGRID_INTERMEDI"}, {"row", kIntermediary7Dare}}));
    lines.push_back(R"({"cmd":"events"})");
    lines.push_back(req({{"cmd", "type"}, {"control", "TXT_CONTOCOIN"}, {"text", "99'X"}}));
    lines.push_back(R"({"cmd":"key","control":"TXT_CONTOCOIN","key":"Down"})");
    lines.push_back(R"({"cmd":"events"})");
    return lines;
}

TEST_F(IntermediAutomate, AnUnknownAccountWithAQuoteIsRefusedAndNotStored) {
    std::vector<std::string> lines = typeRefusedAccount();
    const std::size_t refused = lines.size() - 1;
    lines.push_back(req({{"cmd", "state"}, {"controls", {"QGRID_INTERMEDI"}}, {"maxRows", 0}}));
    lines.push_back(R"({"cmd":"click","control":"BUT_CHIUDI"})");   // refused: the focus cannot leave the box
    lines.push_back(req({{"cmd", "type"}, {"control", "TXT_CONTOCOIN"}, {"text", "0203002"}}));
    lines.push_back(R"({"cmd":"click","control":"BUT_CHIUDI"})");
    lines.push_back(R"({"cmd":"windows"})");
    auto r = automate(lines);
    ASSERT_EQ(r.size(), lines.size());

    std::vector<json> boxes;
    for (const auto& e : r[refused]["events"])
        if (e["event"] == "messageBox") boxes.push_back(e);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["code"], 114);
    EXPECT_EQ(boxes[0]["text"], "Conto inesistente.");
    bool escapedLookup = false;
    for (const auto& t : sqlTexts(r[refused])) {
        EXPECT_FALSE(isWrite(t)) << t;
        escapedLookup = escapedLookup || has(t, "PC03_CONTO = '99''X'");
    }
    EXPECT_TRUE(escapedLookup);
    EXPECT_EQ(controlIn(r[refused + 1], "QGRID_INTERMEDI")["currentRow"], kIntermediary7Dare);

    EXPECT_EQ(r[refused + 2]["clicked"], false);
    EXPECT_EQ(r[refused + 2]["refusedBy"], "TXT_CONTOCOIN");
    EXPECT_EQ(r[refused + 4]["windowsClosed"], json{"FRMCG_CORRINTERMEDI"});
    EXPECT_EQ(r[refused + 5]["windows"].size(), 1u);
    EXPECT_EQ(storedForIntermediary7(), (std::vector<std::pair<int, std::string>>{{1, "0203002"}}));
}

// Closing the window (the driver's close, as the window's close box would) while the box holds
// an account its validation refused asks whether to save it: Sì checks it again (message 114,
// the window stays open), No drops it and closes.
TEST_F(IntermediAutomate, ClosingWithATypedAccountAsksAndNeverStoresARefusedOne) {
    std::vector<std::string> lines = typeRefusedAccount();
    const std::size_t first = lines.size();
    lines.push_back(R"({"cmd":"answer","answers":[1]})");
    lines.push_back(R"({"cmd":"close","window":"FRMCG_CORRINTERMEDI"})");
    lines.push_back(R"({"cmd":"events"})");
    lines.push_back(R"({"cmd":"answer","answers":[0]})");
    lines.push_back(R"({"cmd":"close","window":"FRMCG_CORRINTERMEDI"})");
    lines.push_back(R"({"cmd":"events"})");
    auto r = automate(lines);
    ASSERT_EQ(r.size(), lines.size());
    EXPECT_FALSE(r[first + 1].value("closed", true)) << r[first + 1].dump();
    std::vector<json> boxes;
    for (const auto& e : r[first + 2]["events"])
        if (e["event"] == "messageBox") boxes.push_back(e);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]["text"], "Salvare la correlazione del conto 14/07/00/0000?");
    EXPECT_EQ(boxes[0]["type"], 35);
    EXPECT_EQ(boxes[0]["answer"], 1);
    EXPECT_EQ(boxes[1]["code"], 114);
    EXPECT_TRUE(r[first + 4].value("closed", false)) << r[first + 4].dump();
    for (const auto& t : sqlTexts(r[first + 5])) EXPECT_FALSE(isWrite(t)) << t;
    EXPECT_EQ(storedForIntermediary7(), (std::vector<std::pair<int, std::string>>{{1, "0203002"}}));
}

}  // namespace
