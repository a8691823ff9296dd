#include "UIKit/UIRotationGestureRecognizer.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace {

// Fingers closer than this have no direction worth reading.
constexpr double nearestDistance = 1;

// The direction from the first finger to the second in window coordinates, where y
// grows downwards, so a growing angle turns clockwise on the screen.
std::optional<double> angleBetween(CGPoint first, CGPoint second)
{
    double dx = static_cast<double>(second.x) - first.x;
    double dy = static_cast<double>(second.y) - first.y;
    if (std::hypot(dx, dy) < nearestDistance)
        return std::nullopt;
    return std::atan2(dy, dx);
}

}

void UIRotationGestureRecognizer::setRotation(CGFloat rotation)
{
    if (std::isfinite(rotation))
        m_rotation = rotation;
}

CGFloat UIRotationGestureRecognizer::velocity() const
{
    return m_velocity.perSecond(lastEventTimestamp()).x;
}

double UIRotationGestureRecognizer::turnSinceLastAngle()
{
    if (numberOfTouches() < 2)
        return 0;
    auto angle = angleBetween(locationOfTouch(0, nullptr), locationOfTouch(1, nullptr));
    if (!angle)
        return 0;
    double turn = std::remainder(*angle - m_lastAngle, 2 * std::numbers::pi);
    m_lastAngle = *angle;
    return turn;
}

void UIRotationGestureRecognizer::touchesBegan(const UITouchSet&, const UIEvent&)
{
    ignoreTouchesBeyond(2);
    if (numberOfTouches() != 2 || isRecognizing())
        return;
    m_turnBeforeBegan = 0;
    if (auto angle = angleBetween(locationOfTouch(0, nullptr), locationOfTouch(1, nullptr)))
        m_lastAngle = *angle;
}

void UIRotationGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent&)
{
    if (numberOfTouches() < 2)
        return;
    double turn = turnSinceLastAngle();
    if (isRecognizing()) {
        m_rotation = static_cast<CGFloat>(m_rotation + turn);
        // Measured on a turn of its own, which a handler setting the rotation does not move.
        m_turnSinceBegan += turn;
        m_velocity.addSample(lastEventTimestamp(), CGPointMake(static_cast<CGFloat>(m_turnSinceBegan), 0));
        setState(UIGestureRecognizerStateChanged);
        return;
    }
    m_turnBeforeBegan += turn;
    if (std::fabs(m_turnBeforeBegan) < rotationThreshold)
        return;
    m_rotation = 0;
    m_turnSinceBegan = 0;
    m_velocity.addSample(lastEventTimestamp(), CGPointZero);
    setState(UIGestureRecognizerStateBegan);
}

void UIRotationGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent&)
{
    stopContinuousGesture(touches, UIGestureRecognizerStateEnded);
}

void UIRotationGestureRecognizer::touchesCancelled(const UITouchSet& touches, const UIEvent&)
{
    stopContinuousGesture(touches, UIGestureRecognizerStateCancelled);
}

void UIRotationGestureRecognizer::reset()
{
    super::reset();
    m_rotation = 0;
    m_lastAngle = 0;
    m_turnBeforeBegan = 0;
    m_turnSinceBegan = 0;
    m_velocity.clear();
}
