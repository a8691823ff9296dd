#include "app/AppDelegate.h"

#include "UIKit/UINavigationController.h"
#include "UIKit/UIScreen.h"
#include "app/KZDefaultColorViewController.h"
#include "app/image/IMageSelecetViewController.h"

bool AppDelegate::applicationDidFinishLaunchingWithOptions(UIApplication&, const std::map<std::string, std::string>&)
{
    setWindow(UIWindow::initWithFrame(UIScreen::mainScreen()->bounds()));

    auto color = std::static_pointer_cast<KZDefaultColorViewController>(objc::alloc<KZDefaultColorViewController>()->initWithNibName({}, nullptr));
    auto colorNavigation = UINavigationController::initWithRootViewController(color);
    colorNavigation->navigationBar()->setTranslucent(false);
    color->setSelectedColor(UIColor::whiteColor());

    auto image = std::static_pointer_cast<IMageSelecetViewController>(objc::alloc<IMageSelecetViewController>()->initWithNibName({}, nullptr));
    auto imageNavigation = UINavigationController::initWithRootViewController(image);

    color->setTabBarItem(UITabBarItem::initWithTitle("Use Color", UIImage::imageNamed("xz_tsb.png"), UIImage::imageNamed("wxz_tsb.png")));
    image->setTabBarItem(UITabBarItem::initWithTitle("Use Image", UIImage::imageNamed("xz_pic.png"), UIImage::imageNamed("wxz_pic.png")));
    imageNavigation->setTitle("Use Image");

    setTabbarViewController(objc::alloc<UITabBarController>());
    m_tabbarViewController->setViewControllers({ colorNavigation, imageNavigation });

    m_window->setRootViewController(m_tabbarViewController);
    m_window->setBackgroundColor(UIColor::whiteColor());
    m_window->makeKeyAndVisible();
    return true;
}
