#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "db/Trace.h"
#include "editor/ErrorTrap.h"

using editor::ErrorTrap;

namespace {
struct ScriptedReporter {
    std::vector<int> answers;
    std::vector<std::string> asked;
    editor::ErrorReporter fn() {
        return [this](const editor::TrappedError& e) {
            asked.push_back(e.procedure + ": " + e.description);
            int a = answers.empty() ? editor::kAnswerAbort : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return a;
        };
    }
};
}  // namespace

TEST(ErrorTrap, RetryRunsTheFailingStatementAgainIgnoreGoesOnAbortLeaves) {
    ScriptedReporter rep;
    rep.answers = {editor::kAnswerRetry, editor::kAnswerIgnore, editor::kAnswerAbort};
    ErrorTrap trap{"CreaTabella", rep.fn()};
    std::vector<std::string> done;
    int attempts = 0;
    bool completed = trap.procedure([&] {
        trap([&] {
            if (++attempts < 2) throw std::runtime_error("busy");
            done.push_back("first");
        });
        trap([&] { throw std::runtime_error("skipped"); });
        done.push_back("after ignore");
        trap([&] { throw std::runtime_error("fatal"); });
        done.push_back("never");
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(done, (std::vector<std::string>{"first", "after ignore"}));
    EXPECT_EQ(rep.asked, (std::vector<std::string>{"CreaTabella: busy", "CreaTabella: skipped", "CreaTabella: fatal"}));
}

TEST(ErrorTrap, SuppressedTrapSwallowsEveryErrorIntoTheTraceAndAReporterThatThrowsAborts) {
    std::vector<db::SwallowedError> swallowed;
    int statements = 0;
    const long token = db::addGlobalSink(db::makeSink([&](const db::TraceEvent&) { ++statements; },
                                                      [&](const db::SwallowedError& e) { swallowed.push_back(e); }));
    ErrorTrap quiet{"AggiornaNavigatore", editor::suppressErrors()};
    int steps = 0;
    EXPECT_TRUE(quiet.procedure([&] {
        EXPECT_FALSE(quiet([&] { throw std::logic_error("x"); }));
        ++steps;
    }));
    db::removeGlobalSink(token);
    EXPECT_EQ(steps, 1);
    EXPECT_TRUE(quiet.errorsSeen());
    // The user is not told, the trace is: procedure and text, and no statement.
    ASSERT_EQ(swallowed.size(), 1u);
    EXPECT_EQ(swallowed[0].procedure, "AggiornaNavigatore");
    EXPECT_EQ(swallowed[0].description, "x");
    EXPECT_EQ(statements, 0);

    ErrorTrap broken{"P", [](const editor::TrappedError&) -> int { throw std::runtime_error("no log"); }};
    EXPECT_FALSE(broken.procedure([&] { broken([] { throw std::runtime_error("e"); }); }));
}
