#pragma once

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIGestureVelocity.h"

#include <cstddef>
#include <limits>

class UIPanGestureRecognizer;
using UIPanGestureRecognizerRef = std::shared_ptr<UIPanGestureRecognizer>;

// A continuous gesture of fingers moving together. It begins once the centroid of a
// number of touches within the range has moved panThreshold points (as the phone's does),
// changes on every move, and ends when the touches lift or fewer than the minimum are
// left. The translation is the centroid's since touch-down; a finger coming or going
// moves the centroid without moving the gesture. Touches beyond the maximum that come
// down while it is under way are ignored.
class UIPanGestureRecognizer : public UIGestureRecognizer {
    OBJC_CLASS(UIPanGestureRecognizer, UIGestureRecognizer)

    [[nodiscard]] size_t minimumNumberOfTouches() const { return m_minimumNumberOfTouches; }
    void setMinimumNumberOfTouches(size_t);
    [[nodiscard]] size_t maximumNumberOfTouches() const { return m_maximumNumberOfTouches; }
    void setMaximumNumberOfTouches(size_t);

    // In the view's coordinates (nullptr: the window's), as a vector: the view's own
    // translation, rotation and scale apply, its place does not.
    [[nodiscard]] CGPoint translationInView(const UIView*) const;
    void setTranslation(CGPoint, const UIView*);
    // Points per second, in the view's coordinates; setting the translation clears it.
    [[nodiscard]] CGPoint velocityInView(const UIView*) const;

    void touchesBegan(const UITouchSet&, const UIEvent&) override;
    void touchesMoved(const UITouchSet&, const UIEvent&) override;
    void touchesEnded(const UITouchSet&, const UIEvent&) override;
    void touchesCancelled(const UITouchSet&, const UIEvent&) override;
    void reset() override;

    static constexpr CGFloat panThreshold = 10;
    static constexpr size_t unlimitedTouches = std::numeric_limits<size_t>::max();

private:
    [[nodiscard]] bool touchCountInRange(size_t) const;
    // The centroid of the touches other than those leaving, in window coordinates.
    [[nodiscard]] CGPoint centroidWithout(const UITouchSet& leaving) const;
    // Window vectors to the view's coordinates and back.
    [[nodiscard]] CGPoint vectorToView(CGPoint, const UIView*) const;
    [[nodiscard]] CGPoint vectorFromView(CGPoint, const UIView*) const;
    void touchesLeaving(const UITouchSet&, UIGestureRecognizerState stoppedState);

    size_t m_minimumNumberOfTouches = 1;
    size_t m_maximumNumberOfTouches = unlimitedTouches;
    CGPoint m_translation {};  // window coordinates
    CGPoint m_lastCentroid {};
    UIGestureVelocity m_velocity;
};
