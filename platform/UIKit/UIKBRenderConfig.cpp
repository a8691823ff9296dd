#include "UIKit/UIKBRenderConfig.h"

#include "objc/message.h"

namespace {

BOOL platformLightKeyboard(id self, SEL)
{
    auto* config = dynamic_cast<UIKBRenderConfig*>(self.get());
    return config && config->storedLightKeyboard() ? YES : NO;
}

}

Class UIKBRenderConfig::runtimeClass()
{
    static Class cls = [] {
        Class defined = objc::defineClass("UIKBRenderConfig", NSObject::runtimeClass());
        class_addMethod(defined, sel_registerName("lightKeyboard"), reinterpret_cast<IMP>(&platformLightKeyboard),
            OBJC_BOOL_ENCODING "@:");
        return defined;
    }();
    return cls;
}

std::shared_ptr<UIKBRenderConfig> UIKBRenderConfig::defaultConfig()
{
    return objc::alloc<UIKBRenderConfig>();
}

bool UIKBRenderConfig::lightKeyboard(const std::shared_ptr<UIKBRenderConfig>& config)
{
    static SEL selector = sel_registerName("lightKeyboard");
    return objc::send<BOOL()>(config, selector) != NO;
}
