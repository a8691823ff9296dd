#pragma once

#include "QuartzCore/CAAction.h"
#include "QuartzCore/CAAnimationDelegate.h"
#include "QuartzCore/CABase.h"
#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CATransaction.h"
#include "objc/NSObject.h"

#include <memory>
#include <optional>

enum CAMediaTimingFillMode : int {
    kCAFillModeRemoved = 0,
    kCAFillModeForwards = 1,
    kCAFillModeBackwards = 2,
    kCAFillModeBoth = 3,
};

class CAAnimation;
using CAAnimationRef = std::shared_ptr<CAAnimation>;

// Timing shared by every animation. A layer keeps its own copy of what is added
// to it, with a duration of 0 replaced by the transaction's and a begin time of
// 0 by the clock's time of adding.
class CAAnimation : public NSObject, public CAAction {
    OBJC_CLASS(CAAnimation, NSObject)
    [[nodiscard]] static CAAnimationRef animation();


    [[nodiscard]] CFTimeInterval duration() const { return m_duration; }
    void setDuration(CFTimeInterval);
    [[nodiscard]] CFTimeInterval beginTime() const { return m_beginTime; }
    void setBeginTime(CFTimeInterval);
    // nil paces linearly.
    [[nodiscard]] const CAMediaTimingFunctionRef& timingFunction() const { return m_timingFunction; }
    void setTimingFunction(CAMediaTimingFunctionRef function) { m_timingFunction = std::move(function); }
    [[nodiscard]] bool isRemovedOnCompletion() const { return m_removedOnCompletion; }
    void setRemovedOnCompletion(bool removed) { m_removedOnCompletion = removed; }
    [[nodiscard]] CAMediaTimingFillMode fillMode() const { return m_fillMode; }
    void setFillMode(CAMediaTimingFillMode mode) { m_fillMode = mode; }
    // Unlike other delegates this one is owned, as on the platform: whoever is told of the
    // animation's end lives at least until then. The animation lets go once it has ended.
    [[nodiscard]] const std::shared_ptr<CAAnimationDelegate>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<CAAnimationDelegate> delegate) { m_delegate = std::move(delegate); }

    [[nodiscard]] CFTimeInterval endTime() const { return m_beginTime + m_duration; }
    [[nodiscard]] bool hasEndedAtTime(CFTimeInterval time) const { return time >= endTime(); }
    // The paced fraction 0..1 at a time, or nullopt when the animation shows nothing
    // then (before its begin or after its end, unless its fill mode holds it).
    [[nodiscard]] std::optional<double> progressAtTime(CFTimeInterval) const;

    [[nodiscard]] virtual CAAnimationRef copy() const;
    // The platform's action protocol: an animation runs by adding itself.
    void runActionForKey(std::string_view key, CALayer&) override;

protected:
    void copyTimingTo(CAAnimation&) const;

private:
    friend class CALayer;

    CFTimeInterval m_duration = 0;
    CFTimeInterval m_beginTime = 0;
    CAMediaTimingFunctionRef m_timingFunction;
    bool m_removedOnCompletion = true;
    CAMediaTimingFillMode m_fillMode = kCAFillModeRemoved;
    std::shared_ptr<CAAnimationDelegate> m_delegate;
    // On a layer's copy: its share in the completion blocks of the transactions it was added in.
    std::unique_ptr<CATransactionCompletionClaim> m_completionClaim;
};
