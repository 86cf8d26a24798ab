// Codes laid into an edit mask from either end, and taken out of it again.
#include <gtest/gtest.h>

#include "text/Mask.h"

namespace {

using text::applyMask;
using text::MaskFill;
using text::stripMask;

TEST(MaskTest, AFullLengthCodeReadsTheSameFromEitherEnd) {
    for (MaskFill fill : {MaskFill::FromLeft, MaskFill::FromRight}) {
        EXPECT_EQ(applyMask("@@/@@@@@@@@", "0110000001", fill), "01/10000001");
        EXPECT_EQ(applyMask("@@/@@/@@/@@@@", "0101010001", fill), "01/01/01/0001");
        EXPECT_EQ(applyMask(" xx-xx00 ", "012345", fill), "01-2345") << "'x' and '0' are positions; blanks around go";
        EXPECT_EQ(applyMask("", "BS1100", fill), "BS1100");
        EXPECT_EQ(applyMask("@@/@@", "", fill), "");
    }
}

TEST(MaskTest, FromTheLeftAShortCodeStopsAtItsEnd) {
    EXPECT_EQ(applyMask("@@/@@", "012", MaskFill::FromLeft), "01/2");
    EXPECT_EQ(applyMask(" xx/xx00 ", "012345", MaskFill::FromLeft), "01/2345");
    EXPECT_EQ(applyMask("xx/xx/xxx", "0101", MaskFill::FromLeft), "01/01") << "no separator after the last character";
    EXPECT_EQ(applyMask("@@/@@", "012345", MaskFill::FromLeft), "01/2345") << "characters beyond the mask are appended";
    EXPECT_EQ(applyMask("@@/@@", "ABCDEFG", MaskFill::FromLeft), "AB/CDEFG");
    EXPECT_EQ(applyMask("", "A1", MaskFill::FromLeft), "A1");
    EXPECT_EQ(applyMask("  ", "A1", MaskFill::FromLeft), "A1") << "a mask of blanks is no mask";
}

TEST(MaskTest, FromTheRightAShortCodeIsPaddedInFront) {
    EXPECT_EQ(applyMask("@@/@@", "123", MaskFill::FromRight), " 1/23");
    EXPECT_EQ(applyMask("@@/@@", "1", MaskFill::FromRight), "  / 1") << "separators stay where the mask has them";
    EXPECT_EQ(applyMask("@@/@@", "123456", MaskFill::FromRight), "1234/56") << "characters beyond the mask stay in front";
    EXPECT_EQ(applyMask("xx.00", "789", MaskFill::FromRight), " 7.89");
}

TEST(MaskTest, StrippingTakesOutTheMasksSeparatorsOnly) {
    // Masked or plain, a box hands on the plain code; other characters stay for the decode to
    // refuse, and without a mask nothing is taken out.
    EXPECT_EQ(stripMask("@@/@@/@@/@@@@", "01/01/01/0001"), "0101010001");
    EXPECT_EQ(stripMask("@@/@@/@@/@@@@", "0101010001"), "0101010001");
    EXPECT_EQ(stripMask(" xx-xx00 ", "01-23 45'"), "0123 45'");
    EXPECT_EQ(stripMask("", "01/02"), "01/02");
    const std::string shown = applyMask("@@.@@/@@", "ABCDEF", MaskFill::FromLeft);
    EXPECT_EQ(shown, "AB.CD/EF");
    EXPECT_EQ(stripMask("@@.@@/@@", shown), "ABCDEF") << "strip undoes apply";
}

}  // namespace
