#include "UIKit/UIPinchGestureRecognizer.h"

#include <cmath>

namespace {

// Fingers closer than this have no direction or scale worth reading.
constexpr CGFloat nearestDistance = 1;

}

CGFloat UIPinchGestureRecognizer::distance() const
{
    if (numberOfTouches() < 2)
        return 0;
    CGPoint first = locationOfTouch(0, nullptr);
    CGPoint second = locationOfTouch(1, nullptr);
    return std::hypot(second.x - first.x, second.y - first.y);
}

void UIPinchGestureRecognizer::setScale(CGFloat scale)
{
    CGFloat current = distance();
    if (!std::isfinite(scale) || scale <= 0)
        return;
    m_scale = scale;
    if (current >= nearestDistance)
        m_unitDistance = current / scale;
}

CGFloat UIPinchGestureRecognizer::velocity() const
{
    return m_velocity.perSecond(lastEventTimestamp()).x;
}

void UIPinchGestureRecognizer::touchesBegan(const UITouchSet&, const UIEvent&)
{
    ignoreTouchesBeyond(2);
    if (numberOfTouches() == 2 && !isRecognizing())
        m_initialDistance = distance();
}

void UIPinchGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent&)
{
    if (numberOfTouches() < 2)
        return;
    CGFloat current = distance();
    if (isRecognizing()) {
        if (m_unitDistance >= nearestDistance)
            m_scale = current / m_unitDistance;
        // Measured against the distance at Began, which a handler setting the scale does not move.
        m_velocity.addSample(lastEventTimestamp(), CGPointMake(current / m_beganDistance, 0));
        setState(UIGestureRecognizerStateChanged);
        return;
    }
    if (std::fabs(current - m_initialDistance) < pinchThreshold || current < nearestDistance)
        return;
    m_unitDistance = m_beganDistance = current;
    m_scale = 1;
    m_velocity.addSample(lastEventTimestamp(), CGPointMake(1, 0));
    setState(UIGestureRecognizerStateBegan);
}

void UIPinchGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent&)
{
    stopContinuousGesture(touches, UIGestureRecognizerStateEnded);
}

void UIPinchGestureRecognizer::touchesCancelled(const UITouchSet& touches, const UIEvent&)
{
    stopContinuousGesture(touches, UIGestureRecognizerStateCancelled);
}

void UIPinchGestureRecognizer::reset()
{
    super::reset();
    m_scale = 1;
    m_initialDistance = 0;
    m_unitDistance = m_beganDistance = 0;
    m_velocity.clear();
}
