#include "UIKit/UIScreen.h"

Class UIScreen::runtimeClass()
{
    static Class cls = objc::defineClass("UIScreen", NSObject::runtimeClass());
    return cls;
}

const std::shared_ptr<UIScreen>& UIScreen::mainScreen()
{
    static const std::shared_ptr<UIScreen> screen = objc::alloc<UIScreen>();
    return screen;
}
