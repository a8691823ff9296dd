#pragma once

class CAAnimation;

// Told when an animation starts on a layer and when it stops: finished when it
// ran to its end, not finished when it was removed or replaced first.
class CAAnimationDelegate {
public:
    virtual ~CAAnimationDelegate() = default;
    virtual void animationDidStart(CAAnimation&) { }
    virtual void animationDidStop(CAAnimation&, bool /* finished */) { }
};
