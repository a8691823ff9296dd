#include "UIKit/UIEvent.h"

#include "UIKit/UIWindow.h"

UITouchSet UIEvent::touchesForView(const UIView* view) const
{
    UITouchSet touches;
    for (auto& touch : m_touches) {
        if (touch->view().get() == view)
            touches.push_back(touch);
    }
    return touches;
}

UITouchSet UIEvent::touchesForWindow(const UIWindow* window) const
{
    UITouchSet touches;
    for (auto& touch : m_touches) {
        if (touch->window().get() == window)
            touches.push_back(touch);
    }
    return touches;
}
