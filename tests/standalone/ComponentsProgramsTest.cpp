// The programs opened from the code fields: the chart browsers record their request, show
// the right rows positioned on the code, and write a chosen row back into the calling box;
// the intercompany-structure program searches through the box's lookup window or opens the
// browser on the structures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ComponentsFixture.h"
#include "host/HostError.h"
#include "host/ProgramPresenter.h"

using componentstest::DemoComponents;
using testing::ElementsAre;

namespace {

class Programs : public DemoComponents {
protected:
    std::shared_ptr<kit::CoinAccountBox> account_ = form_.create<kit::CoinAccountBox>("TXT_CONTOCOIN");
};

TEST_F(Programs, ReclLauncherBrowsesTheChartsAccountsAndWritesTheChoiceBack) {
    auto launcher = host_.classes->newReclProgramLauncher();
    launcher->init(host_.global);
    account_->setValue("IC101");
    presenter_->push(std::string("IC102"));
    EXPECT_TRUE(launcher->run(db::Variant("401"), db::Variant("IC101"), account_));
    EXPECT_EQ(account_->Value(), "IC102");

    ASSERT_EQ(presenter_->requests().size(), 1u);
    const auto& r = presenter_->requests()[0];
    EXPECT_EQ(r.program, host::kReclChartProgram);
    EXPECT_EQ(r.position, "IC101");
    EXPECT_EQ(r.connectionString, connect_);
    EXPECT_TRUE(r.returnsChoice);
    EXPECT_EQ(firstColumn(r.sql).size(), 11u);
    EXPECT_EQ(r.fields.at(0).column, "PC03_CONTO");

    auto events = host_.events->ofKind("program");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]["program"], "reclChart");
    EXPECT_EQ(events[0]["chart"], "401");
    EXPECT_EQ(events[0]["account"], "IC101");
    EXPECT_EQ(events[0]["connectField"], "TXT_CONTOCOIN");
    auto choices = host_.events->ofKind("programChoice");
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0]["value"], "IC102");
}

TEST_F(Programs, ClosingWithoutAChoiceOrWithoutABoxWritesNothing) {
    auto launcher = host_.classes->newReclProgramLauncher();
    launcher->init(host_.global);
    account_->setValue("IC101");
    EXPECT_FALSE(launcher->run(db::Variant("401"), db::Variant("IC101"), account_));
    EXPECT_EQ(account_->Value(), "IC101");

    // Kgestione on the chart field: no box waits, a choice has nowhere to go.
    presenter_->push(std::string("IC102"));
    EXPECT_FALSE(launcher->run(db::Variant("101")));
    EXPECT_FALSE(presenter_->requests().back().returnsChoice);
    EXPECT_EQ(presenter_->requests().back().position, "");
    EXPECT_EQ(host_.events->count("program"), 2u);
    EXPECT_EQ(host_.events->count("programChoice"), 0u);
    EXPECT_TRUE(host_.events->ofKind("program")[1]["account"].is_null());
}

TEST_F(Programs, WithoutAChartTheBrowserListsTheCharts) {
    auto recl = host_.classes->newReclProgramLauncher();
    recl->init(host_.global);
    recl->run(db::Variant("1'01"));
    EXPECT_EQ(firstColumn(presenter_->requests().back().sql).size(), 7u);   // every PC01 chart

    auto ledger = host_.classes->newLedgerProgramLauncher();
    ledger->init(host_.global);
    ledger->run(db::Variant(""));
    EXPECT_EQ(presenter_->requests().back().program, host::kLedgerChartProgram);
    EXPECT_THAT(firstColumn(presenter_->requests().back().sql), ElementsAre("10", "80"));

    ledger->run(db::Variant("80"), db::Variant("0101000000"));
    const auto& r = presenter_->requests().back();
    EXPECT_EQ(r.position, "0101000000");   // an account keeps its leading zeros
    auto accounts = firstColumn(r.sql);
    ASSERT_FALSE(accounts.empty());
    EXPECT_EQ(accounts.size(), std::stoul(firstColumn("SELECT COUNT(*) FROM CG24_TABPDC WHERE CG24_GRUPPO_CG10 = 80")[0]));
    EXPECT_EQ(host_.events->ofKind("program").back()["program"], "ledgerChart");
}

class Intercompany : public DemoComponents {
protected:
    std::shared_ptr<host::IntercompanyProgram> program(const std::string& text, const db::Variant& mode) {
        auto p = host_.classes->newIntercompanyProgram();
        p->init(entry_, code_, db::Variant(text), mode);
        return p;
    }
};

TEST_F(Intercompany, SearchWritesTheChosenStructureIntoTheBox) {
    code_->setText("");
    ws_.scriptedLookups().push(0);
    EXPECT_TRUE(program("", db::Variant(1))->run());
    EXPECT_EQ(code_->Text(), "1");

    ASSERT_EQ(ws_.scriptedLookups().requests().size(), 1u);
    auto rs = ws_.scriptedLookups().requests()[0].recordset;
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->value("CGC0_DESCR").toText(), "Gruppo Rossi");
    EXPECT_EQ(rs->value("CG18_RAGSOC").toText(), "Gruppo Rossi Holding S.r.l.");
    EXPECT_EQ(rs->value("CGB1_DATABASE").toText(), "GRUPPO");
    rs->MoveNext();
    EXPECT_TRUE(rs->value("CGB1_DATABASE").isNull());   // the structure without a database

    // The editor redecodes the box afterwards: the written code decodes.
    code_->StartDecode.connect([&](bool&, std::string& sql, kit::DecodeFields& fields, std::string& connect) {
        auto d = host_.classes->newIntercompanyDecoder()->decode(db::Variant(code_->Text()), description_);
        sql = d.sql;
        fields = d.fields;
        connect = connect_;
    });
    code_->Redecode();
    EXPECT_EQ(description_->Text(), "Gruppo Rossi");

    auto events = host_.events->ofKind("program");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]["program"], "intercompanyStructure");
    EXPECT_EQ(events[0]["mode"], 1);
}

TEST_F(Intercompany, CancelledSearchKeepsTheText) {
    code_->setText("2");
    EXPECT_FALSE(program("2", db::Variant("1"))->run());
    EXPECT_EQ(code_->Text(), "2");
    EXPECT_EQ(ws_.scriptedLookups().requests().at(0).currentText, "2");
}

TEST_F(Intercompany, MaintenanceOpensTheBrowserOnTheStructure) {
    code_->setText("1");
    presenter_->push(std::string("2"));
    EXPECT_TRUE(program("1", db::Variant(0))->run());
    EXPECT_EQ(code_->Text(), "2");
    ASSERT_EQ(presenter_->requests().size(), 1u);
    const auto& r = presenter_->requests()[0];
    EXPECT_EQ(r.program, host::kIntercompanyProgram);
    EXPECT_EQ(r.mode, 0);
    EXPECT_EQ(r.position, "1");
    EXPECT_THAT(firstColumn(r.sql), ElementsAre("1", "2"));
    EXPECT_TRUE(ws_.scriptedLookups().requests().empty());
    EXPECT_EQ(host_.events->ofKind("program").at(0)["chart"], "1");
}

TEST_F(Intercompany, BadModeOrMissingInitIsAClearError) {
    EXPECT_THROW(program("1", db::Variant(3))->run(), host::HostError);
    EXPECT_THROW(program("1", db::Variant("x"))->run(), host::HostError);
    EXPECT_THROW(program("1", db::Variant())->run(), host::HostError);
    EXPECT_THROW(host_.classes->newIntercompanyProgram()->run(), host::HostError);
    EXPECT_EQ(code_->Text(), "");
}

TEST_F(Intercompany, SearchWithoutWindowSystemIsAClearError) {
    kit::Form bare("FRMBARE");
    auto box = bare.create<kit::CodeEditBox>("TXT_CODINTERCOMPANY");
    auto p = host_.classes->newIntercompanyProgram();
    p->init(entry_, box, db::Variant(""), db::Variant(1));
    EXPECT_THROW(p->run(), host::HostError);
}

}  // namespace
