// The four trims, each pinned on what it takes away and what it must leave.
#include <gtest/gtest.h>

#include <string>

#include "text/Text.h"

namespace {

const std::string kPadded = " \t 0101 \t ";

TEST(TrimTest, SpacesGoFromBothEndsAndNothingElse) {
    EXPECT_EQ(text::trimSpaces("  0101010001   "), "0101010001") << "a code read from a char(n) column";
    EXPECT_EQ(text::trimSpaces(kPadded), "\t 0101 \t");
    EXPECT_EQ(text::trimSpaces("01 01"), "01 01") << "inner blanks belong to the code";
    EXPECT_EQ(text::trimSpaces("    "), "");
    EXPECT_EQ(text::trimSpaces(""), "");
}

TEST(TrimTest, BlanksAreSpacesAndTabs) {
    EXPECT_EQ(text::trimBlanks(kPadded), "0101");
    EXPECT_EQ(text::trimBlanks("\n0101\r"), "\n0101\r") << "line ends are no blanks";
    EXPECT_EQ(text::trimBlanks(" \t"), "");
}

TEST(TrimTest, WhitespaceIsEveryAsciiSpaceCharacter) {
    EXPECT_EQ(text::trimWhitespace("\r\n\v\f Provider = SQLite \t\r\n"), "Provider = SQLite");
    EXPECT_EQ(text::trimWhitespace("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0") << "a UTF-8 no-break space is text";
    EXPECT_EQ(text::trimWhitespace("\n\n"), "");
}

TEST(TrimTest, TrailingBlanksOnlyFromTheEnd) {
    // The database compares char columns without their trailing blanks, never their leading ones.
    EXPECT_EQ(text::trimTrailingBlanks(kPadded), " \t 0101");
    EXPECT_EQ(text::trimTrailingBlanks("ABC\n"), "ABC\n");
    EXPECT_EQ(text::trimTrailingBlanks("  "), "");
    const std::string stored = "CONTO   ";
    EXPECT_EQ(text::trimTrailingBlanks(stored).data(), stored.data()) << "a view into the text, not a copy";
}

}  // namespace
