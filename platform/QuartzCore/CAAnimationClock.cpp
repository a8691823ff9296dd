#include "QuartzCore/CAAnimationClock.h"

#include "QuartzCore/CALayer.h"

#include <algorithm>
#include <cmath>

CAAnimationClock& CAAnimationClock::shared()
{
    static CAAnimationClock clock;
    return clock;
}

CFTimeInterval CAAnimationClock::realElapsed() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_realBase).count();
}

CFTimeInterval CAAnimationClock::now() const
{
    return m_followsRealTime ? m_realOffset + realElapsed() : m_manualTime;
}

void CAAnimationClock::advance(CFTimeInterval seconds)
{
    if (std::isfinite(seconds) && seconds > 0) {
        if (m_followsRealTime)
            m_realOffset += seconds;
        else
            m_manualTime += seconds;
    }
    retireFinishedAnimations();
}

void CAAnimationClock::setFollowsRealTime(bool follows)
{
    if (follows == m_followsRealTime)
        return;
    CFTimeInterval current = now();
    m_followsRealTime = follows;
    if (follows) {
        m_realBase = std::chrono::steady_clock::now();
        m_realOffset = current;
    } else {
        m_manualTime = current;
    }
}

void CAAnimationClock::registerLayer(const std::shared_ptr<CALayer>& layer)
{
    if (!layer)
        return;
    for (auto& entry : m_layers) {
        if (entry.lock() == layer)
            return;
    }
    m_layers.push_back(layer);
}

void CAAnimationClock::retireFinishedAnimations()
{
    // Delegates told of an ended animation may add animations and so register layers: work on a copy.
    auto layers = m_layers;
    CFTimeInterval time = now();
    for (auto& entry : layers) {
        if (auto layer = entry.lock())
            layer->retireFinishedAnimations(time);
    }
    std::erase_if(m_layers, [](const std::weak_ptr<CALayer>& entry) {
        auto layer = entry.lock();
        // Animations under an empty key count too: they have no name but still end.
        return !layer || layer->m_animations.empty();
    });
}

bool CAAnimationClock::hasRunningAnimations() const
{
    CFTimeInterval time = now();
    for (auto& entry : m_layers) {
        auto layer = entry.lock();
        if (!layer)
            continue;
        for (auto& [key, animation] : layer->m_animations) {
            if (!animation->hasEndedAtTime(time))
                return true;
        }
    }
    return false;
}

CFTimeInterval CACurrentMediaTime()
{
    return CAAnimationClock::shared().now();
}
