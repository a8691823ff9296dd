#pragma once

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIGestureVelocity.h"

class UIRotationGestureRecognizer;
using UIRotationGestureRecognizerRef = std::shared_ptr<UIRotationGestureRecognizer>;

// A continuous gesture of two fingers turning about each other. It begins once the line
// through them has turned rotationThreshold radians since the second came down; the
// rotation is then the turn since Began, in radians, clockwise on the screen positive (as
// a view's rotation transform turns), and keeps adding up past half a turn. It ends when
// either finger lifts. Further fingers are ignored.
class UIRotationGestureRecognizer : public UIGestureRecognizer {
    OBJC_CLASS(UIRotationGestureRecognizer, UIGestureRecognizer)

    [[nodiscard]] CGFloat rotation() const { return m_rotation; }
    // Later turns add to the rotation set (a handler that applies the rotation sets it back to 0).
    void setRotation(CGFloat);
    // Radians per second.
    [[nodiscard]] CGFloat velocity() const;

    void touchesBegan(const UITouchSet&, const UIEvent&) override;
    void touchesMoved(const UITouchSet&, const UIEvent&) override;
    void touchesEnded(const UITouchSet&, const UIEvent&) override;
    void touchesCancelled(const UITouchSet&, const UIEvent&) override;
    void reset() override;

    static constexpr CGFloat rotationThreshold = 0.07;  // about 4 degrees

private:
    // The turn since the last reading, in (-pi, pi]: fingers sampled a frame apart never
    // turn half a turn, so the shorter way round is the way they went.
    [[nodiscard]] double turnSinceLastAngle();

    CGFloat m_rotation = 0;
    double m_lastAngle = 0;
    double m_turnBeforeBegan = 0;
    double m_turnSinceBegan = 0;
    UIGestureVelocity m_velocity;
};
