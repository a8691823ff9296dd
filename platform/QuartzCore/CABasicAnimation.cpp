#include "QuartzCore/CABasicAnimation.h"

CABasicAnimationRef CABasicAnimation::animationWithKeyPath(std::string keyPath)
{
    auto animation = objc::alloc<CABasicAnimation>();
    animation->setKeyPath(std::move(keyPath));
    return animation;
}

CAPropertyAnimation::Segment CABasicAnimation::segmentAtProgress(double progress, const CAPropertyValue& underlying) const
{
    return { m_fromValue.isNil() ? underlying : m_fromValue, m_toValue.isNil() ? underlying : m_toValue, progress };
}

CAAnimationRef CABasicAnimation::copy() const
{
    auto animation = objc::alloc<CABasicAnimation>();
    copyPropertyTo(*animation);
    animation->m_fromValue = m_fromValue;
    animation->m_toValue = m_toValue;
    return animation;
}
