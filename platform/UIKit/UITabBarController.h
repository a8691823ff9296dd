#pragma once

#include "UIKit/UITabBar.h"
#include "UIKit/UIViewController.h"

#include <vector>

class UITabBarController;
using UITabBarControllerRef = std::shared_ptr<UITabBarController>;

// Tabs: one child controller on screen at a time, chosen on the 49-point translucent
// tab bar at the bottom; the first is selected at start. The selected controller's view
// fills the controller's view, under the tab bar.
class UITabBarController : public UIViewController, public UITabBarDelegate {
    OBJC_CLASS(UITabBarController, UIViewController)

    [[nodiscard]] const std::shared_ptr<UITabBar>& tabBar() const { return m_tabBar; }
    [[nodiscard]] const std::vector<UIViewControllerRef>& viewControllers() const { return childViewControllers(); }
    void setViewControllers(std::vector<UIViewControllerRef>);
    [[nodiscard]] size_t selectedIndex() const { return m_selectedIndex; }
    // An index past the end is ignored.
    void setSelectedIndex(size_t);
    [[nodiscard]] UIViewControllerRef selectedViewController() const;

    [[nodiscard]] bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation) override;
    void loadView() override;
    void viewWillLayoutSubviews() override;
    void tabBarDidSelectItem(UITabBar&, const UITabBarItemRef&) override;

protected:
    void didAllocate() override;

private:
    std::shared_ptr<UITabBar> m_tabBar;
    size_t m_selectedIndex = 0;
};
