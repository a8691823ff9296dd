#pragma once

#include "UIKit/UIEvent.h"
#include "UIKit/UIView.h"

#include <functional>
#include <vector>

enum UIControlState : unsigned {
    UIControlStateNormal = 0,
    UIControlStateHighlighted = 1 << 0,
    UIControlStateDisabled = 1 << 1,
    UIControlStateSelected = 1 << 2,
};

enum UIControlEvents : unsigned {
    UIControlEventTouchDown = 1 << 0,
    UIControlEventTouchDownRepeat = 1 << 1,
    UIControlEventTouchDragInside = 1 << 2,
    UIControlEventTouchDragOutside = 1 << 3,
    UIControlEventTouchDragEnter = 1 << 4,
    UIControlEventTouchDragExit = 1 << 5,
    UIControlEventTouchUpInside = 1 << 6,
    UIControlEventTouchUpOutside = 1 << 7,
    UIControlEventTouchCancel = 1 << 8,
    UIControlEventValueChanged = 1 << 12,
    UIControlEventAllTouchEvents = 0x0FFF,
    UIControlEventAllEvents = 0xFFFFFFFF,
};

// A view that turns touches into control events and sends them to its
// targets. Tracking follows the platform: begin on touch-down, continue on
// each move while begin and continue answer true, end on lift-off, cancel when
// the system takes the touch away. Targets are not owned.
class UIControl : public UIView {
    OBJC_CLASS(UIControl, UIView)

    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled) { m_enabled = enabled; }
    [[nodiscard]] bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected) { m_selected = selected; }
    [[nodiscard]] bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    [[nodiscard]] bool isTracking() const { return m_tracking; }
    [[nodiscard]] bool isTouchInside() const { return m_touchInside; }
    [[nodiscard]] unsigned state() const;

    // The action runs with the control as sender while the target lives.
    template<class Target>
    void addTarget(const std::shared_ptr<Target>& target, void (Target::*action)(const std::shared_ptr<UIControl>& sender), unsigned events)
    {
        std::weak_ptr<Target> weakTarget = target;
        m_targets.push_back({ target.get(), [weakTarget, action](const std::shared_ptr<UIControl>& sender) {
                                 if (auto strongTarget = weakTarget.lock())
                                     ((*strongTarget).*action)(sender);
                             },
            events });
    }
    // An action that takes no sender.
    template<class Target>
    void addTarget(const std::shared_ptr<Target>& target, void (Target::*action)(), unsigned events)
    {
        std::weak_ptr<Target> weakTarget = target;
        m_targets.push_back({ target.get(), [weakTarget, action](const std::shared_ptr<UIControl>&) {
                                 if (auto strongTarget = weakTarget.lock())
                                     ((*strongTarget).*action)();
                             },
            events });
    }
    // Removes every registration of the target for any of the events.
    void removeTarget(const void* target, unsigned events);
    [[nodiscard]] size_t numberOfTargetActions(unsigned events) const;

    void sendActionsForControlEvents(unsigned events);

    virtual bool beginTrackingWithTouch(const UITouch&, const UIEvent&) { return true; }
    virtual bool continueTrackingWithTouch(const UITouch&, const UIEvent&) { return true; }
    virtual void endTrackingWithTouch(const UITouch*, const UIEvent*) { }
    virtual void cancelTrackingWithEvent(const UIEvent*) { }

    void touchesBegan(const UITouchSet&, const UIEvent&) override;
    void touchesMoved(const UITouchSet&, const UIEvent&) override;
    void touchesEnded(const UITouchSet&, const UIEvent&) override;
    void touchesCancelled(const UITouchSet&, const UIEvent&) override;

private:
    struct TargetAction {
        const void* target;
        std::function<void(const std::shared_ptr<UIControl>&)> action;
        unsigned events;
    };
    // A finger counts as inside within this margin around the bounds, as on the platform.
    [[nodiscard]] bool isInsideTrackingArea(const UITouch&) const;
    // The touch the control tracks, if it is among these.
    [[nodiscard]] UITouchRef trackedTouchIn(const UITouchSet&) const;

    std::vector<TargetAction> m_targets;
    std::weak_ptr<UITouch> m_trackedTouch;
    bool m_enabled = true;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_tracking = false;
    bool m_touchInside = false;
};
