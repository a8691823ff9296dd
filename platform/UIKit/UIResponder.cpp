#include "UIKit/UIResponder.h"

Class UIResponder::runtimeClass()
{
    static Class cls = objc::defineClass("UIResponder", NSObject::runtimeClass());
    return cls;
}
