#include "UIKit/UIBarButtonItem.h"

void UIBarButtonItem::setTintColor(UIColorRef color)
{
    m_tintColor = std::move(color);
    itemDidChange();
}

void UIBarButtonItem::sendAction()
{
    if (!isEnabled() || !m_action)
        return;
    // The action may replace the item's action or drop the item: keep both for the call.
    auto protectedThis = std::static_pointer_cast<UIBarButtonItem>(shared_from_this());
    auto action = m_action;
    action();
}
