// The code-field decoders of the stand-alone host, run through a real code box on the demo
// database: what a known code fills, what an unknown one clears, and that a code with a
// quote or a letter finds nothing without making the statement fail.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ComponentsFixture.h"

using componentstest::DemoComponents;
using testing::HasSubstr;
using testing::Not;

namespace {

class Decoders : public DemoComponents {
protected:
    // Types `text` into the code box and decodes it, the box asking `decode` for the
    // definition as the editor's StartDecode handler does.
    void decodeWith(const std::function<host::DecodeDefinition(const db::Variant&)>& decode, const std::string& text) {
        code_->StartDecode.disconnectAll();
        code_->StartDecode.connect([&, decode](bool&, std::string& sql, kit::DecodeFields& fields, std::string& connect) {
            auto d = decode(db::Variant(code_->Text()));
            lastSql_ = d.sql;
            sql = d.sql;
            fields = d.fields;
            connect = host_.global->hostConnectionString();
        });
        code_->enterText(text);
        code_->Redecode();
    }
    std::string lastSql_;
};

TEST_F(Decoders, LedgerChartFillsDescriptionAndBothLevelCounts) {
    auto decoder = host_.classes->newLedgerChartDecoder();
    decoder->init(host_.global, consolidation_);
    auto decode = [&](const db::Variant& c) { return decoder->decode(c, description_, levels_); };

    decodeWith(decode, "10");
    EXPECT_TRUE(code_->IsDecoded()) << code_->lastError();
    EXPECT_EQ(description_->Text(), "Piano dei conti Rossi S.p.A.");
    EXPECT_EQ(levels_->Text(), "4");
    EXPECT_EQ(consolidation_->Text(), "2");

    decodeWith(decode, "80");
    EXPECT_TRUE(code_->IsDecoded());
    EXPECT_EQ(description_->Text(), "Piano dei conti standard");
    EXPECT_EQ(levels_->Text(), "3");

    decodeWith(decode, "99");
    EXPECT_FALSE(code_->IsDecoded());
    EXPECT_EQ(code_->lastError(), "");
    EXPECT_EQ(description_->Text(), "");
    EXPECT_EQ(levels_->Text(), "");
    EXPECT_EQ(consolidation_->Text(), "");
}

TEST_F(Decoders, CodesThatAreNotNumbersFindNothingAndNeverReachTheStatement) {
    auto ledger = host_.classes->newLedgerChartDecoder();
    ledger->init(host_.global, consolidation_);
    auto recl = host_.classes->newReclChartDecoder();
    recl->init(entry_, connection());
    auto structures = host_.classes->newIntercompanyDecoder();
    std::vector<std::function<host::DecodeDefinition(const db::Variant&)>> decoders = {
        [&](const db::Variant& c) { return ledger->decode(c, description_, levels_); },
        [&](const db::Variant& c) { return recl->decode(c, description_, levels_); },
        [&](const db::Variant& c) { return structures->decode(c, description_); },
    };
    for (const std::string bad : {"1'0", "10' OR '1'='1", "1a", "-1", "1.5", "1; DROP TABLE PC01_DESCRPDC"}) {
        for (auto& decode : decoders) {
            description_->setText("old");
            decodeWith(decode, bad);
            EXPECT_FALSE(code_->IsDecoded()) << bad;
            EXPECT_EQ(code_->lastError(), "") << bad << ": " << lastSql_;
            EXPECT_EQ(description_->Text(), "") << bad;
            EXPECT_THAT(lastSql_, Not(HasSubstr("'"))) << bad;
            EXPECT_THAT(lastSql_, Not(HasSubstr("DROP"))) << bad;
        }
    }
    // Blanks around a number are what a user types by mistake: still the chart.
    decodeWith(decoders[1], " 101 ");
    EXPECT_TRUE(code_->IsDecoded());
    EXPECT_EQ(firstColumn("SELECT COUNT(*) FROM PC01_DESCRPDC"), std::vector<std::string>{"7"});
}

TEST_F(Decoders, ReclChartFillsDescriptionAndLevels) {
    auto decoder = host_.classes->newReclChartDecoder();
    decoder->init(entry_, connection());
    auto decode = [&](const db::Variant& c) { return decoder->decode(c, description_, levels_); };

    decodeWith(decode, "101");
    EXPECT_TRUE(code_->IsDecoded()) << code_->lastError();
    EXPECT_EQ(description_->Text(), "Stato patrimoniale e conto economico riclassificati");
    EXPECT_EQ(levels_->Text(), "3");

    decodeWith(decode, "401");
    EXPECT_EQ(description_->Text(), "Riclassificato intercompany");
    EXPECT_EQ(levels_->Text(), "2");

    decodeWith(decode, "999");
    EXPECT_FALSE(code_->IsDecoded());
    EXPECT_EQ(description_->Text(), "");
    EXPECT_EQ(levels_->Text(), "");
}

TEST_F(Decoders, NullTargetsAreLeftOutOfTheFieldList) {
    auto decoder = host_.classes->newLedgerChartDecoder();
    decoder->init(host_.global, nullptr);
    auto d = decoder->decode(db::Variant("10"), description_, nullptr);
    ASSERT_EQ(d.fields.size(), 1u);
    EXPECT_EQ(d.fields[0].column, "CG10_DESCR");

    decodeWith([&](const db::Variant& c) { return decoder->decode(c, description_, nullptr); }, "10");
    EXPECT_TRUE(code_->IsDecoded());
    EXPECT_EQ(code_->lastError(), "");   // no complaint about a missing target
    EXPECT_EQ(levels_->Text(), "");
}

TEST_F(Decoders, IntercompanyStructureShowsItsDescription) {
    auto decode = [&](const db::Variant& c) { return host_.classes->newIntercompanyDecoder()->decode(c, description_); };
    decodeWith(decode, "1");
    EXPECT_TRUE(code_->IsDecoded()) << code_->lastError();
    EXPECT_EQ(description_->Text(), "Gruppo Rossi");

    // A structure without a company still exists: it decodes (the editor refuses it later).
    decodeWith(decode, "2");
    EXPECT_TRUE(code_->IsDecoded());
    EXPECT_EQ(description_->Text(), "Struttura in costituzione (senza azienda)");

    decodeWith(decode, "3");
    EXPECT_FALSE(code_->IsDecoded());
    EXPECT_EQ(description_->Text(), "");
}

}  // namespace
