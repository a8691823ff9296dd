#include "UIKit/UITabBarController.h"

#include "UIKit/UIKitLook.h"
#include "UIKit/UIScreen.h"

void UITabBarController::didAllocate()
{
    super::didAllocate();
    m_tabBar = objc::alloc<UITabBar>();
    m_tabBar->setDelegate(std::static_pointer_cast<UITabBarController>(shared_from_this()));
}

void UITabBarController::setViewControllers(std::vector<UIViewControllerRef> controllers)
{
    for (auto& old : std::vector<UIViewControllerRef>(childViewControllers())) {
        if (old->isViewLoaded())
            old->view()->removeFromSuperview();
        removeChildViewController(old);
    }
    std::vector<UITabBarItemRef> items;
    for (auto& controller : controllers) {
        addChildViewController(controller);
        items.push_back(controller->tabBarItem());
    }
    m_tabBar->setItems(std::move(items));
    m_selectedIndex = 0;
    m_tabBar->setSelectedItem(controllers.empty() ? nullptr : m_tabBar->items().front());
    if (isViewLoaded())
        view()->setNeedsLayout();
}

UIViewControllerRef UITabBarController::selectedViewController() const
{
    return m_selectedIndex < childViewControllers().size() ? childViewControllers()[m_selectedIndex] : nullptr;
}

void UITabBarController::setSelectedIndex(size_t index)
{
    if (index >= childViewControllers().size())
        return;
    m_selectedIndex = index;
    m_tabBar->setSelectedItem(m_tabBar->items()[index]);
    if (isViewLoaded())
        view()->setNeedsLayout();
}

void UITabBarController::tabBarDidSelectItem(UITabBar& bar, const UITabBarItemRef& item)
{
    const auto& items = bar.items();
    auto found = std::find(items.begin(), items.end(), item);
    if (found != items.end())
        setSelectedIndex(static_cast<size_t>(found - items.begin()));
}

bool UITabBarController::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation)
{
    // Only when every tab agrees, as the platform asks them all.
    if (childViewControllers().empty())
        return UIViewController::shouldAutorotateToInterfaceOrientation(orientation);
    for (auto& child : childViewControllers()) {
        if (!child->shouldAutorotateToInterfaceOrientation(orientation))
            return false;
    }
    return true;
}

void UITabBarController::loadView()
{
    loadContainerView();
}

void UITabBarController::viewWillLayoutSubviews()
{
    const UIViewRef& container = view();
    CGRect bounds = container->bounds();
    m_tabBar->setFrame(CGRectMake(bounds.origin.x, CGRectGetMaxY(bounds) - UIKitLook::tabBarHeight, bounds.size.width, UIKitLook::tabBarHeight));
    auto selected = selectedViewController();
    for (auto& child : childViewControllers()) {
        if (child != selected && child->isViewLoaded() && child->view()->superview() == container)
            child->view()->removeFromSuperview();
    }
    if (selected) {
        const UIViewRef& content = selected->view();
        content->setFrame(bounds);
        if (content->superview() != container)
            container->insertSubviewAtIndex(content, 0);
    }
    if (m_tabBar->superview() != container)
        container->addSubview(m_tabBar);
    else
        container->bringSubviewToFront(m_tabBar);
}
