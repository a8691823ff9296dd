#include "UIKit/UIKBInputBackdropView.h"

#include "objc/message.h"

namespace {

id platformInitWithFrame(id self, SEL, CGRect frame, BOOL)
{
    auto view = std::dynamic_pointer_cast<UIView>(self);
    if (!view)
        return nullptr;
    view->setFrame(frame);
    view->setBackgroundColor(UIKBInputBackdropView::lightBackdropColor());
    return self;
}

}

void UIKBInputBackdropView::addRuntimeMethods(Class cls)
{
    objc::addMethod(cls, sel_registerName("initWithFrame:primaryBackdrop:"), &platformInitWithFrame);
}

UIViewRef UIKBInputBackdropView::initWithFrame(CGRect frame, bool primaryBackdrop)
{
    static SEL selector = sel_registerName("initWithFrame:primaryBackdrop:");
    id backdrop = objc::alloc<UIKBInputBackdropView>();
    id initialised = objc::send<id(CGRect, BOOL)>(backdrop, selector, frame, primaryBackdrop ? YES : NO);
    return std::dynamic_pointer_cast<UIView>(initialised);
}

UIColorRef UIKBInputBackdropView::lightBackdropColor()
{
    return UIColor::colorWithRed(209.0f / 255, 213.0f / 255, 219.0f / 255, 1);
}
