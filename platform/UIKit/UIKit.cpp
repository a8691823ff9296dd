#include "UIKit/UIKit.h"
#include "UIKit/UIImagePickerController.h"
#include "UIKit/UIImagePickerGridController.h"

#include "UIKit/UIAlertView.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIPanGestureRecognizer.h"
#include "UIKit/UIPinchGestureRecognizer.h"
#include "UIKit/UIRotationGestureRecognizer.h"
#include "UIKit/UIScrollView.h"
#include "UIKit/UIWindow.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIEvent.h"
#include "UIKit/UIDevice.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UIKBInputBackdropView.h"
#include "UIKit/UIKBKeyplaneView.h"
#include "UIKit/UIKBRenderConfig.h"
#include "UIKit/UIKeyboard.h"
#include "UIKit/UILabel.h"
#include "UIKit/UINavigationController.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIStatusBar.h"
#include "UIKit/UITabBarController.h"

namespace UIKit {

void registerClasses()
{
    for (Class cls : { UIColor::runtimeClass(), UIImage::runtimeClass(), UIView::runtimeClass(), UIImageView::runtimeClass(),
             UIKBInputBackdropView::runtimeClass(), UIKBKeyplaneView::runtimeClass(), UIKBRenderConfig::runtimeClass(),
             UIKeyboard::runtimeClass(), UIControl::runtimeClass(), UIScreen::runtimeClass(), UIDevice::runtimeClass(), UITouch::runtimeClass(),
             UIEvent::runtimeClass(), UIResponder::runtimeClass(), UIApplication::runtimeClass(), UIWindow::runtimeClass(),
             UIGestureRecognizer::runtimeClass(), UIFont::runtimeClass(), UILabel::runtimeClass(), UIButton::runtimeClass(),
             UIAlertView::runtimeClass(), UIViewController::runtimeClass(), UILayoutContainerView::runtimeClass(),
             UINavigationController::runtimeClass(), UINavigationBar::runtimeClass(), UINavigationButton::runtimeClass(),
             UINavigationItem::runtimeClass(), UIBarItem::runtimeClass(), UIBarButtonItem::runtimeClass(), UITabBarItem::runtimeClass(),
             UITabBarController::runtimeClass(), UITabBar::runtimeClass(), UITabBarButton::runtimeClass(), UIStatusBar::runtimeClass(),
             UIPanGestureRecognizer::runtimeClass(), UIPinchGestureRecognizer::runtimeClass(), UIRotationGestureRecognizer::runtimeClass(),
             UIScrollView::runtimeClass(), UIImagePickerController::runtimeClass(), UIImagePickerGridController::runtimeClass(),
             UIImagePickerThumbnail::runtimeClass() })
        (void)cls;
}

}
