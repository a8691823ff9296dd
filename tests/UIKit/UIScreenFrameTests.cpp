#include "Foundation/NSRunLoop.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIWindow.h"
#include "host/HeadlessDisplay.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

CGColorRef rgb(CGFloat r, CGFloat g, CGFloat b)
{
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), { r, g, b, 1 });
}

}

TEST(UIScreen, CommitsThatChangeSomethingPresentTheWindowsBackToFront)
{
    auto screen = UIScreen::mainScreen();
    CGRect oldBounds = screen->bounds();
    screen->setBounds(CGRectMake(0, 0, 4, 2));
    screen->setScale(1);
    auto display = std::make_shared<HeadlessDisplay>();
    screen->setDisplay(display);

    auto back = UIWindow::initWithFrame(CGRectMake(0, 0, 4, 2));
    back->setBackgroundColor(UIColor::colorWithCGColor(rgb(1, 0, 0)));
    back->makeKeyAndVisible();
    auto front = UIWindow::initWithFrame(CGRectMake(2, 0, 2, 2));
    front->setBackgroundColor(UIColor::colorWithCGColor(rgb(0, 0, 1)));
    front->setWindowLevel(UIWindowLevelAlert);
    front->makeKeyAndVisible();
    auto hidden = UIWindow::initWithFrame(CGRectMake(0, 0, 4, 2));
    hidden->setBackgroundColor(UIColor::colorWithCGColor(rgb(0, 1, 0)));

    NSRunLoop::mainRunLoop().runOnce(false);
    ASSERT_TRUE(display->lastFrame());
    EXPECT_EQ(letters(*display->lastFrame()), "RRBB/RRBB");
    auto frames = screen->frameCount();
    NSRunLoop::mainRunLoop().runOnce(false);
    EXPECT_EQ(screen->frameCount(), frames) << "nothing changed, nothing composited";
    front->setHidden(true);
    NSRunLoop::mainRunLoop().runOnce(false);
    EXPECT_EQ(screen->frameCount(), frames + 1);
    EXPECT_EQ(letters(*display->lastFrame()), "RRRR/RRRR");

    // Image contexts at scale 0 take the screen's scale.
    screen->setScale(3);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(2, 1), false, 0);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->CGImage()->width(), 6u);
    EXPECT_EQ(image->scale(), 3);

    back->setHidden(true);
    screen->setDisplay(nullptr);
    screen->setScale(2);
    screen->setBounds(oldBounds);
}
