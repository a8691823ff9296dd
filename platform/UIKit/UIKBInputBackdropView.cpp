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

Class UIKBInputBackdropView::runtimeClass()
{
    static Class cls = [] {
        Class defined = objc::defineClass("UIKBInputBackdropView", UIView::runtimeClass());
#if defined(TESSARY8_CGFLOAT_IS_DOUBLE)
        const char* types = "@@:{CGRect={CGPoint=dd}{CGSize=dd}}" OBJC_BOOL_ENCODING;
#else
        const char* types = "@@:{CGRect={CGPoint=ff}{CGSize=ff}}" OBJC_BOOL_ENCODING;
#endif
        class_addMethod(defined, sel_registerName("initWithFrame:primaryBackdrop:"), reinterpret_cast<IMP>(&platformInitWithFrame), types);
        return defined;
    }();
    return cls;
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
