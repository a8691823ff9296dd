#include "UIKit/UIKBRenderConfig.h"

#include "objc/message.h"

namespace {

BOOL platformLightKeyboard(id self, SEL)
{
    auto* config = dynamic_cast<UIKBRenderConfig*>(self.get());
    return config && config->storedLightKeyboard() ? YES : NO;
}

}

void UIKBRenderConfig::addRuntimeMethods(Class cls)
{
    objc::addMethod(cls, sel_registerName("lightKeyboard"), &platformLightKeyboard);
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
