#pragma once

#include "UIKit/UIApplication.h"

#include <vector>

// An event source of fingers, as a screen is: it reports touch frames (each
// finger with an id of its own, several at a time) to the application and runs
// the main run loop until the application has handled them, so each frame is one
// turn and ends in a commit. Points are in screen points. The one-finger calls
// drive finger 1.
class TouchInjector {
public:
    void sendFrame(std::vector<UIFingerSample>);

    // Answers whether a window took the touch.
    bool touchDown(CGPoint);
    void touchMove(CGPoint);
    void touchUp(CGPoint);
    void touchCancel();
    // Down and up at one point.
    void tap(CGPoint);
    // Down at from, steps moves along the straight line, up at to.
    void drag(CGPoint from, CGPoint to, int steps);

    [[nodiscard]] bool isTouching() const { return !m_down.empty(); }

    static constexpr int firstFinger = 1;

private:
    std::vector<int> m_down;  // fingers this source has down
    CGPoint m_lastPoint {};
    double m_time = 0;
};
