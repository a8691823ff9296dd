#pragma once

#include "UIKit/UINavigationBar.h"
#include "UIKit/UIViewController.h"

#include <vector>

class UINavigationController;
using UINavigationControllerRef = std::shared_ptr<UINavigationController>;

// A stack of controllers under a navigation bar. The bar (44 points, 32 on its side)
// sits right below the status bar when the controller's view reaches the top of the
// screen, and shows the top controller's navigation item. The top controller's view
// fills the controller's view under a translucent bar, and starts below an opaque one,
// as iOS 7 lays out. In a tab bar it shows its root controller's tab bar item.
class UINavigationController : public UIViewController {
    OBJC_CLASS(UINavigationController, UIViewController)
    [[nodiscard]] static UINavigationControllerRef initWithRootViewController(const UIViewControllerRef&);

    [[nodiscard]] const std::shared_ptr<UINavigationBar>& navigationBar() const { return m_navigationBar; }
    [[nodiscard]] const std::vector<UIViewControllerRef>& viewControllers() const { return childViewControllers(); }
    [[nodiscard]] UIViewControllerRef topViewController() const;
    void pushViewController(const UIViewControllerRef&, bool animated);
    UIViewControllerRef popViewControllerAnimated(bool animated);

    [[nodiscard]] UITabBarItemRef tabBarItem() override;
    [[nodiscard]] bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation) override;

    void loadView() override;
    void viewWillLayoutSubviews() override;
    // The top controller appears and disappears with this one.
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

protected:
    void didAllocate() override;

private:
    void showTopViewController();

    std::shared_ptr<UINavigationBar> m_navigationBar;
};
