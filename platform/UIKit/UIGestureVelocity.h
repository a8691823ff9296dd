#pragma once

#include "CoreGraphics/CGGeometry.h"

#include <deque>

// How fast a gesture's value is changing, per second: the change over the samples of the
// last tenth of a second, so that one uneven frame does not swing it and a finger that
// paused before lifting reads as still. A value is a pair of numbers (a point, or a
// number in x); samples come with the event's timestamp.
class UIGestureVelocity {
public:
    void addSample(double timestamp, CGPoint value);
    [[nodiscard]] CGPoint perSecond(double now) const;
    void clear() { m_samples.clear(); }

    static constexpr double window = 0.1;

private:
    struct Sample {
        double timestamp;
        CGPoint value;
    };
    std::deque<Sample> m_samples;
};
