// The correlation kinds by name: the one table the history, the files and the command line read.
#include <gtest/gtest.h>

#include "statements/CorrelationKindNames.h"

namespace {

using editor::CorrelationKind;
using editor::kindFromName;
using editor::kindName;

TEST(KindNames, EveryKindReadsBackFromItsName) {
    for (CorrelationKind k : {CorrelationKind::COGE, CorrelationKind::COIN, CorrelationKind::HYPE, CorrelationKind::CONS})
        EXPECT_EQ(kindFromName(kindName(k)), k) << kindName(k);
    EXPECT_STREQ(kindName(CorrelationKind::HYPE), "HYPE");
    EXPECT_STREQ(kindName(3), "CONS") << "the history stores the number";
}

TEST(KindNames, NamesAreReadInAnyCaseAndOtherWordsAreNoKind) {
    EXPECT_EQ(kindFromName("coin"), CorrelationKind::COIN);
    EXPECT_EQ(kindFromName(" Cons\t"), CorrelationKind::CONS) << "blanks around a typed word do not count";
    EXPECT_FALSE(kindFromName("CO GE"));
    EXPECT_FALSE(kindFromName("COGES"));
    EXPECT_FALSE(kindFromName(""));
    EXPECT_STREQ(kindName(4), "") << "a history row of an unknown kind";
    EXPECT_STREQ(kindName(-1), "");
}

}  // namespace
