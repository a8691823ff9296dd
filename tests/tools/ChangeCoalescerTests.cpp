#include "ChangeCoalescer.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = ChangeCoalescer::Clock;

TEST(ChangeCoalescer, BuildsABurstOnceWhenQuietButNoLaterThanTheBound)
{
    struct Case {
        const char* name;
        std::vector<int> changes;  // milliseconds from the start
        std::optional<int> due;    // milliseconds from the start
    };
    const Case cases[] = {
        { "nothing changed", {}, std::nullopt },
        { "one change waits for the quiet", { 0 }, 25 },
        { "changes close together wait for the last", { 0, 10, 20 }, 45 },
        { "a burst that never pauses is bounded", { 0, 20, 40, 60, 70 }, 80 },
        { "the bound counts from the first change", { 5, 50, 79 }, 85 },
        { "a late change in time order", { 0, 30, 10 }, 55 },
    };
    const auto start = Clock::now();
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        ChangeCoalescer coalescer(25ms, 80ms);
        for (int change : entry.changes)
            coalescer.noteChange(start + std::chrono::milliseconds(change));
        auto due = coalescer.dueTime();
        ASSERT_EQ(due.has_value(), entry.due.has_value());
        if (!due)
            continue;
        EXPECT_EQ(*due - start, std::chrono::milliseconds(*entry.due));
        EXPECT_FALSE(coalescer.isDue(*due - 1ms));
        EXPECT_TRUE(coalescer.isDue(*due));
    }
}

TEST(ChangeCoalescer, ChangesDuringARebuildMakeTheNextBurst)
{
    const auto start = Clock::now();
    ChangeCoalescer coalescer(25ms, 80ms);
    coalescer.noteChange(start);
    coalescer.startRebuild();
    EXPECT_FALSE(coalescer.dueTime());
    // Changes while the rebuild ran: one more rebuild, due as soon as it ends.
    coalescer.noteChange(start + 100ms);
    coalescer.noteChange(start + 110ms);
    EXPECT_EQ(*coalescer.dueTime() - start, 135ms);
    EXPECT_TRUE(coalescer.isDue(start + 500ms));
}

}
