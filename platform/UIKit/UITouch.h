#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "objc/NSObject.h"

#include <memory>
#include <vector>

class UIView;
class UIWindow;
class UIGestureRecognizer;

enum UITouchPhase : int {
    UITouchPhaseBegan = 0,
    UITouchPhaseMoved = 1,
    UITouchPhaseStationary = 2,
    UITouchPhaseEnded = 3,
    UITouchPhaseCancelled = 4,
};

// One finger on the screen, from the moment it comes down until it lifts or is
// cancelled. It is bound at touch-down to the window and the view under it, and
// keeps both alive until it ends, wherever the finger goes; it also carries the
// gesture recognisers of that view and its ancestors. Its location is kept in
// its window's coordinates. Only the event dispatcher moves it.
class UITouch : public NSObject {
    OBJC_CLASS(UITouch, NSObject)

    [[nodiscard]] std::shared_ptr<UIView> view() const { return m_view; }
    [[nodiscard]] std::shared_ptr<UIWindow> window() const { return m_window; }
    [[nodiscard]] const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const { return m_gestureRecognizers; }
    [[nodiscard]] UITouchPhase phase() const { return m_phase; }
    [[nodiscard]] double timestamp() const { return m_timestamp; }
    [[nodiscard]] unsigned tapCount() const { return m_tapCount; }
    // nullptr: the window's coordinates.
    [[nodiscard]] CGPoint locationInView(const UIView* view) const;
    [[nodiscard]] CGPoint previousLocationInView(const UIView* view) const;

private:
    friend class UIApplication;
    friend class UIWindow;
    friend class UIGestureRecognizer;

    void moveTo(CGPoint windowLocation, UITouchPhase, double timestamp);
    // Lets go of the view, the window and the recognisers once the touch is over.
    void finish();

    std::shared_ptr<UIView> m_view;
    std::shared_ptr<UIWindow> m_window;
    std::vector<std::shared_ptr<UIGestureRecognizer>> m_gestureRecognizers;
    CGPoint m_location {};
    CGPoint m_previousLocation {};
    UITouchPhase m_phase = UITouchPhaseBegan;
    double m_timestamp = 0;
    unsigned m_tapCount = 1;
    // A recogniser took the touch: the view hears nothing more of it.
    bool m_cancelledForView = false;
    // The view has been told the touch began, so it must hear how it ends.
    bool m_viewBegan = false;
    // The window is gone once the touch ends; locations are then in the window's last coordinates.
    std::weak_ptr<UIWindow> m_lastWindow;
};

using UITouchRef = std::shared_ptr<UITouch>;
using UITouchSet = std::vector<UITouchRef>;
