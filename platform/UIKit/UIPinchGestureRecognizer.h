#pragma once

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIGestureVelocity.h"

class UIPinchGestureRecognizer;
using UIPinchGestureRecognizerRef = std::shared_ptr<UIPinchGestureRecognizer>;

// A continuous gesture of two fingers moving apart or together. It begins once their
// distance has changed by pinchThreshold points since the second came down; the scale is
// then the distance over the distance at that moment (1 at Began), so the content does
// not jump as the gesture is recognised. It ends when either finger lifts. Further
// fingers are ignored.
class UIPinchGestureRecognizer : public UIGestureRecognizer {
    OBJC_CLASS(UIPinchGestureRecognizer, UIGestureRecognizer)

    [[nodiscard]] CGFloat scale() const { return m_scale; }
    // Later changes multiply the scale set (a handler that applies the scale sets it back to 1).
    void setScale(CGFloat);
    // Scale per second.
    [[nodiscard]] CGFloat velocity() const;

    void touchesBegan(const UITouchSet&, const UIEvent&) override;
    void touchesMoved(const UITouchSet&, const UIEvent&) override;
    void touchesEnded(const UITouchSet&, const UIEvent&) override;
    void touchesCancelled(const UITouchSet&, const UIEvent&) override;
    void reset() override;

    static constexpr CGFloat pinchThreshold = 8;

private:
    // The fingers' distance in window points.
    [[nodiscard]] CGFloat distance() const;

    CGFloat m_scale = 1;
    CGFloat m_initialDistance = 0;
    // The distance at which the scale is 1.
    CGFloat m_unitDistance = 0;
    CGFloat m_beganDistance = 0;
    UIGestureVelocity m_velocity;
};
