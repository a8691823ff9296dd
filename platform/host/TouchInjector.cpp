#include "host/TouchInjector.h"

#include "Foundation/NSRunLoop.h"

#include <algorithm>

namespace {

// Injected touches are a sixtieth of a second apart, like a finger sampled by the screen.
constexpr double touchInterval = 1.0 / 60;

}

void TouchInjector::sendFrame(std::vector<UIFingerSample> fingers)
{
    if (fingers.empty())
        return;
    for (const auto& finger : fingers) {
        bool down = std::find(m_down.begin(), m_down.end(), finger.finger) != m_down.end();
        if (finger.phase == UITouchPhaseBegan && !down)
            m_down.push_back(finger.finger);
        else if (finger.phase == UITouchPhaseEnded || finger.phase == UITouchPhaseCancelled)
            std::erase(m_down, finger.finger);
    }
    m_time += touchInterval;
    auto application = UIApplication::sharedApplication();
    application->enqueueTouchFrame({ std::move(fingers), m_time });
    while (application->hasPendingFrames())
        NSRunLoop::mainRunLoop().runOnce(false);
}

bool TouchInjector::touchDown(CGPoint point)
{
    if (isTouching())
        touchCancel();
    auto application = UIApplication::sharedApplication();
    size_t before = application->activeTouchCount();
    m_lastPoint = point;
    sendFrame({ { firstFinger, UITouchPhaseBegan, point } });
    bool taken = application->activeTouchCount() > before;
    if (!taken)
        std::erase(m_down, firstFinger);
    return taken;
}

void TouchInjector::touchMove(CGPoint point)
{
    if (!isTouching())
        return;
    m_lastPoint = point;
    sendFrame({ { firstFinger, UITouchPhaseMoved, point } });
}

void TouchInjector::touchUp(CGPoint point)
{
    if (!isTouching())
        return;
    m_lastPoint = point;
    sendFrame({ { firstFinger, UITouchPhaseEnded, point } });
}

void TouchInjector::touchCancel()
{
    if (isTouching())
        sendFrame({ { firstFinger, UITouchPhaseCancelled, m_lastPoint } });
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
