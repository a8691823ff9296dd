#pragma once

#include "UIKit/UITouch.h"

class UIView;
class UIWindow;

// The touches of one moment. The application keeps one touch event for all
// frames, as the platform does: its set holds every finger on the screen, each
// in its phase of this frame (a finger that lifted is in it for the frame in
// which it ended).
class UIEvent : public NSObject {
    OBJC_CLASS(UIEvent, NSObject)

    [[nodiscard]] const UITouchSet& allTouches() const { return m_touches; }
    [[nodiscard]] UITouchSet touchesForView(const UIView*) const;
    [[nodiscard]] UITouchSet touchesForWindow(const UIWindow*) const;
    [[nodiscard]] double timestamp() const { return m_timestamp; }

private:
    friend class UIApplication;

    UITouchSet m_touches;
    double m_timestamp = 0;
};

using UIEventRef = std::shared_ptr<UIEvent>;
