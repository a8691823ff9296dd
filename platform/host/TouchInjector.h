#pragma once

#include "UIKit/UIApplication.h"

#include <array>
#include <functional>
#include <vector>

// An event source of fingers, as a screen is: it reports touch frames (each
// finger with an id of its own, several at a time) to the application and runs
// the main run loop until the application has handled them, so each frame is one
// turn and ends in a commit. Points are in screen points. The one-finger calls
// drive finger 1; the two-finger gestures fingers 1 and 2, which come down in one
// frame, move together for the given number of steps and lift in one frame.
class TouchInjector {
public:
    void sendFrame(std::vector<UIFingerSample>);

    // Answers whether a window took the touch.
    bool touchDown(CGPoint);
    void touchMove(CGPoint);
    void touchUp(CGPoint);
    // Cancels every finger this source has down.
    void touchCancel();
    // Down and up at one point.
    void tap(CGPoint);
    // Down at from, steps moves along the straight line (none for 0), up at to.
    void drag(CGPoint from, CGPoint to, int steps);

    // Mirrored about centre on a horizontal line, their distance going from one to the other.
    void pinch(CGPoint centre, CGFloat fromDistance, CGFloat toDistance, int steps);
    // rotationSpan points apart, starting on a horizontal line through centre and turning
    // about it, clockwise on the screen for positive degrees.
    void rotate(CGPoint centre, CGFloat degrees, int steps);
    // twoFingerSpan points apart side by side, their midpoint going from one point to the other.
    void twoFingerDrag(CGPoint from, CGPoint to, int steps);

    // The same gestures as frames, for sources that queue frames of their own (a script).
    using Frames = std::vector<std::vector<UIFingerSample>>;
    [[nodiscard]] static Frames dragFrames(CGPoint from, CGPoint to, int steps);
    [[nodiscard]] static Frames pinchFrames(CGPoint centre, CGFloat fromDistance, CGFloat toDistance, int steps);
    [[nodiscard]] static Frames rotationFrames(CGPoint centre, CGFloat degrees, int steps);
    [[nodiscard]] static Frames twoFingerDragFrames(CGPoint from, CGPoint to, int steps);

    [[nodiscard]] bool isTouching() const { return !m_down.empty(); }

    static constexpr int firstFinger = 1;
    static constexpr int secondFinger = 2;
    static constexpr CGFloat rotationSpan = 100;
    static constexpr CGFloat twoFingerSpan = 40;

private:
    struct FingerDown {
        int finger;
        CGPoint location;
    };
    // Fingers 1 and 2 where positions puts them at t from 0 (down) to 1 (up), in steps moves.
    [[nodiscard]] static Frames twoFingerFrames(int steps, const std::function<std::array<CGPoint, 2>(CGFloat t)>& positions);
    void sendFrames(const Frames&);

    std::vector<FingerDown> m_down;  // fingers this source has down, where they were last
    double m_time = 0;
};
