#pragma once

#include "UIKit/UITouch.h"
#include "UIKit/UIView.h"

#include <memory>

// Drives a view tree with one finger, as the screen does: a touch begins on
// the view the hit test finds under it and stays with that view until it lifts
// or is cancelled, wherever it moves. Points are in the root view's coordinates.
class TouchInjector {
public:
    explicit TouchInjector(UIViewRef root);

    // Answers the view the touch began on, or nullptr when nothing took it.
    UIViewRef touchDown(CGPoint);
    void touchMove(CGPoint);
    void touchUp(CGPoint);
    void touchCancel();
    // Down and up at one point.
    void tap(CGPoint);
    // Down at from, steps moves along the straight line, up at to.
    void drag(CGPoint from, CGPoint to, int steps);

    [[nodiscard]] bool isTouching() const { return m_touch != nullptr; }

private:
    void deliver(UITouchPhase, CGPoint);

    UIViewRef m_root;
    std::shared_ptr<UITouch> m_touch;
    double m_time = 0;
};
