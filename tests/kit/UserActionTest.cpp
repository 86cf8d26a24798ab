// What a memo of the user's current action remembers: nothing outside an action, everything
// read within one (nested calls included), nothing across two actions, a shown window or a
// modal window's loop.

#include <gtest/gtest.h>

#include "kit/UserAction.h"

namespace {

using kit::ActionMemo;
using kit::UserAction;

TEST(UserAction, MemoLivesForOneActionOnly) {
    ActionMemo<int> memo;
    memo.remember("a", 1);   // no action running: not kept
    EXPECT_FALSE(memo.find("a"));
    {
        UserAction key;
        memo.remember("a", 1);
        EXPECT_EQ(memo.find("a"), 1);
        {
            UserAction focusMoveInsideTheKey;
            EXPECT_EQ(memo.find("a"), 1);
            memo.remember("b", 2);
        }
        EXPECT_EQ(memo.find("b"), 2);
    }
    EXPECT_FALSE(memo.find("a"));
    UserAction next;
    EXPECT_FALSE(memo.find("a"));
    EXPECT_FALSE(memo.find("b"));
}

TEST(UserAction, AWindowShownOrAModalLoopEndsWhatWasRemembered) {
    ActionMemo<std::string> memo;
    UserAction key;
    memo.remember("conto", "Cassa");
    UserAction::interrupt();
    EXPECT_FALSE(memo.find("conto"));

    memo.remember("conto", "Cassa");
    {
        UserAction::ModalLoop loop;
        EXPECT_EQ(UserAction::current(), 0u);
        EXPECT_FALSE(memo.find("conto"));
        UserAction insideTheModalWindow;
        memo.remember("conto", "Cassa e banche");
        EXPECT_EQ(memo.find("conto"), "Cassa e banche");
    }
    // Back in the action that opened the window: what the window's actions read is not reused.
    EXPECT_NE(UserAction::current(), 0u);
    EXPECT_FALSE(memo.find("conto"));
}

}  // namespace
