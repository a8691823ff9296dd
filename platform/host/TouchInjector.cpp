#include "host/TouchInjector.h"

#include "Foundation/NSRunLoop.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Injected touches are a sixtieth of a second apart, like a finger sampled by the screen.
constexpr double touchInterval = 1.0 / 60;

CGPoint between(CGPoint from, CGPoint to, CGFloat t)
{
    return CGPointMake(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t);
}

}

void TouchInjector::sendFrame(std::vector<UIFingerSample> fingers)
{
    if (fingers.empty())
        return;
    for (const auto& sample : fingers) {
        auto down = std::find_if(m_down.begin(), m_down.end(), [&](auto& entry) { return entry.finger == sample.finger; });
        if (sample.phase == UITouchPhaseEnded || sample.phase == UITouchPhaseCancelled) {
            if (down != m_down.end())
                m_down.erase(down);
        } else if (down != m_down.end()) {
            down->location = sample.location;
        } else if (sample.phase == UITouchPhaseBegan) {
            m_down.push_back({ sample.finger, sample.location });
        }
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
    sendFrame({ { firstFinger, UITouchPhaseBegan, point } });
    bool taken = application->activeTouchCount() > before;
    if (!taken)
        m_down.clear();
    return taken;
}

void TouchInjector::touchMove(CGPoint point)
{
    if (isTouching())
        sendFrame({ { firstFinger, UITouchPhaseMoved, point } });
}

void TouchInjector::touchUp(CGPoint point)
{
    if (isTouching())
        sendFrame({ { firstFinger, UITouchPhaseEnded, point } });
}

void TouchInjector::touchCancel()
{
    std::vector<UIFingerSample> cancelled;
    for (auto& down : m_down)
        cancelled.push_back({ down.finger, UITouchPhaseCancelled, down.location });
    sendFrame(std::move(cancelled));
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
    auto frames = dragFrames(from, to, steps);
    for (size_t frame = 1; frame < frames.size(); ++frame)
        sendFrame(frames[frame]);
}

TouchInjector::Frames TouchInjector::dragFrames(CGPoint from, CGPoint to, int steps)
{
    Frames frames { { { firstFinger, UITouchPhaseBegan, from } } };
    for (int step = 1; step <= steps; ++step)
        frames.push_back({ { firstFinger, UITouchPhaseMoved, between(from, to, static_cast<CGFloat>(step) / static_cast<CGFloat>(steps)) } });
    frames.push_back({ { firstFinger, UITouchPhaseEnded, to } });
    return frames;
}

TouchInjector::Frames TouchInjector::twoFingerFrames(int steps, const std::function<std::array<CGPoint, 2>(CGFloat t)>& positions)
{
    steps = std::max(steps, 1);
    Frames frames;
    auto frameAt = [&](CGFloat t, UITouchPhase phase) {
        auto [first, second] = positions(t);
        frames.push_back({ { firstFinger, phase, first }, { secondFinger, phase, second } });
    };
    frameAt(0, UITouchPhaseBegan);
    for (int step = 1; step <= steps; ++step)
        frameAt(static_cast<CGFloat>(step) / static_cast<CGFloat>(steps), UITouchPhaseMoved);
    frameAt(1, UITouchPhaseEnded);
    return frames;
}

TouchInjector::Frames TouchInjector::pinchFrames(CGPoint centre, CGFloat fromDistance, CGFloat toDistance, int steps)
{
    return twoFingerFrames(steps, [=](CGFloat t) {
        CGFloat half = (fromDistance + (toDistance - fromDistance) * t) / 2;
        return std::array { CGPointMake(centre.x - half, centre.y), CGPointMake(centre.x + half, centre.y) };
    });
}

TouchInjector::Frames TouchInjector::rotationFrames(CGPoint centre, CGFloat degrees, int steps)
{
    return twoFingerFrames(steps, [=](CGFloat t) {
        // With y growing downwards a growing angle turns clockwise on the screen.
        double angle = static_cast<double>(degrees) * t * std::numbers::pi / 180;
        auto dx = static_cast<CGFloat>(std::cos(angle) * rotationSpan / 2);
        auto dy = static_cast<CGFloat>(std::sin(angle) * rotationSpan / 2);
        return std::array { CGPointMake(centre.x - dx, centre.y - dy), CGPointMake(centre.x + dx, centre.y + dy) };
    });
}

TouchInjector::Frames TouchInjector::twoFingerDragFrames(CGPoint from, CGPoint to, int steps)
{
    return twoFingerFrames(steps, [=](CGFloat t) {
        CGPoint middle = between(from, to, t);
        return std::array { CGPointMake(middle.x - twoFingerSpan / 2, middle.y), CGPointMake(middle.x + twoFingerSpan / 2, middle.y) };
    });
}

void TouchInjector::sendFrames(const Frames& frames)
{
    if (isTouching())
        touchCancel();
    for (auto& frame : frames)
        sendFrame(frame);
}

void TouchInjector::pinch(CGPoint centre, CGFloat fromDistance, CGFloat toDistance, int steps)
{
    sendFrames(pinchFrames(centre, fromDistance, toDistance, steps));
}

void TouchInjector::rotate(CGPoint centre, CGFloat degrees, int steps)
{
    sendFrames(rotationFrames(centre, degrees, steps));
}

void TouchInjector::twoFingerDrag(CGPoint from, CGPoint to, int steps)
{
    sendFrames(twoFingerDragFrames(from, to, steps));
}
