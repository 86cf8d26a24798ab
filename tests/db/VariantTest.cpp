#include <gtest/gtest.h>

#include "db/Error.h"
#include "db/Variant.h"

using db::ConversionError;
using db::Variant;

TEST(VariantTest, NumericTextConvertsLikeTheHostLanguage) {
    EXPECT_EQ(Variant("  42 ").toInt32(), 42);
    EXPECT_EQ(Variant("+7").toInt64(), 7);
    EXPECT_EQ(Variant("-3").toInt16(), -3);
    EXPECT_DOUBLE_EQ(Variant("1.25").toDouble(), 1.25);
    EXPECT_EQ(Variant("4010000000").toInt64(), 4010000000LL);
    // Integer conversions round half to even.
    EXPECT_EQ(Variant(2.5).toInt32(), 2);
    EXPECT_EQ(Variant(3.5).toInt32(), 4);
    EXPECT_EQ(Variant("1").toBool(), true);
    EXPECT_EQ(Variant("falso").toBool(), false);
    EXPECT_EQ(Variant(true).toInt32(), -1);
}

TEST(VariantTest, TextThatIsNotANumberIsRefused) {
    for (const char* text : {"", "abc", "12abc", "+", "+-5", "nan", "inf", "1,5x"})
        EXPECT_THROW(Variant(text).toDouble(), ConversionError) << text;
}

TEST(VariantTest, OverflowOfNarrowIntegersIsAnError) {
    EXPECT_THROW(Variant(40000).toInt16(), ConversionError);
    EXPECT_THROW(Variant("40000").toInt16(), ConversionError);
    EXPECT_EQ(Variant(32767).toInt16(), 32767);
    EXPECT_THROW(Variant(256).toByte(), ConversionError);
    EXPECT_THROW(Variant(-1).toByte(), ConversionError);
    EXPECT_THROW(Variant(3e9).toInt32(), ConversionError);
    EXPECT_THROW(Variant(1e300).toInt64(), ConversionError);
}

TEST(VariantTest, NullRefusesNumbersButGivesEmptyText) {
    Variant n = Variant::null();
    EXPECT_TRUE(n.isNull());
    EXPECT_TRUE(n.isBlank());
    EXPECT_THROW(n.toInt32(), ConversionError);
    EXPECT_THROW(n.toDouble(), ConversionError);
    EXPECT_THROW(n.toBool(), ConversionError);
    EXPECT_EQ(n.toText(), "");
    // Empty is zero, "" and false.
    EXPECT_EQ(Variant().toInt32(), 0);
    EXPECT_EQ(Variant().toText(), "");
    EXPECT_FALSE(Variant().toBool());
}

TEST(VariantTest, TextFormOfNumbers) {
    EXPECT_EQ(Variant::decimal(1).toText(), "1");
    EXPECT_EQ(Variant(1.5).toText(), "1.5");
    EXPECT_EQ(Variant(-0.0).toText(), "0");
    EXPECT_EQ(Variant(4010000000LL).toText(), "4010000000");
    EXPECT_EQ(Variant(true).toText(), "True");
}

TEST(VariantTest, EqualityComparesNumbersByValueAndTextExactly) {
    EXPECT_EQ(Variant(1), Variant::decimal(1.0));
    EXPECT_EQ(Variant(true), Variant(-1));
    EXPECT_FALSE(Variant("1") == Variant(1));
    EXPECT_FALSE(Variant("a") == Variant("A"));
    EXPECT_EQ(Variant::null(), Variant::null());
    EXPECT_FALSE(Variant::null() == Variant());
    ASSERT_NE(Variant("x").textIf(), nullptr);
    EXPECT_EQ(*Variant("x").textIf(), "x");
    EXPECT_EQ(Variant(1).textIf(), nullptr);
}
