#pragma once

#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CAPropertyValue.h"

#include <string>

class CAPropertyAnimation;
using CAPropertyAnimationRef = std::shared_ptr<CAPropertyAnimation>;

// An animation of one property of a layer, named by a key path ("opacity",
// "position.x", "transform.rotation.z"…).
class CAPropertyAnimation : public CAAnimation {
    OBJC_CLASS(CAPropertyAnimation, CAAnimation)
    [[nodiscard]] static CAPropertyAnimationRef animationWithKeyPath(std::string keyPath);


    [[nodiscard]] const std::string& keyPath() const { return m_keyPath; }
    void setKeyPath(std::string keyPath) { m_keyPath = std::move(keyPath); }

    // The two values to mix, and how far, at a paced fraction of the animation;
    // underlying is the property's value beneath this animation. A plain
    // property animation holds the underlying value.
    struct Segment {
        CAPropertyValue from;
        CAPropertyValue to;
        double fraction = 0;
    };
    [[nodiscard]] virtual Segment segmentAtProgress(double progress, const CAPropertyValue& underlying) const;

    [[nodiscard]] CAAnimationRef copy() const override;

protected:
    void copyPropertyTo(CAPropertyAnimation&) const;

private:
    std::string m_keyPath;
};
