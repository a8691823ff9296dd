#pragma once

#include "UIKit/UIApplication.h"

#include <optional>
#include <vector>

// Fingers from a mouse, as phone simulators give them: the pointer is one finger,
// or, for pinches and two-finger pans, the pointer and a second finger mirrored
// about the screen's centre or kept at a fixed distance beside it. Points are
// screen points; fingers stay on the screen however far the pointer goes. Each
// call answers the samples of one touch frame (none when nothing changed).
class MouseFingerSimulator {
public:
    enum class Fingers { One, Mirrored, Together };

    static constexpr int firstFinger = 1;
    static constexpr int secondFinger = 2;
    // How far the second finger of a together pair is from the first, sideways.
    static constexpr CGFloat togetherSpacing = 40;

    explicit MouseFingerSimulator(CGSize screen);

    // A press while pressed is ignored: the pointer has only one set of fingers.
    [[nodiscard]] std::vector<UIFingerSample> press(CGPoint, Fingers);
    [[nodiscard]] std::vector<UIFingerSample> move(CGPoint);
    [[nodiscard]] std::vector<UIFingerSample> release(CGPoint);
    [[nodiscard]] std::vector<UIFingerSample> cancel();

    [[nodiscard]] bool isPressed() const { return m_fingers.has_value(); }
    void setScreenSize(CGSize screen) { m_screen = screen; }

private:
    [[nodiscard]] CGPoint onScreen(CGPoint) const;
    [[nodiscard]] std::vector<UIFingerSample> samples(CGPoint pointer, UITouchPhase) const;

    CGSize m_screen;
    std::optional<Fingers> m_fingers;
    CGFloat m_togetherOffset = togetherSpacing;
    CGPoint m_pointer {};
};
