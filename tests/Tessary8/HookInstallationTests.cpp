#include "Foundation/NSDictionary.h"
#include "Foundation/NSLog.h"
#include "UIKit/UIKBInputBackdropView.h"
#include "UIKit/UIKeyboard.h"
#include "UIKit/UIKit.h"
#include "shared/SharedFiles.h"
#include "support/TestSupport.h"

#include <dlfcn.h>
#include <stdexcept>
#include <gtest/gtest.h>

namespace {

int sizeCalls = 0;

CGSize countingSize(Class, SEL, int orientation)
{
    ++sizeCalls;
    return CGSizeMake(static_cast<CGFloat>(sizeCalls), static_cast<CGFloat>(orientation * 10));
}

id ownColor(id, SEL)
{
    return UIColor::greenColor();
}

BOOL failingSwitch(id, SEL)
{
    throw std::runtime_error("settings unavailable");
}

// Everything here changes the process's runtime for good, so it is one test.
TEST(HookInstallation, ReplacesAndAddsMethodsAsTheLibraryLoads)
{
    TestSupport::ScopedDeviceRoot device;
    UIKit::registerClasses();
    Class keyboard = objc_getClass("UIKeyboard");
    Class backdrop = objc_getClass("UIKBInputBackdropView");
    SEL sizeSelector = sel_registerName("sizeForInterfaceOrientation:");
    method_setImplementation(class_getClassMethod(keyboard, sizeSelector), reinterpret_cast<IMP>(&countingSize));
    // A method the class already has is kept.
    ASSERT_TRUE(class_addMethod(backdrop, sel_registerName("getColorFromLocalsetting"), reinterpret_cast<IMP>(&ownColor), "@@:"));

    auto plugin = TestSupport::binaryDirectory() / "lib" / "libTessary8.so";
    void* handle = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto* globalSwitch = static_cast<bool*>(dlsym(handle, "GlobalisSwitch"));
    ASSERT_NE(globalSwitch, nullptr);
    EXPECT_FALSE(*globalSwitch);

#if defined(TESSARY8_CGFLOAT_IS_DOUBLE)
    const char* switchTypes = "B@:";
#else
    const char* switchTypes = "c@:";
#endif
    EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(backdrop, sel_registerName("isSwitch"))), switchTypes);
    EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(backdrop, sel_registerName("isImageSwitch"))), switchTypes);

    // The size hook calls through twice, logs the first answer and returns the second.
    std::vector<std::string> log;
    int observer = Foundation::addLogObserver([&](const std::string& message) { log.push_back(message); });
    CGSize size = UIKeyboard::sizeForInterfaceOrientation(UIInterfaceOrientationPortrait);
    Foundation::removeLogObserver(observer);
    EXPECT_EQ(sizeCalls, 2);
    EXPECT_EQ(size, CGSizeMake(2, 10));
    EXPECT_EQ(log, std::vector<std::string> { "updateFrame=======rect:{1, 10}" });

    // With the colour on, the class's own getColorFromLocalsetting answers.
    (void)device.prepare(SharedFiles::settingsPath);
    NSMutableDictionary settings({ { SharedFiles::colorSwitchKey, "1" }, { SharedFiles::redKey, PropertyListValue(1.0f) }, { SharedFiles::alphaKey, PropertyListValue(1.0f) } });
    ASSERT_TRUE(settings.writeToFile(SharedFiles::settingsPath, true));
    auto view = UIKBInputBackdropView::initWithFrame(CGRectMake(0, 0, 320, 216), true);
    ASSERT_TRUE(view);
    EXPECT_TRUE(CGColorEqualToColor(view->backgroundColor()->CGColor(), UIColor::greenColor()->CGColor()));
    EXPECT_TRUE(*globalSwitch);
    EXPECT_EQ(view->subviews().size(), 1u);

    // A failure inside the hook leaves the backdrop as the platform built it.
    method_setImplementation(class_getInstanceMethod(backdrop, sel_registerName("isImageSwitch")), reinterpret_cast<IMP>(&failingSwitch));
    auto fallback = UIKBInputBackdropView::initWithFrame(CGRectMake(0, 0, 320, 216), true);
    ASSERT_TRUE(fallback);
    EXPECT_TRUE(CGColorEqualToColor(fallback->backgroundColor()->CGColor(), UIKBInputBackdropView::lightBackdropColor()->CGColor()));
    EXPECT_TRUE(fallback->subviews().empty());
}

}
