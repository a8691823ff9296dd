#pragma once

#include "UIKit/UIApplicationDelegate.h"
#include "UIKit/UITabBarController.h"
#include "UIKit/UIWindow.h"

// Starts the application: one window holding a tab bar controller whose tabs are
// navigation controllers around the tab controllers, the colour tab (its bar opaque)
// first, then the image tab (its bar translucent).
class AppDelegate : public UIResponder, public UIApplicationDelegate {
    OBJC_CLASS(AppDelegate, UIResponder)

    bool applicationDidFinishLaunchingWithOptions(UIApplication&, const std::map<std::string, std::string>&) override;

    [[nodiscard]] const UIWindowRef& window() const { return m_window; }
    void setWindow(UIWindowRef window) { m_window = std::move(window); }
    [[nodiscard]] const UITabBarControllerRef& tabbarViewController() const { return m_tabbarViewController; }
    void setTabbarViewController(UITabBarControllerRef controller) { m_tabbarViewController = std::move(controller); }

private:
    UIWindowRef m_window;
    UITabBarControllerRef m_tabbarViewController;
};
