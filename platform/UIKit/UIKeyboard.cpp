#include "UIKit/UIKeyboard.h"

#include "UIKit/UIKBInputBackdropView.h"
#include "UIKit/UIKBRenderConfig.h"
#include "objc/message.h"

namespace {

CGSize platformSizeForInterfaceOrientation(Class, SEL, int orientation)
{
    return UIKeyboard::defaultSizeForInterfaceOrientation(static_cast<UIInterfaceOrientation>(orientation));
}

}

void UIKeyboard::addRuntimeMethods(Class cls)
{
    objc::addClassMethod(cls, sel_registerName("sizeForInterfaceOrientation:"), &platformSizeForInterfaceOrientation);
}

CGSize UIKeyboard::defaultSizeForInterfaceOrientation(UIInterfaceOrientation orientation)
{
    bool landscape = orientation == UIInterfaceOrientationLandscapeLeft || orientation == UIInterfaceOrientationLandscapeRight;
    return landscape ? CGSizeMake(480, 162) : CGSizeMake(320, 216);
}

CGSize UIKeyboard::sizeForInterfaceOrientation(UIInterfaceOrientation orientation)
{
    static SEL selector = sel_registerName("sizeForInterfaceOrientation:");
    return objc::send<CGSize(int)>(runtimeClass(), selector, static_cast<int>(orientation));
}

std::shared_ptr<UIKeyboard> UIKeyboard::show(UIInterfaceOrientation orientation, std::optional<CGRect> backdropFrame)
{
    auto keyboard = objc::alloc<UIKeyboard>();
    keyboard->m_size = sizeForInterfaceOrientation(orientation);
    keyboard->setFrame(CGRectMake(0, 0, keyboard->m_size.width, keyboard->m_size.height));
    keyboard->m_backdrop = UIKBInputBackdropView::initWithFrame(backdropFrame.value_or(keyboard->bounds()), true);
    keyboard->m_lightKeyboard = UIKBRenderConfig::lightKeyboard(UIKBRenderConfig::defaultConfig());
    if (keyboard->m_backdrop)
        keyboard->addSubview(keyboard->m_backdrop);
    keyboard->m_keyplane = UIKBKeyplaneView::initWithFrame(keyboard->bounds(), keyboard->m_lightKeyboard);
    keyboard->addSubview(keyboard->m_keyplane);
    return keyboard;
}
