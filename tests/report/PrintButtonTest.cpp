// The editor's "Stampa" on the stand-alone host: the calls the host's correlation report
// receives, in order, for each kind that prints (the report writes its PDF where the host
// asks); none in COIN; a print before any chart was chosen; two prints make two reports and
// none outlives its print.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ReportTestData.h"
#include "module/ModuleTestHost.h"
#include "report/HostCorrelationReport.h"

using editor::CorrelationKind;
using nlohmann::json;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

class PrintButton : public moduletest::ModuleHost {
protected:
    void SetUp() override {
        ModuleHost::SetUp();
        host.reports->pdfFile = pdf();
        report::installCorrelationReports(host);
    }

    std::filesystem::path pdf() const { return dir.path() / "stampa.pdf"; }

    // Opens the kind's editor and types its header as a user does.
    std::shared_ptr<editor::FRMCG_CORRRICL> openWithHeader(CorrelationKind kind, std::vector<std::pair<const char*, const char*>> fields) {
        auto ed = open(entryFor(kind));
        for (const auto& [control, text] : fields) {
            auto& box = ed->get(control);
            ed->setFocus(box);
            box.enterText(text);
            ed->keyDown(kit::keys::Tab);
        }
        EXPECT_GT(ed->Grid()->rowCount(), 0);
        events->clear();
        return ed;
    }

    bool print(editor::FRMCG_CORRRICL& ed) { return ed.get<kit::MenuButton>("BUT_STAMPA").click(); }

    std::vector<json> reportEvents() const { return events->ofKind("report"); }
    std::vector<std::string> calls() const {
        std::vector<std::string> out;
        for (const auto& e : reportEvents()) out.push_back(e.at("call"));
        return out;
    }
    json call(const std::string& name) const {
        for (const auto& e : reportEvents())
            if (e.at("call") == name) return e;
        return {};
    }

    testsupport::TempDir dir;
};

TEST_F(PrintButton, CogeHandsTheTwoChartsToANewReportThatPrintsAndIsReleased) {
    auto ed = openWithHeader(CorrelationKind::COGE, {{"TXT_CODICE_PDC", "10"}, {"TXT_CODICE_RICL", "101"}});
    ASSERT_TRUE(print(*ed));
    EXPECT_THAT(calls(), ElementsAre("create", "setHostInterface", "setLedgerChartCode", "setReclChartCode", "printCoge",
                                     "finish", "setHostInterface", "setConnection", "release"));
    auto events = reportEvents();
    EXPECT_EQ(events[1]["value"], "entry class");
    EXPECT_EQ(events[2]["value"], "10");
    EXPECT_EQ(events[3]["value"], "101");
    EXPECT_EQ(events[4]["result"], ed->Grid()->rowCount());
    EXPECT_EQ(events[6]["value"], nullptr);
    EXPECT_EQ(events[7]["value"], nullptr);

    // The report wrote its pages where the host asked; then the entry class is the current
    // program again.
    const int pages = events[5]["result"];
    EXPECT_GT(pages, 0);
    EXPECT_EQ(events[5]["file"], pdf().string());
    EXPECT_EQ(reporttest::readPdf(pdf()).pages, pages);
    auto all = this->events->events();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back()["event"], "currentProgram");
    EXPECT_EQ(all.back()["set"], true);
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(PrintButton, HypeAndConsCallTheirOwnPrintAndConsHandsTheStructureFirst) {
    auto hype = openWithHeader(CorrelationKind::HYPE, {{"TXT_CODICE_PDC", "80"}, {"TXT_CODICE_RICL", "301"}});
    ASSERT_TRUE(print(*hype));
    EXPECT_THAT(calls(), ElementsAre("create", "setHostInterface", "setLedgerChartCode", "setReclChartCode", "printHype",
                                     "finish", "setHostInterface", "setConnection", "release"));
    EXPECT_EQ(call("setReclChartCode")["value"], "301");
    EXPECT_GT(call("printHype")["result"].get<int>(), 0);
    hype->close();

    auto cons = openWithHeader(CorrelationKind::CONS, {{"TXT_CODINTERCOMPANY", "1"}, {"TXT_CODICE_RICL", "401"}});
    ASSERT_TRUE(print(*cons));
    EXPECT_THAT(calls(), ElementsAre("create", "setHostInterface", "setIntercompanyCode", "setLedgerChartCode",
                                     "setReclChartCode", "printCons", "finish", "setHostInterface", "setConnection",
                                     "release"));
    EXPECT_EQ(call("setIntercompanyCode")["value"], "1");
    // The chart code the structure brought into the header.
    EXPECT_EQ(call("setLedgerChartCode")["value"], "80");
    EXPECT_EQ(call("printCons")["result"], cons->Grid()->rowCount());
    EXPECT_THAT(reporttest::readPdf(pdf()).page[0], HasSubstr("Struttura intercompany: 1 - Gruppo Rossi"));
}

TEST_F(PrintButton, CoinMakesNoReportButTheEntryClassIsCurrentAgain) {
    auto ed = openWithHeader(CorrelationKind::COIN, {{"TXT_CODICE_PDC", "201"}, {"TXT_CODICE_RICL", "102"}});
    ASSERT_TRUE(print(*ed));
    EXPECT_TRUE(reportEvents().empty());
    EXPECT_EQ(events->count("currentProgram"), 1u);
    EXPECT_FALSE(std::filesystem::exists(pdf()));
}

TEST_F(PrintButton, BeforeAnyChartTheEmptyCodesAreHandedOverAndTheReportSaysWhy) {
    auto ed = open(entryFor(CorrelationKind::COGE));
    events->clear();
    ASSERT_TRUE(print(*ed));
    EXPECT_EQ(call("setLedgerChartCode")["value"], "");
    EXPECT_EQ(call("setReclChartCode")["value"], "");
    EXPECT_EQ(call("printCoge")["result"], false);
    EXPECT_EQ(call("finish")["result"], 0);
    auto shown = dialogs->takeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Indicare il piano dei conti da stampare.");
    EXPECT_EQ(shown[0].title, report::HostCorrelationReport::kMessageTitle);
    EXPECT_EQ(calls().back(), "release");
    EXPECT_FALSE(std::filesystem::exists(pdf()));
}

TEST_F(PrintButton, TwoPrintsInARowMakeTwoReportsNeitherOutlivingItsPrint) {
    auto ed = openWithHeader(CorrelationKind::COGE, {{"TXT_CODICE_PDC", "10"}, {"TXT_CODICE_RICL", "101"}});
    std::vector<std::weak_ptr<host::CorrelationReport>> made;
    host.classes->setReportMaker([&] {
        auto r = std::make_shared<report::HostCorrelationReport>(events, host.reports, nullptr);
        made.push_back(r);
        return r;
    });
    ASSERT_TRUE(print(*ed));
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(made[0].expired());
    ASSERT_TRUE(print(*ed));
    ASSERT_EQ(made.size(), 2u);
    EXPECT_TRUE(made[1].expired());

    auto list = reportEvents();
    ASSERT_EQ(list.size(), 18u);
    const int first = list.front()["report"], second = list.back()["report"];
    EXPECT_NE(first, second);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(list[i]["report"], first);
        EXPECT_EQ(list[i + 9]["report"], second);
        EXPECT_EQ(list[i]["call"], list[i + 9]["call"]);
    }
    EXPECT_EQ(list[8]["call"], "release");
}

}  // namespace
