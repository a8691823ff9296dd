#include "UIKit/UIPanGestureRecognizer.h"

#include "UIKit/UIView.h"

#include <algorithm>
#include <cmath>

namespace {

bool contains(const UITouchSet& touches, const UITouchRef& touch)
{
    return std::find(touches.begin(), touches.end(), touch) != touches.end();
}

}

void UIPanGestureRecognizer::setMinimumNumberOfTouches(size_t count)
{
    m_minimumNumberOfTouches = std::max<size_t>(count, 1);
}

void UIPanGestureRecognizer::setMaximumNumberOfTouches(size_t count)
{
    m_maximumNumberOfTouches = std::max<size_t>(count, 1);
}

bool UIPanGestureRecognizer::touchCountInRange(size_t count) const
{
    return count >= m_minimumNumberOfTouches && count <= m_maximumNumberOfTouches;
}

CGPoint UIPanGestureRecognizer::centroidWithout(const UITouchSet& leaving) const
{
    CGFloat x = 0, y = 0;
    size_t count = 0;
    for (auto& touch : touches()) {
        if (contains(leaving, touch))
            continue;
        CGPoint point = touch->locationInView(nullptr);
        x += point.x;
        y += point.y;
        ++count;
    }
    if (!count)
        return m_lastCentroid;
    return CGPointMake(x / static_cast<CGFloat>(count), y / static_cast<CGFloat>(count));
}

CGPoint UIPanGestureRecognizer::vectorToView(CGPoint vector, const UIView* view) const
{
    if (!view)
        return vector;
    CGPoint tip = view->convertPointFromView(vector, nullptr);
    CGPoint tail = view->convertPointFromView(CGPointZero, nullptr);
    return CGPointMake(tip.x - tail.x, tip.y - tail.y);
}

CGPoint UIPanGestureRecognizer::vectorFromView(CGPoint vector, const UIView* view) const
{
    if (!view)
        return vector;
    CGPoint tip = view->convertPointToView(vector, nullptr);
    CGPoint tail = view->convertPointToView(CGPointZero, nullptr);
    return CGPointMake(tip.x - tail.x, tip.y - tail.y);
}

CGPoint UIPanGestureRecognizer::translationInView(const UIView* view) const
{
    return vectorToView(m_translation, view);
}

void UIPanGestureRecognizer::setTranslation(CGPoint translation, const UIView* view)
{
    if (!std::isfinite(translation.x) || !std::isfinite(translation.y))
        return;
    m_translation = vectorFromView(translation, view);
    m_velocity.clear();
}

CGPoint UIPanGestureRecognizer::velocityInView(const UIView* view) const
{
    return vectorToView(m_velocity.perSecond(lastEventTimestamp()), view);
}

void UIPanGestureRecognizer::touchesBegan(const UITouchSet&, const UIEvent&)
{
    if (isRecognizing())
        ignoreTouchesBeyond(m_maximumNumberOfTouches);
    else if (!touchCountInRange(numberOfTouches()))
        m_translation = CGPointZero;
    m_lastCentroid = centroidWithout({});
}

void UIPanGestureRecognizer::touchesMoved(const UITouchSet&, const UIEvent&)
{
    CGPoint centroid = centroidWithout({});
    CGPoint moved = CGPointMake(centroid.x - m_lastCentroid.x, centroid.y - m_lastCentroid.y);
    m_lastCentroid = centroid;
    if (!touchCountInRange(numberOfTouches())) {
        m_translation = CGPointZero;
        return;
    }
    m_translation = CGPointMake(m_translation.x + moved.x, m_translation.y + moved.y);
    m_velocity.addSample(lastEventTimestamp(), m_translation);
    if (isRecognizing())
        setState(UIGestureRecognizerStateChanged);
    else if (std::hypot(m_translation.x, m_translation.y) >= panThreshold)
        setState(UIGestureRecognizerStateBegan);
}

void UIPanGestureRecognizer::touchesEnded(const UITouchSet& touches, const UIEvent&)
{
    touchesLeaving(touches, UIGestureRecognizerStateEnded);
}

void UIPanGestureRecognizer::touchesCancelled(const UITouchSet& touches, const UIEvent&)
{
    touchesLeaving(touches, UIGestureRecognizerStateCancelled);
}

void UIPanGestureRecognizer::touchesLeaving(const UITouchSet& leaving, UIGestureRecognizerState stoppedState)
{
    auto remaining = static_cast<size_t>(std::count_if(touches().begin(), touches().end(), [&](auto& touch) { return !contains(leaving, touch); }));
    bool goesOn = remaining > 0 && (!isRecognizing() || (stoppedState == UIGestureRecognizerStateEnded && remaining >= m_minimumNumberOfTouches));
    if (!goesOn) {
        stopContinuousGesture(leaving, stoppedState);
        return;
    }
    m_lastCentroid = centroidWithout(leaving);
    if (!isRecognizing() && !touchCountInRange(remaining))
        m_translation = CGPointZero;
}

void UIPanGestureRecognizer::reset()
{
    super::reset();
    m_translation = CGPointZero;
    m_velocity.clear();
}
