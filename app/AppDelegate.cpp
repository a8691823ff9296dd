#include "app/AppDelegate.h"

#include "UIKit/UINavigationController.h"
#include "UIKit/UIScreen.h"
#include "app/KZDefaultColorViewController.h"

bool AppDelegate::applicationDidFinishLaunchingWithOptions(UIApplication&, const std::map<std::string, std::string>&)
{
    setWindow(UIWindow::initWithFrame(UIScreen::mainScreen()->bounds()));

    auto color = std::static_pointer_cast<KZDefaultColorViewController>(objc::alloc<KZDefaultColorViewController>()->initWithNibName({}, nullptr));
    auto colorNavigation = UINavigationController::initWithRootViewController(color);
    colorNavigation->navigationBar()->setTranslucent(false);
    color->setSelectedColor(UIColor::whiteColor());

    color->setTabBarItem(UITabBarItem::initWithTitle("Use Color", UIImage::imageNamed("xz_tsb.png"), UIImage::imageNamed("wxz_tsb.png")));

    setTabbarViewController(objc::alloc<UITabBarController>());
    m_tabbarViewController->setViewControllers({ colorNavigation });

    m_window->setRootViewController(m_tabbarViewController);
    m_window->setBackgroundColor(UIColor::whiteColor());
    m_window->makeKeyAndVisible();
    return true;
}
