#include "UIKit/UITouch.h"

#include "UIKit/UIView.h"

UITouch::UITouch(objc::AllocationKey key, std::weak_ptr<UIView> view, std::weak_ptr<UIView> window, CGPoint windowLocation, double timestamp)
    : NSObject(key)
    , m_view(std::move(view))
    , m_window(std::move(window))
    , m_location(windowLocation)
    , m_previousLocation(windowLocation)
    , m_timestamp(timestamp)
{
}

CGPoint UITouch::locationInView(const UIView* view) const
{
    auto window = m_window.lock();
    if (!view || !window)
        return m_location;
    return window->convertPointToView(m_location, view);
}

CGPoint UITouch::previousLocationInView(const UIView* view) const
{
    auto window = m_window.lock();
    if (!view || !window)
        return m_previousLocation;
    return window->convertPointToView(m_previousLocation, view);
}

void UITouch::moveTo(CGPoint windowLocation, UITouchPhase phase, double timestamp)
{
    m_previousLocation = m_location;
    m_location = windowLocation;
    m_phase = phase;
    m_timestamp = timestamp;
}
