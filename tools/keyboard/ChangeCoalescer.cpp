#include "ChangeCoalescer.h"

#include <algorithm>

void ChangeCoalescer::noteChange(Clock::time_point when)
{
    if (!m_first)
        m_first = when;
    m_last = std::max(m_last, when);
}

std::optional<ChangeCoalescer::Clock::time_point> ChangeCoalescer::dueTime() const
{
    if (!m_first)
        return std::nullopt;
    return std::min(m_last + m_quiet, *m_first + m_longest);
}

bool ChangeCoalescer::isDue(Clock::time_point now) const
{
    auto due = dueTime();
    return due && now >= *due;
}

void ChangeCoalescer::startRebuild()
{
    m_first.reset();
    m_last = {};
}
