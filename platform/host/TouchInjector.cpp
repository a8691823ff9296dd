#include "host/TouchInjector.h"

namespace {

// Injected touches are a sixtieth of a second apart, like a finger sampled by the screen.
constexpr double touchInterval = 1.0 / 60;

}

TouchInjector::TouchInjector(UIViewRef root)
    : m_root(std::move(root))
{
}

UIViewRef TouchInjector::touchDown(CGPoint point)
{
    if (m_touch)
        touchCancel();
    if (!m_root)
        return nullptr;
    auto target = m_root->hitTest(point, nullptr);
    if (!target)
        return nullptr;
    m_time += touchInterval;
    m_touch = objc::alloc<UITouch>(target, m_root, point, m_time);
    auto event = objc::alloc<UIEvent>(UITouchSet { m_touch }, m_time);
    target->touchesBegan({ m_touch }, *event);
    return target;
}

void TouchInjector::deliver(UITouchPhase phase, CGPoint point)
{
    if (!m_touch)
        return;
    auto touch = m_touch;
    if (phase == UITouchPhaseEnded || phase == UITouchPhaseCancelled)
        m_touch.reset();
    auto target = touch->view();
    if (!target)
        return;
    m_time += touchInterval;
    touch->moveTo(point, phase, m_time);
    auto event = objc::alloc<UIEvent>(UITouchSet { touch }, m_time);
    switch (phase) {
    case UITouchPhaseMoved: target->touchesMoved({ touch }, *event); break;
    case UITouchPhaseEnded: target->touchesEnded({ touch }, *event); break;
    case UITouchPhaseCancelled: target->touchesCancelled({ touch }, *event); break;
    default: break;
    }
}

void TouchInjector::touchMove(CGPoint point)
{
    deliver(UITouchPhaseMoved, point);
}

void TouchInjector::touchUp(CGPoint point)
{
    deliver(UITouchPhaseEnded, point);
}

void TouchInjector::touchCancel()
{
    if (m_touch)
        deliver(UITouchPhaseCancelled, m_touch->locationInView(nullptr));
}

void TouchInjector::tap(CGPoint point)
{
    if (touchDown(point))
        touchUp(point);
}

void TouchInjector::drag(CGPoint from, CGPoint to, int steps)
{
    if (!touchDown(from))
        return;
    for (int step = 1; step <= steps; ++step) {
        CGFloat t = static_cast<CGFloat>(step) / static_cast<CGFloat>(steps);
        touchMove(CGPointMake(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t));
    }
    touchUp(to);
}
