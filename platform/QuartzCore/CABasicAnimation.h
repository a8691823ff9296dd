#pragma once

#include "QuartzCore/CAPropertyAnimation.h"

class CABasicAnimation;
using CABasicAnimationRef = std::shared_ptr<CABasicAnimation>;

// From one value to another. A nil end stands for the value beneath the
// animation: an implicit animation leaves toValue nil and so ends on the
// model value, even one changed again while it runs.
class CABasicAnimation : public CAPropertyAnimation {
    OBJC_CLASS(CABasicAnimation, CAPropertyAnimation)
    [[nodiscard]] static CABasicAnimationRef animationWithKeyPath(std::string keyPath);


    [[nodiscard]] const CAPropertyValue& fromValue() const { return m_fromValue; }
    void setFromValue(CAPropertyValue value) { m_fromValue = std::move(value); }
    [[nodiscard]] const CAPropertyValue& toValue() const { return m_toValue; }
    void setToValue(CAPropertyValue value) { m_toValue = std::move(value); }

    [[nodiscard]] Segment segmentAtProgress(double progress, const CAPropertyValue& underlying) const override;
    [[nodiscard]] CAAnimationRef copy() const override;

private:
    CAPropertyValue m_fromValue;
    CAPropertyValue m_toValue;
};
