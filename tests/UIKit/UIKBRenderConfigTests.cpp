#include "UIKit/UIKBRenderConfig.h"
#include "UIKit/UIKeyboard.h"
#include "UIKitTestSupport.h"

#include <gtest/gtest.h>

namespace {
BOOL answerDark(id, SEL) { return NO; }
}

TEST(UIKBRenderConfig, LightUnlessTheRuntimeSaysOtherwise)
{
    auto config = UIKBRenderConfig::defaultConfig();
    EXPECT_TRUE(UIKBRenderConfig::lightKeyboard(config));
    config->setLightKeyboard(false);
    EXPECT_FALSE(UIKBRenderConfig::lightKeyboard(config));
    EXPECT_FALSE(UIKBRenderConfig::lightKeyboard(nullptr));
    {
        Method method = class_getInstanceMethod(objc_getClass("UIKBRenderConfig"), sel_registerName("lightKeyboard"));
        UIKitTestSupport::ScopedImplementation hook(method, reinterpret_cast<IMP>(&answerDark));
        EXPECT_FALSE(UIKBRenderConfig::lightKeyboard(UIKBRenderConfig::defaultConfig()));
        EXPECT_FALSE(UIKeyboard::show(UIInterfaceOrientationPortrait)->keyplane()->isLightKeyboard());
    }
    EXPECT_TRUE(UIKeyboard::show(UIInterfaceOrientationPortrait)->isLightKeyboard());
}
