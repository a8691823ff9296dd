#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "objc/NSObject.h"

#include <memory>
#include <vector>

class UIView;

enum UITouchPhase : int {
    UITouchPhaseBegan = 0,
    UITouchPhaseMoved = 1,
    UITouchPhaseStationary = 2,
    UITouchPhaseEnded = 3,
    UITouchPhaseCancelled = 4,
};

// One finger on the screen. Its location is kept in the coordinates of the
// root of the view tree it touches (the window's), and converted on request.
class UITouch : public NSObject {
    OBJC_CLASS(UITouch, NSObject)

    UITouch(objc::AllocationKey, std::weak_ptr<UIView> view, std::weak_ptr<UIView> window, CGPoint windowLocation, double timestamp);

    [[nodiscard]] std::shared_ptr<UIView> view() const { return m_view.lock(); }
    [[nodiscard]] UITouchPhase phase() const { return m_phase; }
    [[nodiscard]] double timestamp() const { return m_timestamp; }
    [[nodiscard]] unsigned tapCount() const { return m_tapCount; }
    // nullptr: the window's coordinates.
    [[nodiscard]] CGPoint locationInView(const UIView* view) const;
    [[nodiscard]] CGPoint previousLocationInView(const UIView* view) const;

    // For the event source moving the finger.
    void moveTo(CGPoint windowLocation, UITouchPhase phase, double timestamp);
    void setTapCount(unsigned count) { m_tapCount = count; }

private:
    std::weak_ptr<UIView> m_view;
    std::weak_ptr<UIView> m_window;
    CGPoint m_location;
    CGPoint m_previousLocation;
    UITouchPhase m_phase = UITouchPhaseBegan;
    double m_timestamp;
    unsigned m_tapCount = 1;
};

// The touches of one moment.
class UIEvent : public NSObject {
    OBJC_CLASS(UIEvent, NSObject)
    UIEvent(objc::AllocationKey key, std::vector<std::shared_ptr<UITouch>> touches, double timestamp)
        : NSObject(key)
        , m_touches(std::move(touches))
        , m_timestamp(timestamp)
    {
    }
    [[nodiscard]] const std::vector<std::shared_ptr<UITouch>>& allTouches() const { return m_touches; }
    [[nodiscard]] double timestamp() const { return m_timestamp; }

private:
    std::vector<std::shared_ptr<UITouch>> m_touches;
    double m_timestamp;
};

using UITouchSet = std::vector<std::shared_ptr<UITouch>>;
