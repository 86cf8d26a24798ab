// ASCII case folding: what field, control, provider and key names compare by.
#include <gtest/gtest.h>

#include "text/Text.h"

namespace {

TEST(CaseTest, FoldsAsciiLettersOnly) {
    EXPECT_EQ(text::toLowerAscii("PostgreSQL;Data Source=X_1"), "postgresql;data source=x_1");
    EXPECT_EQ(text::toUpperAscii("cg24_conto [az]@`{"), "CG24_CONTO [AZ]@`{") << "neighbours of the letter ranges stay";
    EXPECT_EQ(text::toLowerAscii(""), "");
}

TEST(CaseTest, LeavesUtf8BytesAsTheyAre) {
    // "È" and "à" are two-byte sequences: no byte of them may be taken for a letter.
    EXPECT_EQ(text::toUpperAscii("città"), "CITTà");
    EXPECT_EQ(text::toLowerAscii("ÈVERO"), "Èvero");
    EXPECT_FALSE(text::equalsIgnoreCaseAscii("È", "è"));
}

TEST(CaseTest, ComparesIgnoringAsciiCase) {
    EXPECT_TRUE(text::equalsIgnoreCaseAscii("TXT_CONTOCOIN", "txt_ContoCoin"));
    EXPECT_TRUE(text::equalsIgnoreCaseAscii("", ""));
    EXPECT_FALSE(text::equalsIgnoreCaseAscii("CONTO", "CONTO "));
    EXPECT_FALSE(text::equalsIgnoreCaseAscii("[", "{")) << "'[' and '{' are 32 apart but no letters";
    EXPECT_FALSE(text::equalsIgnoreCaseAscii("@", "`"));
}

}  // namespace
