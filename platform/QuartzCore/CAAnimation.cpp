#include "QuartzCore/CAAnimation.h"

#include "QuartzCore/CALayer.h"

#include <cmath>

CAAnimationRef CAAnimation::animation()
{
    return objc::alloc<CAAnimation>();
}

void CAAnimation::setDuration(CFTimeInterval duration)
{
    // Negative and non-finite durations mean "the transaction's", as 0 does.
    m_duration = std::isfinite(duration) && duration > 0 ? duration : 0;
}

void CAAnimation::setBeginTime(CFTimeInterval time)
{
    m_beginTime = std::isfinite(time) ? time : 0;
}

std::optional<double> CAAnimation::progressAtTime(CFTimeInterval time) const
{
    if (!(m_duration > 0))
        return std::nullopt;
    double local = (time - m_beginTime) / m_duration;
    if (local < 0) {
        if (m_fillMode != kCAFillModeBackwards && m_fillMode != kCAFillModeBoth)
            return std::nullopt;
        local = 0;
    } else if (local >= 1) {
        if (m_fillMode != kCAFillModeForwards && m_fillMode != kCAFillModeBoth)
            return std::nullopt;
        local = 1;
    }
    return m_timingFunction ? m_timingFunction->solve(local) : local;
}

CAAnimationRef CAAnimation::copy() const
{
    auto animation = objc::alloc<CAAnimation>();
    copyTimingTo(*animation);
    return animation;
}

void CAAnimation::copyTimingTo(CAAnimation& other) const
{
    other.m_duration = m_duration;
    other.m_beginTime = m_beginTime;
    other.m_timingFunction = m_timingFunction;
    other.m_removedOnCompletion = m_removedOnCompletion;
    other.m_fillMode = m_fillMode;
    other.m_delegate = m_delegate;
}

void CAAnimation::runActionForKey(std::string_view key, CALayer& layer)
{
    layer.addAnimation(std::static_pointer_cast<CAAnimation>(shared_from_this()), key);
}
