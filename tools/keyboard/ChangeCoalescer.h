#pragma once

#include <chrono>
#include <optional>

// When to rebuild after a burst of changes: once the changes have been quiet for a moment,
// but never later than a bound after the burst's first change, so that a writer that never
// pauses still sees a rebuild now and then. Pure bookkeeping on given times, so that the rule
// is tested without a clock.
class ChangeCoalescer {
public:
    using Clock = std::chrono::steady_clock;

    ChangeCoalescer(Clock::duration quiet, Clock::duration longest)
        : m_quiet(quiet)
        , m_longest(longest)
    {
    }

    void noteChange(Clock::time_point when);
    // When the pending changes are due for a rebuild; nothing while none are pending.
    [[nodiscard]] std::optional<Clock::time_point> dueTime() const;
    [[nodiscard]] bool isDue(Clock::time_point now) const;
    // The rebuild starts: what changes from now on make the next burst.
    void startRebuild();

private:
    Clock::duration m_quiet;
    Clock::duration m_longest;
    std::optional<Clock::time_point> m_first;
    Clock::time_point m_last {};
};
