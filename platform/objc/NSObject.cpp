#include "objc/NSObject.h"

Class NSObject::runtimeClass()
{
    static Class cls = objc::defineClass("NSObject", nullptr);
    return cls;
}

bool NSObject::respondsToSelector(SEL selector) const
{
    return class_respondsToSelector(isa, selector);
}

bool NSObject::isKindOfClass(Class target) const
{
    for (Class cls = isa; cls; cls = class_getSuperclass(cls)) {
        if (cls == target)
            return true;
    }
    return false;
}

namespace objc {

Class defineClass(const char* name, Class superclass)
{
    if (Class existing = objc_getClass(name))
        return existing;
    Class cls = objc_allocateClassPair(superclass, name);
    objc_registerClassPair(cls);
    return cls;
}

}
