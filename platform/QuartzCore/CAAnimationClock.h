#pragma once

#include "QuartzCore/CABase.h"

#include <chrono>
#include <memory>
#include <vector>

class CALayer;

// The time animations run on. Headless runs move it only when told to
// (advance), so what a screenshot shows does not depend on how fast the machine
// is; a window switches it to follow real time. Either way it never goes back.
// Main thread only, like the layers it drives.
class CAAnimationClock {
public:
    static CAAnimationClock& shared();

    [[nodiscard]] CFTimeInterval now() const;
    // Moves the clock on (in either mode) and retires the animations that ended;
    // a negative or non-finite step moves nothing but still retires.
    void advance(CFTimeInterval seconds);
    // What a window does each frame in real time: retire what ended by now.
    void retireFinishedAnimations();

    [[nodiscard]] bool followsRealTime() const { return m_followsRealTime; }
    // The time goes on from where it stands when the mode changes.
    void setFollowsRealTime(bool);

    // Whether an animation still moves at the current time: a frame drawn now would differ from the last.
    [[nodiscard]] bool hasRunningAnimations() const;

    // Layers with animations, so that ended ones can be retired and their delegates told.
    void registerLayer(const std::shared_ptr<CALayer>&);

private:
    CAAnimationClock() = default;
    [[nodiscard]] CFTimeInterval realElapsed() const;

    bool m_followsRealTime = false;
    CFTimeInterval m_manualTime = 0;
    std::chrono::steady_clock::time_point m_realBase {};
    CFTimeInterval m_realOffset = 0;
    std::vector<std::weak_ptr<CALayer>> m_layers;
};

// The platform's media time: the shared clock's now.
[[nodiscard]] CFTimeInterval CACurrentMediaTime();
