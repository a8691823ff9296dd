#include "UIKit/UIGestureVelocity.h"

#include <cmath>

void UIGestureVelocity::addSample(double timestamp, CGPoint value)
{
    if (!std::isfinite(timestamp))
        return;
    // A source whose clock went back starts afresh.
    if (!m_samples.empty() && timestamp < m_samples.back().timestamp)
        m_samples.clear();
    m_samples.push_back({ timestamp, value });
    while (m_samples.front().timestamp < timestamp - window)
        m_samples.pop_front();
}

CGPoint UIGestureVelocity::perSecond(double now) const
{
    const Sample* first = nullptr;
    for (auto& sample : m_samples) {
        if (sample.timestamp >= now - window) {
            first = &sample;
            break;
        }
    }
    if (!first)
        return CGPointZero;
    const Sample& last = m_samples.back();
    double elapsed = last.timestamp - first->timestamp;
    // Frames of one instant (a script's, where time stands still) say nothing of speed.
    if (!(elapsed > 0))
        return CGPointZero;
    return CGPointMake(static_cast<CGFloat>((last.value.x - first->value.x) / elapsed),
        static_cast<CGFloat>((last.value.y - first->value.y) / elapsed));
}
