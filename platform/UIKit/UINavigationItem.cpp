#include "UIKit/UINavigationItem.h"

#include "UIKit/UIView.h"

void UINavigationItem::setTitle(std::string title)
{
    m_title = std::move(title);
    itemDidChange();
}

void UINavigationItem::setLeftBarButtonItem(UIBarButtonItemRef item)
{
    m_leftBarButtonItem = std::move(item);
    if (m_leftBarButtonItem)
        m_leftBarButtonItem->setShownIn(m_shownIn);
    itemDidChange();
}

void UINavigationItem::setRightBarButtonItem(UIBarButtonItemRef item)
{
    m_rightBarButtonItem = std::move(item);
    if (m_rightBarButtonItem)
        m_rightBarButtonItem->setShownIn(m_shownIn);
    itemDidChange();
}

void UINavigationItem::setShownIn(std::weak_ptr<UIView> bar)
{
    m_shownIn = std::move(bar);
    for (auto& item : { m_leftBarButtonItem, m_rightBarButtonItem }) {
        if (item)
            item->setShownIn(m_shownIn);
    }
    itemDidChange();
}

void UINavigationItem::itemDidChange()
{
    if (auto bar = m_shownIn.lock()) {
        bar->setNeedsLayout();
        bar->setNeedsDisplay();
    }
}
