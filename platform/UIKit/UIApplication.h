#pragma once

#include "UIKit/UIEvent.h"
#include "UIKit/UIResponder.h"

#include <deque>
#include <memory>
#include <vector>

class UIWindow;

// One finger's part of a touch frame: which finger (ids are the event source's own),
// what it did and where, in screen points.
struct UIFingerSample {
    int finger = 0;
    UITouchPhase phase = UITouchPhaseBegan;
    CGPoint location {};
};

// What an event source (a window's mouse, a script, a test) reports at one moment.
struct UITouchFrame {
    std::vector<UIFingerSample> fingers;
    double timestamp = 0;
};

// The application: its windows, and the one event path. Event sources queue touch
// frames; the main run loop hands them over one per turn, so each frame ends in a
// commit. A finger coming down becomes a UITouch bound to the topmost visible
// window whose hit test finds a view (windows are ordered by level, then by when
// they were made visible); the application keeps one touch event whose set holds
// every finger down, and sends it to the windows of its touches.
class UIApplication : public UIResponder {
    OBJC_CLASS(UIApplication, UIResponder)
    [[nodiscard]] static const std::shared_ptr<UIApplication>& sharedApplication();

    // Visible windows, back to front.
    [[nodiscard]] std::vector<std::shared_ptr<UIWindow>> windows() const;
    [[nodiscard]] std::shared_ptr<UIWindow> keyWindow() const { return m_keyWindow.lock(); }

    virtual void sendEvent(const UIEvent&);

    // Event sources: the frame is handled in a coming turn of the main run loop.
    void enqueueTouchFrame(UITouchFrame);
    [[nodiscard]] bool hasPendingFrames() const { return !m_pendingFrames.empty(); }
    // Fingers on the screen now.
    [[nodiscard]] size_t activeTouchCount() const { return m_activeTouches.size(); }

    // For windows.
    void windowWasMade(const std::shared_ptr<UIWindow>&);
    void windowBecameVisible(const std::shared_ptr<UIWindow>&);
    void setKeyWindow(const std::shared_ptr<UIWindow>&);

protected:
    void didAllocate() override;

private:
    struct ActiveTouch {
        int finger;
        UITouchRef touch;
    };

    void handleTouchFrame(const UITouchFrame&);
    void beginTouch(const UIFingerSample&, double timestamp);
    [[nodiscard]] std::shared_ptr<UIWindow> windowAtScreenPoint(CGPoint) const;

    std::vector<std::weak_ptr<UIWindow>> m_windows;  // in the order they became visible
    std::weak_ptr<UIWindow> m_keyWindow;
    std::vector<ActiveTouch> m_activeTouches;
    std::deque<UITouchFrame> m_pendingFrames;
    UIEventRef m_touchEvent;
    int m_eventSource = 0;
    int m_commitObserver = 0;
};
