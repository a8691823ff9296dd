#include "UIKit/UITabBar.h"

#include "UIKit/UIKitLook.h"

#include <algorithm>

void UITabBar::didAllocate()
{
    super::didAllocate();
    UIColorRef color = UIKitLook::defaultBarColor();
    setBackgroundColor(UIColor::colorWithCGColor(CGColorCreateCopyWithAlpha(color->CGColor(), UIKitLook::tabBarOpacity)));
    m_hairline = UIView::initWithFrame(CGRectZero);
    m_hairline->setUserInteractionEnabled(false);
    m_hairline->setBackgroundColor(UIKitLook::hairlineColor());
    addSubview(m_hairline);
}

void UITabBar::setItems(std::vector<UITabBarItemRef> items)
{
    for (auto& button : m_buttons)
        button->removeFromSuperview();
    m_buttons.clear();
    m_items = std::move(items);
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    for (auto& item : m_items) {
        item->setShownIn(self);
        auto button = UITabBarButton::initWithItem(item);
        button->setTintColor(m_tintColor);
        button->addTarget(std::static_pointer_cast<UITabBar>(self), &UITabBar::buttonTapped, UIControlEventTouchUpInside);
        addSubview(button);
        m_buttons.push_back(button);
    }
    if (std::find(m_items.begin(), m_items.end(), m_selectedItem) == m_items.end())
        m_selectedItem = nullptr;
    setSelectedItem(m_selectedItem);
    setNeedsLayout();
}

void UITabBar::setSelectedItem(const UITabBarItemRef& item)
{
    m_selectedItem = item;
    for (auto& button : m_buttons)
        button->setSelected(button->item() == item);
}

void UITabBar::setTintColor(UIColorRef color)
{
    m_tintColor = std::move(color);
    for (auto& button : m_buttons)
        button->setTintColor(m_tintColor);
}

void UITabBar::layoutSubviews()
{
    CGRect bounds = this->bounds();
    m_hairline->setFrame(CGRectMake(0, -UIKitLook::hairlineWidth, bounds.size.width, UIKitLook::hairlineWidth));
    if (m_buttons.empty())
        return;
    CGFloat width = bounds.size.width / static_cast<CGFloat>(m_buttons.size());
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i]->setFrame(CGRectMake(width * static_cast<CGFloat>(i), 0, width, bounds.size.height));
        m_buttons[i]->setNeedsDisplay();
    }
}

void UITabBar::buttonTapped(const std::shared_ptr<UIControl>& sender)
{
    auto button = std::dynamic_pointer_cast<UITabBarButton>(sender);
    if (!button || !button->item()->isEnabled())
        return;
    setSelectedItem(button->item());
    if (auto delegate = m_delegate.lock())
        delegate->tabBarDidSelectItem(*this, button->item());
}
