#include "QuartzCore/CAPropertyAnimation.h"

CAPropertyAnimationRef CAPropertyAnimation::animationWithKeyPath(std::string keyPath)
{
    auto animation = objc::alloc<CAPropertyAnimation>();
    animation->setKeyPath(std::move(keyPath));
    return animation;
}

CAPropertyAnimation::Segment CAPropertyAnimation::segmentAtProgress(double progress, const CAPropertyValue& underlying) const
{
    return { underlying, underlying, progress };
}

CAAnimationRef CAPropertyAnimation::copy() const
{
    auto animation = objc::alloc<CAPropertyAnimation>();
    copyPropertyTo(*animation);
    return animation;
}

void CAPropertyAnimation::copyPropertyTo(CAPropertyAnimation& other) const
{
    copyTimingTo(other);
    other.m_keyPath = m_keyPath;
}
