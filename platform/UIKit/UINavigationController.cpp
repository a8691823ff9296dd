#include "UIKit/UINavigationController.h"

#include "UIKit/UIApplication.h"
#include "UIKit/UIKitLook.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIWindow.h"

UINavigationControllerRef UINavigationController::initWithRootViewController(const UIViewControllerRef& root)
{
    auto controller = objc::alloc<UINavigationController>();
    controller->pushViewController(root, false);
    return controller;
}

void UINavigationController::didAllocate()
{
    super::didAllocate();
    m_navigationBar = objc::alloc<UINavigationBar>();
}

UIViewControllerRef UINavigationController::topViewController() const
{
    return childViewControllers().empty() ? nullptr : childViewControllers().back();
}

void UINavigationController::pushViewController(const UIViewControllerRef& controller, bool)
{
    if (!controller || controller->parentViewController())
        return;
    addChildViewController(controller);
    showTopViewController();
}

UIViewControllerRef UINavigationController::popViewControllerAnimated(bool)
{
    // The root stays.
    if (childViewControllers().size() < 2)
        return nullptr;
    auto top = topViewController();
    if (top->isViewLoaded())
        top->view()->removeFromSuperview();
    removeChildViewController(top);
    showTopViewController();
    return top;
}

void UINavigationController::showTopViewController()
{
    std::vector<UINavigationItemRef> items;
    for (auto& child : childViewControllers())
        items.push_back(child->navigationItem());
    m_navigationBar->setItems(std::move(items));
    if (isViewLoaded())
        view()->setNeedsLayout();
}

UITabBarItemRef UINavigationController::tabBarItem()
{
    auto root = childViewControllers().empty() ? nullptr : childViewControllers().front();
    return root ? root->tabBarItem() : UIViewController::tabBarItem();
}

bool UINavigationController::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation)
{
    auto top = topViewController();
    return top ? top->shouldAutorotateToInterfaceOrientation(orientation) : UIViewController::shouldAutorotateToInterfaceOrientation(orientation);
}

void UINavigationController::viewWillAppear(bool animated)
{
    if (auto top = topViewController())
        top->viewWillAppear(animated);
}

void UINavigationController::viewDidAppear(bool animated)
{
    if (auto top = topViewController())
        top->viewDidAppear(animated);
}

void UINavigationController::viewWillDisappear(bool animated)
{
    if (auto top = topViewController())
        top->viewWillDisappear(animated);
}

void UINavigationController::viewDidDisappear(bool animated)
{
    if (auto top = topViewController())
        top->viewDidDisappear(animated);
}

void UINavigationController::loadView()
{
    loadContainerView();
}

void UINavigationController::viewWillLayoutSubviews()
{
    const UIViewRef& container = view();
    CGRect bounds = container->bounds();
    // Right below the status bar when the view reaches the top of the screen.
    CGFloat top = 0;
    if (auto window = container->window()) {
        CGFloat inWindow = container->convertPointToView(bounds.origin, window.get()).y;
        if (inWindow < UIScreen::statusBarHeight)
            top = UIScreen::statusBarHeight - inWindow;
    }
    bool landscape = UIInterfaceOrientationIsLandscape(UIApplication::sharedApplication()->statusBarOrientation());
    CGFloat barHeight = landscape ? UIKitLook::landscapeNavigationBarHeight : UIKitLook::navigationBarHeight;
    m_navigationBar->setFrame(CGRectMake(bounds.origin.x, bounds.origin.y + top, bounds.size.width, barHeight));
    m_navigationBar->setExtendsBehindStatusBar(top > 0);

    auto controller = topViewController();
    if (!controller)
        return;
    const UIViewRef& content = controller->view();
    CGFloat contentTop = m_navigationBar->isTranslucent() ? 0 : top + barHeight;
    content->setFrame(CGRectMake(bounds.origin.x, bounds.origin.y + contentTop, bounds.size.width, bounds.size.height - contentTop));
    if (content->superview() != container)
        container->insertSubviewAtIndex(content, 0);
    for (auto& child : childViewControllers()) {
        if (child != controller && child->isViewLoaded() && child->view()->superview() == container)
            child->view()->removeFromSuperview();
    }
    if (m_navigationBar->superview() != container)
        container->addSubview(m_navigationBar);
    else
        container->bringSubviewToFront(m_navigationBar);
}
