// brevanto-cli list on the demo database: every kind lists each account twice, debit before
// credit, with the code through the chart's mask on the debit row only; refused charts and
// structures give the editor's messages.

#include <gtest/gtest.h>

#include <set>

#include "CliTestHelpers.h"

using namespace clitest;
using testsupport::TempDir;

namespace {

class ListCommand : public DemoDatabaseSuite {
protected:
    static testsupport::CommandResult list(const std::string& args) {
        return cli("list --dir " + sh(dir_->str()) + " " + args);
    }
    static nlohmann::json listJson(const std::string& args) {
        auto r = list("--json " + args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return parseJson(r.out);
    }
    static std::string host() { return (dir_->path() / "BREVANTO.db").string(); }

    // Two rows per account, sign 1 then 2, the code and description on the first row only.
    static void expectPairs(const nlohmann::json& rows) {
        ASSERT_TRUE(rows.is_array());
        ASSERT_FALSE(rows.empty());
        ASSERT_EQ(rows.size() % 2, 0u);
        std::set<std::string> seen;
        for (std::size_t i = 0; i < rows.size(); i += 2) {
            const auto& debit = rows[i];
            const auto& credit = rows[i + 1];
            EXPECT_EQ(debit["SEGNO"], 1) << i;
            EXPECT_EQ(credit["SEGNO"], 2) << i;
            EXPECT_EQ(debit["CONTOPDC"], credit["CONTOPDC"]) << i;
            EXPECT_TRUE(debit["CONTOPDCGRID"].is_string()) << i;
            EXPECT_TRUE(credit["CONTOPDCGRID"].is_null()) << i;
            EXPECT_TRUE(credit["DESCRPDCGRID"].is_null()) << i;
            EXPECT_TRUE(seen.insert(debit["CONTOPDC"].get<std::string>()).second) << "listed twice: " << debit["CONTOPDC"];
        }
    }
    static const nlohmann::json* row(const nlohmann::json& rows, const std::string& account, int sign) {
        for (const auto& r : rows)
            if (r["CONTOPDC"] == account && r["SEGNO"] == sign) return &r;
        return nullptr;
    }
};

TEST_F(ListCommand, CogeListsTheLeavesAndBothMastersOfChart10) {
    auto j = listJson("--kind COGE --pdc 10 --ricl 101");
    ASSERT_TRUE(j.is_object());
    const auto& rows = j["rows"];
    expectPairs(rows);
    long leaves = count(host(), "CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 10 AND substr(CG24_CONTO, 7) <> '0000'");
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(2 * (leaves + 2)));
    EXPECT_EQ(j["mask"], "@@/@@/@@/@@@@");

    auto* leaf = row(rows, "0101010001", 1);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ((*leaf)["CONTOPDCGRID"], "01/01/01/0001");
    EXPECT_EQ((*leaf)["CONTORICL"], "0101001");
    EXPECT_EQ((*leaf)["DESCRRICL"], "Costi pluriennali");

    auto* customers = row(rows, "1401000000", 1);
    ASSERT_NE(customers, nullptr);
    EXPECT_EQ((*customers)["TIPOCF"], 0);
    EXPECT_EQ((*customers)["CONTOPDCGRID"], "14/01/00/0000");
    auto* suppliersCredit = row(rows, "2601000000", 2);
    ASSERT_NE(suppliersCredit, nullptr);
    EXPECT_EQ((*suppliersCredit)["TIPOCF"], 1);
    EXPECT_EQ((*suppliersCredit)["CONTORICL"], "0501001");
    auto* other = row(rows, "6001010001", 1);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ((*other)["TIPOCF"], -1);
}

TEST_F(ListCommand, TablePrintsSignTextsAndMaskedCodes) {
    auto r = list("--kind COGE --pdc 80 --ricl 103 --limit 4");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("CONTOPDCGRID"), std::string::npos);
    auto debit = r.out.find("01/0100/0001");
    ASSERT_NE(debit, std::string::npos) << r.out;
    auto dare = r.out.find("Dare", debit);
    auto avere = r.out.find("Avere", debit);
    ASSERT_NE(dare, std::string::npos);
    ASSERT_NE(avere, std::string::npos);
    EXPECT_LT(dare, avere);
    EXPECT_NE(r.out.find("A0101"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("mostrate 4"), std::string::npos) << r.out;
}

TEST_F(ListCommand, HypeListsTheConsolidationLevel) {
    auto j = listJson("--kind HYPE --pdc 80 --ricl 301");
    const auto& rows = j["rows"];
    expectPairs(rows);
    for (const auto& r : rows) {
        std::string code = r["CONTOPDC"];
        bool master = code == "1401000000" || code == "2601000000";
        EXPECT_TRUE(master || (code.substr(6) == "0000" && code.substr(2, 4) != "0000")) << code;
    }
    auto* fixed = row(rows, "0201000000", 2);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ((*fixed)["CONTORICL"], "BS1200");
}

TEST_F(ListCommand, ConsReadsTheGroupCompanysChartFromItsDatabase) {
    auto j = listJson("--kind CONS --intercompany 1 --ricl 401");
    EXPECT_EQ(j["database"], "GRUPPO");
    EXPECT_EQ(j["chart"], "80");
    const auto& rows = j["rows"];
    expectPairs(rows);
    auto* holding = row(rows, "0301000000", 1);
    ASSERT_NE(holding, nullptr);
    EXPECT_EQ((*holding)["CONTORICL"], "IC301");
    EXPECT_EQ((*holding)["CONTOPDCGRID"], "03/0100/0000");

    auto none = list("--kind CONS --intercompany 2 --ricl 401");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("L'intercompany 2 non ha nessuna azienda collegata!"), std::string::npos) << none.err;
}

TEST_F(ListCommand, CoinListsAnalyticAccountsWithTheirSignCorrelations) {
    auto j = listJson("--kind COIN --pdc 201 --ricl 102");
    const auto& rows = j["rows"];
    expectPairs(rows);
    for (const auto& r : rows) EXPECT_EQ(r["CONTOPDC"].get<std::string>().size(), 7u) << "grouping levels are left out";
    auto* both = row(rows, "1001001", 2);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ((*both)["CONTORICL"], "20002");
    // Correlated on the credit side only: the debit row stays empty.
    auto* creditOnlyDebit = row(rows, "2001001", 1);
    auto* creditOnlyCredit = row(rows, "2001001", 2);
    ASSERT_NE(creditOnlyDebit, nullptr);
    ASSERT_NE(creditOnlyCredit, nullptr);
    EXPECT_TRUE((*creditOnlyDebit)["CONTORICL"].is_null());
    EXPECT_EQ((*creditOnlyCredit)["CONTORICL"], "20004");
    EXPECT_EQ((*creditOnlyDebit)["CONTOPDCGRID"], "20/01/001");
    // The last account, correlated on the debit side only, still has its credit row.
    EXPECT_EQ(rows[rows.size() - 2]["CONTOPDC"], "4002001");
    EXPECT_EQ(rows[rows.size() - 2]["CONTORICL"], "10001");
    EXPECT_TRUE(rows[rows.size() - 1]["CONTORICL"].is_null());
}

TEST_F(ListCommand, RefusedChartsGiveTheEditorsMessages) {
    struct Case {
        const char* args;
        const char* message;
    } cases[] = {
        {"--kind COGE --pdc 10 --ricl 110", "Piano dei conti non configurato!"},
        {"--kind COGE --pdc 10 --ricl 401", "Il piano dei conti deve essere di tipo 'Riclassificazione di bilancio'!"},
        {"--kind CONS --intercompany 1 --ricl 101", "Il piano dei conti deve essere di tipo 'Riclassificato intercompany'!"},
        {"--kind COIN --pdc 101 --ricl 102", "non e' un piano dei conti analitico"},
        {"--kind COGE --pdc 55 --ricl 101", "Il piano dei conti 55 non esiste."},
        {"--kind COGE --pdc 10 --ricl '1; DROP TABLE CG24_TABPDC'", "Codice non numerico"},
        {"--kind XYZ --pdc 10 --ricl 101", "tipo di correlazione sconosciuto"},
    };
    for (const auto& c : cases) {
        auto r = list(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
    EXPECT_GT(count(host(), "CG24_TABPDC"), 0);
}

TEST(ListVolume, GeneratedAccountsAreListedInFull) {
    TempDir dir;
    auto init = cli("db init --demo --accounts 2000 --dir " + sh(dir.str()));
    ASSERT_EQ(init.exitCode, 0) << init.err;
    const std::string file = (dir.path() / "BREVANTO.db").string();
    EXPECT_EQ(count(file, "CG24_TABPDC WHERE CG24_DESCR LIKE 'Cliente 0%'"), 2000);
    EXPECT_EQ(scalar(file, "SELECT CG24_DESCR FROM CG24_TABPDC WHERE CG24_CONTO = '1450010123'"), "Cliente 000123");

    auto r = cli("list --json --kind COGE --pdc 10 --ricl 101 --limit 2 --dir " + sh(dir.str()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = parseJson(r.out);
    long leaves = count(file, "CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 10 AND substr(CG24_CONTO, 7) <> '0000'");
    EXPECT_GE(leaves, 2000);
    EXPECT_EQ(j["rowCount"], 2 * (leaves + 2));
    EXPECT_EQ(j["rows"].size(), 2u);
}

}  // namespace

namespace {

// What `list` printed as a table before it streamed its rows: all the cells held, each column
// as wide as its widest cell, two blanks between columns, trailing blanks cut.
std::string heldTable(const nlohmann::ordered_json& rows) {
    const std::vector<std::string> headers{"CONTOPDCGRID", "DESCRPDCGRID", "SEGNO", "CONTORICL", "DESCRRICL"};
    auto text = [](const nlohmann::ordered_json& v) { return v.is_null() ? std::string() : v.get<std::string>(); };
    auto width = [](const std::string& s) {
        std::size_t n = 0;
        for (unsigned char c : s) n += (c & 0xC0) != 0x80;
        return n;
    };
    std::vector<std::vector<std::string>> lines{headers, {}};
    for (const auto& r : rows)
        lines.push_back({text(r["CONTOPDCGRID"]), text(r["DESCRPDCGRID"]), r["SEGNO"] == 1 ? "Dare" : "Avere",
                         text(r["CONTORICL"]), text(r["DESCRRICL"])});
    std::vector<std::size_t> widths(headers.size(), 0);
    for (const auto& l : lines)
        for (std::size_t i = 0; i < l.size(); ++i) widths[i] = std::max(widths[i], width(l[i]));
    for (std::size_t i = 0; i < widths.size(); ++i) lines[1].push_back(std::string(widths[i], '-'));
    std::string out;
    for (const auto& l : lines) {
        std::string line;
        for (std::size_t i = 0; i < l.size(); ++i) line += l[i] + (i + 1 < l.size() ? std::string(widths[i] - width(l[i]) + 2, ' ') : "");
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\n";
    }
    return out;
}

}  // namespace

TEST(ListVolume, StreamedRowsPrintAsTheHeldOnesDid) {
    TempDir dir;
    ASSERT_EQ(cli("db init --demo --accounts 3000 --dir " + sh(dir.str())).exitCode, 0);
    const std::string args = " --kind COGE --pdc 10 --ricl 101 --dir " + sh(dir.str());

    // JSON: byte for byte the document one dump of the whole would give.
    auto json = cli("list --json" + args);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto document = nlohmann::ordered_json::parse(json.out);
    EXPECT_EQ(json.out, document.dump(2) + "\n");
    const auto& rows = document["rows"];
    ASSERT_GT(rows.size(), 6000u);
    EXPECT_EQ(document["rowCount"], rows.size());

    auto table = cli("list" + args);
    ASSERT_EQ(table.exitCode, 0) << table.err;
    const std::string title = "Correlazione COGE: piano 10 \"" + scalar((dir.path() / "BREVANTO.db").string(),
        "SELECT CG10_DESCR FROM CG10_DESPDC WHERE CG10_GRUPPO = 10") + "\", riclassificazione 101\n";
    EXPECT_EQ(table.out, title + heldTable(rows) + "(" + std::to_string(rows.size()) + " righe)\n");

    // A limit cuts the rows printed and the widths measured, not the count.
    auto limited = cli("list --limit 3" + args);
    ASSERT_EQ(limited.exitCode, 0) << limited.err;
    auto first = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < 3; ++i) first.push_back(rows[i]);
    EXPECT_EQ(limited.out, title + heldTable(first) + "(" + std::to_string(rows.size()) + " righe, mostrate 3)\n");
}
