#include "objc/NSObject.h"

#include <mutex>

Class NSObject::runtimeClass()
{
    static const Class cls = objc::defineClass("NSObject", nullptr, nullptr, &objc::makeInstance<NSObject>);
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

Class defineClass(const char* name, Class superclass, void (*addMethods)(Class), id (*factory)())
{
    // One definition at a time, so that two first askers cannot both make the class.
    static std::mutex lock;
    std::lock_guard guard(lock);
    if (Class existing = objc_getClass(name))
        return existing;
    Class cls = objc_allocateClassPair(superclass, name);
    class_setInstanceFactory(cls, factory);
    if (addMethods)
        addMethods(cls);
    objc_registerClassPair(cls);
    return cls;
}

}
