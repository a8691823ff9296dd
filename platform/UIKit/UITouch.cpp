#include "UIKit/UITouch.h"

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIWindow.h"

CGPoint UITouch::locationInView(const UIView* view) const
{
    auto window = m_window ? m_window : m_lastWindow.lock();
    if (!view || !window)
        return m_location;
    return window->convertPointToView(m_location, view);
}

CGPoint UITouch::previousLocationInView(const UIView* view) const
{
    auto window = m_window ? m_window : m_lastWindow.lock();
    if (!view || !window)
        return m_previousLocation;
    return window->convertPointToView(m_previousLocation, view);
}

void UITouch::moveTo(CGPoint windowLocation, UITouchPhase phase, double timestamp)
{
    if (phase != UITouchPhaseBegan)
        m_previousLocation = m_location;
    else
        m_previousLocation = windowLocation;
    m_location = windowLocation;
    m_phase = phase;
    m_timestamp = timestamp;
}

void UITouch::finish()
{
    m_lastWindow = m_window;
    m_view.reset();
    m_window.reset();
    m_gestureRecognizers.clear();
}
