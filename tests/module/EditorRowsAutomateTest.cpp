// One correlation per kind typed through the real `brevanto-cli automate` with the module
// library, on a database of its own: the header, a click on an empty row, the account typed,
// Down; then the statement the kind's table received, the grid row and the database.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "EditorRowsTest.h"
#include "support/AutomateRun.h"
#include "support/TestSupport.h"

using nlohmann::json;

namespace {

using testsupport::sh;

struct KindScenario {
    const char* kind;
    const char* headerControl;   // the first header field
    const char* headerCode;
    const char* pdc;             // "" when the structure fills it
    const char* ricl;
    int row;                     // 0-based grid row clicked (an empty sign-1 row)
    const char* typed;
    const char* insert;          // the statement expected
    const char* table;
    const char* where;           // the stored row
};

class EditorRowsAutomate : public testing::TestWithParam<KindScenario> {
protected:
    void SetUp() override {
        for (const auto& f : std::filesystem::directory_iterator(rowstest::pristineDemo()))
            std::filesystem::copy_file(f.path(), dir_.path() / f.path().filename());
    }

    std::vector<json> automate(const std::vector<std::string>& lines) {
        return testsupport::automateOk("--dir " + sh(dir_.str()), lines);
    }

    std::string stored(const std::string& table, const std::string& where) {
        return testsupport::queryValue("Provider=SQLite;database=BREVANTO;Data Source=" + dir_.str(),
                                       "SELECT * FROM " + table + " WHERE " + where, 4);
    }

    testsupport::TempDir dir_;
};

std::string type(const std::string& control, const std::string& text) {
    return json{{"cmd", "type"}, {"control", control}, {"text", text}}.dump();
}

TEST_P(EditorRowsAutomate, TypedAccountIsValidatedSavedAndShownInItsRow) {
    const KindScenario k = GetParam();
    std::vector<std::string> lines = {
        R"({"cmd":"create","progId":"Brevanto.CLSCG_CORRRICL)" + std::string(k.kind) +
            R"(","wireHost":true,"members":{"WindowModal":false}})",
        R"({"cmd":"showForm"})", type(k.headerControl, k.headerCode), R"({"cmd":"key","key":"Tab"})"};
    if (*k.pdc) lines.push_back(type("TXT_CODICE_PDC", k.pdc));
    lines.push_back(type("TXT_CODICE_RICL", k.ricl));
    lines.push_back(R"({"cmd":"key","key":"Tab"})");
    lines.push_back(R"({"cmd":"events"})");
    const std::size_t clickAt = lines.size();
    lines.push_back(json{{"cmd", "gridClick"}, {"control", "GRID_CORRPDC"}, {"row", k.row}}.dump());
    lines.push_back(type("TXT_CONTOCOIN", k.typed));
    lines.push_back(R"({"cmd":"key","control":"TXT_CONTOCOIN","key":"Down"})");
    lines.push_back(R"({"cmd":"events"})");
    lines.push_back(json{{"cmd", "state"}, {"controls", {"GRID_CORRPDC", "TXT_CONTOCOIN"}}, {"firstRow", k.row}, {"maxRows", 2}}.dump());
    auto r = automate(lines);
    ASSERT_EQ(r.size(), lines.size());

    EXPECT_EQ(r[clickAt]["currentRow"], k.row);
    EXPECT_EQ(r[clickAt + 2]["focused"], "TXT_CONTOCOIN");
    std::vector<std::string> writes;
    for (const auto& e : r[clickAt + 3]["events"]) {
        EXPECT_NE(e["event"], "messageBox") << e.dump();
        EXPECT_NE(e["event"], "errorReport") << e.dump();
        if (e["event"] == "sql") {
            const std::string text = e["text"];
            if (text.find("INSERT") != std::string::npos || text.find("UPDATE ") != std::string::npos ||
                text.find("DELETE") != std::string::npos)
                writes.push_back(text);
        }
    }
    EXPECT_EQ(writes, std::vector<std::string>{k.insert});

    const json& state = r.back()["window"];
    json gridState, boxState;
    for (const auto& c : state["controls"]) {
        if (c["name"] == "GRID_CORRPDC") gridState = c;
        if (c["name"] == "TXT_CONTOCOIN") boxState = c;
    }
    EXPECT_EQ(gridState["currentRow"], k.row + 1);
    ASSERT_GE(gridState["rows"].size(), 1u);
    EXPECT_EQ(gridState["rows"][0][6], k.typed);   // CONTORICL of the saved row
    EXPECT_NE(gridState["rows"][0][7], "");        // and its description
    EXPECT_EQ(stored(k.table, k.where), k.typed);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditorRowsAutomate,
    testing::Values(
        KindScenario{"COGE", "TXT_CODICE_PDC", "10", "", "101", 4, "0101001",
                     "INSERT INTO CG83_COLLRICL  (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                     "CG83_CONTORICL_PC03,  CG83_INDSEGNO) VALUES (10, '0101020001', 101, '0101001', 1)",
                     "CG83_COLLRICL", "CG83_CONTO_CG24 = '0101020001' AND CG83_CODICERICL_PC01 = 101 AND CG83_INDSEGNO = 1"},
        KindScenario{"COIN", "TXT_CODICE_PDC", "201", "", "102", 4, "20002",
                     "INSERT INTO PC07_COLLRICL  (PC07_CODICE_PC01, PC07_CONTO_PC03, PC07_CODICERICL_PC01, "
                     "PC07_CONTORICL_PC03,  PC07_INDSEGNO) VALUES (201, '1001003', 102, '20002', 1)",
                     "PC07_COLLRICL", "PC07_CONTO_PC03 = '1001003' AND PC07_INDSEGNO = 1"},
        KindScenario{"HYPE", "TXT_CODICE_PDC", "80", "", "301", 2, "BS1100",
                     "INSERT INTO CGH0_COLLRICLHYP  (CGH0_GRUPPO_CG10, CGH0_CONTO_CG24, CGH0_CODICE_PC01, "
                     "CGH0_CONTO_PC03,  CGH0_INDSEGNO) VALUES (80, '0102000000', 301, 'BS1100', 1)",
                     "CGH0_COLLRICLHYP", "CGH0_GRUPPO_CG10 = 80 AND CGH0_CONTO_CG24 = '0102000000' AND CGH0_INDSEGNO = 1"},
        KindScenario{"CONS", "TXT_CODINTERCOMPANY", "1", "", "401", 2, "IC301",
                     "INSERT INTO CGB3_COLLRICLCONS  (CGB3_CODICE_CGC0, CGB3_CONTO_CG24, CGB3_CODICE_PC01, "
                     "CGB3_CONTO_PC03,  CGB3_INDSEGNO) VALUES (1, '0102000000', 401, 'IC301', 1)",
                     "CGB3_COLLRICLCONS", "CGB3_CODICE_CGC0 = 1 AND CGB3_CONTO_CG24 = '0102000000' AND CGB3_INDSEGNO = 1"}),
    [](const testing::TestParamInfo<KindScenario>& info) { return std::string(info.param.kind); });

}  // namespace
