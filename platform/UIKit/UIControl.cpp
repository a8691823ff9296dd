#include "UIKit/UIControl.h"

#include <algorithm>

namespace {

constexpr CGFloat trackingMargin = 70;

}

unsigned UIControl::state() const
{
    unsigned state = UIControlStateNormal;
    if (m_highlighted)
        state |= UIControlStateHighlighted;
    if (!m_enabled)
        state |= UIControlStateDisabled;
    if (m_selected)
        state |= UIControlStateSelected;
    return state;
}

void UIControl::removeTarget(const void* target, unsigned events)
{
    for (auto& entry : m_targets) {
        if (!target || entry.target == target)
            entry.events &= ~events;
    }
    std::erase_if(m_targets, [](const TargetAction& entry) { return entry.events == 0; });
}

size_t UIControl::numberOfTargetActions(unsigned events) const
{
    return static_cast<size_t>(std::count_if(m_targets.begin(), m_targets.end(), [events](auto& entry) { return entry.events & events; }));
}

void UIControl::sendActionsForControlEvents(unsigned events)
{
    // A handler may remove the control or change the registrations: keep both alive for the round.
    auto protectedThis = std::static_pointer_cast<UIControl>(shared_from_this());
    auto targets = m_targets;
    for (auto& entry : targets) {
        if (entry.events & events)
            entry.action(protectedThis);
    }
}

bool UIControl::isInsideTrackingArea(const UITouch& touch) const
{
    return CGRectContainsPoint(CGRectInset(bounds(), -trackingMargin, -trackingMargin), touch.locationInView(this));
}

UITouchRef UIControl::trackedTouchIn(const UITouchSet& touches) const
{
    auto tracked = m_trackedTouch.lock();
    if (!tracked)
        return nullptr;
    return std::find(touches.begin(), touches.end(), tracked) != touches.end() ? tracked : nullptr;
}

void UIControl::touchesBegan(const UITouchSet& touches, const UIEvent& event)
{
    // One finger at a time: the one that came down first.
    if (touches.empty() || !m_enabled || m_trackedTouch.lock())
        return;
    const UITouch& touch = *touches.front();
    m_trackedTouch = touches.front();
    m_touchInside = true;
    m_tracking = beginTrackingWithTouch(touch, event);
    setHighlighted(true);
    unsigned events = UIControlEventTouchDown;
    if (touch.tapCount() > 1)
        events |= UIControlEventTouchDownRepeat;
    sendActionsForControlEvents(events);
}

void UIControl::touchesMoved(const UITouchSet& touches, const UIEvent& event)
{
    auto tracked = trackedTouchIn(touches);
    if (!tracked || !m_enabled)
        return;
    const UITouch& touch = *tracked;
    bool wasInside = m_touchInside;
    m_touchInside = isInsideTrackingArea(touch);
    setHighlighted(m_touchInside);
    if (m_tracking)
        m_tracking = continueTrackingWithTouch(touch, event);
    unsigned events = m_touchInside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside;
    if (wasInside != m_touchInside)
        events |= m_touchInside ? UIControlEventTouchDragEnter : UIControlEventTouchDragExit;
    sendActionsForControlEvents(events);
}

void UIControl::touchesEnded(const UITouchSet& touches, const UIEvent& event)
{
    auto tracked = trackedTouchIn(touches);
    if (!tracked)
        return;
    m_trackedTouch.reset();
    if (!m_enabled)
        return;
    const UITouch& touch = *tracked;
    m_touchInside = isInsideTrackingArea(touch);
    if (m_tracking)
        endTrackingWithTouch(&touch, &event);
    m_tracking = false;
    setHighlighted(false);
    sendActionsForControlEvents(m_touchInside ? UIControlEventTouchUpInside : UIControlEventTouchUpOutside);
    m_touchInside = false;
}

void UIControl::touchesCancelled(const UITouchSet& touches, const UIEvent& event)
{
    if (!trackedTouchIn(touches))
        return;
    m_trackedTouch.reset();
    if (m_tracking)
        cancelTrackingWithEvent(&event);
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    sendActionsForControlEvents(UIControlEventTouchCancel);
}
