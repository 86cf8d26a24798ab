// The compact row table behind result sets and recordsets: every kind of value reads back as
// it was written, texts are read in place, rows survive growth, writes and copies.

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "db/RowTable.h"

using db::Row;
using db::RowTable;
using db::Variant;

namespace {

struct Probe : db::Object {};

TEST(RowTableTest, EveryKindOfValueReadsBackWithItsType) {
    const std::string longText(70000, 'x');
    const Row values = {Variant::null(),
                        Variant(),
                        Variant(true),
                        Variant(false),
                        Variant(0),
                        Variant(-1),
                        Variant((1LL << 28) - 1),
                        Variant(-(1LL << 28)),
                        Variant(1LL << 28),
                        Variant(-9000000000000000000LL),
                        Variant(2.0),
                        Variant(-0.5),
                        Variant::decimal(2),
                        Variant::decimal(-268435456),
                        Variant::decimal(12.75),
                        Variant::decimal(1e12),
                        Variant(""),
                        Variant("Crediti v/clienti è à"),
                        Variant(longText),
                        Variant(std::shared_ptr<db::Object>(std::make_shared<Probe>()))};
    RowTable t;
    t.push_back(values);
    ASSERT_EQ(t.size(), 1u);
    ASSERT_EQ(t.columns(), values.size());
    for (std::size_t c = 0; c < values.size(); ++c) {
        EXPECT_EQ(t.type(0, c), values[c].type()) << c;
        EXPECT_EQ(t.value(0, c), values[c]) << c << " " << values[c].debugString();
    }
    EXPECT_TRUE(t[0] == values);
    EXPECT_EQ(t.value(0, 19).toObject(), values[19].toObject());
    // A decimal -0 keeps its sign; a double 2.0 stays a double.
    RowTable z(1);
    z.set(z.appendRow(), 0, Variant::decimal(-0.0));
    EXPECT_TRUE(std::signbit(z.value(0, 0).toDouble()));
    EXPECT_EQ(t.type(0, 10), Variant::Type::Double);
}

TEST(RowTableTest, TextsAreReadInPlaceAndOnlyTexts) {
    RowTable t;
    t.push_back({Variant("0101010001"), Variant(12), Variant::null(), Variant(std::string(70000, 'n'))});
    const db::RowRef r = t[0];
    ASSERT_TRUE(r.textAt(0).has_value());
    EXPECT_EQ(*r.textAt(0), "0101010001");
    EXPECT_FALSE(r.textAt(1).has_value());
    EXPECT_FALSE(r.textAt(2).has_value());
    EXPECT_FALSE(r.textAt(9).has_value());   // past the last column
    EXPECT_EQ(r.textAt(3)->size(), 70000u);
    std::string joined;
    for (const auto& v : r) joined += v.debugString() + ";";
    EXPECT_EQ(joined.substr(0, 21), "\"0101010001\";12;null;");
    EXPECT_EQ(r.front(), Variant("0101010001"));
    EXPECT_THROW(r.at(4), std::out_of_range);
    EXPECT_THROW(t.at(1), std::out_of_range);
}

TEST(RowTableTest, ShortAndLongRowsShapeTheTable) {
    RowTable t(2);
    t.push_back({Variant(1)});
    t.push_back({Variant(2), Variant("b"), Variant("c")});   // widens: earlier rows get Null
    ASSERT_EQ(t.columns(), 3u);
    EXPECT_TRUE(t.value(0, 1).isNull());
    EXPECT_TRUE(t.value(0, 2).isNull());
    EXPECT_EQ(t.value(1, 2), Variant("c"));
    t.setColumns(2);
    EXPECT_EQ(t.columns(), 2u);
    EXPECT_EQ(t[1].size(), 2u);
    EXPECT_EQ(t.value(1, 1), Variant("b"));
    EXPECT_TRUE(t.value(1, 2).isNull());
}

TEST(RowTableTest, ThousandsOfRowsSurviveGrowthWritesAndCopies) {
    RowTable t(3);
    for (int i = 0; i < 5000; ++i) {
        const std::size_t r = t.appendRow();
        t.setText(r, 0, "Conto " + std::to_string(i / 2));   // each text on two rows in a row
        t.setDecimal(r, 1, i % 2 + 1);
        if (i % 3 == 0) t.setInteger(r, 2, i);
    }
    RowTable copy = t;
    t.set(4001, 0, Variant("Cambiato"));
    t.set(4001, 2, Variant(1.5));
    for (int i : {0, 1, 1023, 1024, 1025, 4000, 4999}) {
        const auto r = static_cast<std::size_t>(i);
        EXPECT_EQ(copy.value(r, 0), Variant("Conto " + std::to_string(i / 2))) << i;
        EXPECT_EQ(copy.value(r, 1), Variant::decimal(i % 2 + 1)) << i;
        EXPECT_EQ(copy.value(r, 2), i % 3 == 0 ? Variant(i) : Variant::null()) << i;
    }
    EXPECT_EQ(t.value(4001, 0), Variant("Cambiato"));
    EXPECT_EQ(t.value(4001, 2), Variant(1.5));
    EXPECT_EQ(t.value(4000, 0), Variant("Conto 2000"));
    EXPECT_EQ(copy.value(4001, 0), Variant("Conto 2000"));
}

TEST(RowTableTest, RepeatedTextsAreStoredOnce) {
    const std::string description = "Descrizione di un conto piuttosto lunga, ";
    RowTable repeated(2), distinct(2);
    for (int i = 0; i < 4000; ++i) {
        const std::size_t a = repeated.appendRow(), b = distinct.appendRow();
        repeated.setText(a, 0, description + std::to_string(i / 2));
        repeated.setText(a, 1, description + std::to_string(i / 2));
        distinct.setText(b, 0, description + std::to_string(i) + "a");
        distinct.setText(b, 1, description + std::to_string(i) + "b");
    }
    // A quarter of the texts, so well under half the room.
    EXPECT_LT(repeated.heapBytes() * 2, distinct.heapBytes());
    EXPECT_EQ(repeated.value(3999, 1), Variant(description + "1999"));
}

}  // namespace
