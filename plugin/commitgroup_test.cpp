// Tests of CommitGroup: a group is due at its size bound or its age bound, whichever comes first.
#include "plugin/commitgroup.h"

#include <gtest/gtest.h>

namespace vt::plugin {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct BoundCase {
    const char* name;
    int commands;                    // commands added after start
    std::chrono::milliseconds spent; // time passed since start
    bool due;
};

TEST(CommitGroupTest, IsDueAtTheFirstOfItsBounds) {
    const BoundCase cases[] = {
        {"a new group is not due", 0, 0ms, false},
        {"a few quick commands are not due", 10, 50ms, false},
        {"one command short of the size bound is not due", CommitGroup::kMaxCommands - 1, 199ms,
         false},
        {"the size bound makes it due at once", CommitGroup::kMaxCommands, 1ms, true},
        {"the age bound makes a small group due", 3, 200ms, true},
        {"one slow command makes its group due", 1, 1500ms, true},
        {"a first command still under way counts its time", 0, 250ms, true},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        Clock::time_point now{};
        CommitGroup group([&] { return now; });
        group.start(7, 20);
        for (int i = 0; i < c.commands; ++i)
            group.add();
        now += c.spent;
        EXPECT_EQ(group.due(), c.due);
    }
}

TEST(CommitGroupTest, KeepsTheCountsFromBeforeItsFirstCommand) {
    Clock::time_point now{};
    CommitGroup group([&] { return now; });
    EXPECT_FALSE(group.open());
    group.start(4, 9);
    group.add();
    group.add();
    EXPECT_TRUE(group.open());
    EXPECT_EQ(group.firstCommand(), 4);
    EXPECT_EQ(group.remainingBefore(), 9);
    EXPECT_EQ(group.commands(), 2);
    now += 1s;
    group.clear();
    EXPECT_FALSE(group.due()) << "a closed group is never due";
    group.start(6, 7);
    EXPECT_EQ(group.commands(), 0) << "a new group starts empty and young";
    EXPECT_FALSE(group.due());
}

} // namespace
} // namespace vt::plugin
