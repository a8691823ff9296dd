#pragma once

#include "objc/runtime.h"

#include <type_traits>

// The root class. Platform classes that the runtime knows derive from it and
// declare their runtime class with OBJC_CLASS; objects are made by
// objc::alloc<T>(), which sets the class the way +alloc does.
class NSObject : public objc_object {
public:
    using objc_object::objc_object;
    static Class runtimeClass();

    [[nodiscard]] Class objcClass() const { return isa; }
    [[nodiscard]] bool respondsToSelector(SEL) const;
    [[nodiscard]] bool isKindOfClass(Class) const;
};

namespace objc {
// Defines a class once and registers it. addMethods runs only when this call made
// the class, so that a class's own methods are added once, whoever asks first.
// factory makes an instance of the class's C++ type, for class_createInstance.
Class defineClass(const char* name, Class superclass, void (*addMethods)(Class) = nullptr, id (*factory)() = nullptr);

template<class T>
id makeInstance()
{
    if constexpr (std::is_abstract_v<T>)
        return nullptr;
    else
        return alloc<T>();
}
}

// Declares a platform class's runtime class (registered under the C++ name, below
// Super's) and takes Super's constructors, which begin with the allocation key.
// Leaves the class body in its public section.
#define OBJC_CLASS(Name, Super)                                                  \
public:                                                                          \
    using Super::Super;                                                          \
    using super = Super;                                                         \
    [[nodiscard]] static Class runtimeClass()                                    \
    {                                                                            \
        static const Class cls = objc::defineClass(#Name, Super::runtimeClass(), nullptr, &objc::makeInstance<Name>); \
        return cls;                                                              \
    }

// The same for a class that adds methods to the runtime (its hookable entries):
// it defines `static void addRuntimeMethods(Class)`, run when the class is made.
#define OBJC_CLASS_WITH_METHODS(Name, Super)                                                          \
public:                                                                                               \
    using Super::Super;                                                                               \
    using super = Super;                                                                              \
    [[nodiscard]] static Class runtimeClass()                                                         \
    {                                                                                                 \
        static const Class cls = objc::defineClass(#Name, Super::runtimeClass(), &Name::addRuntimeMethods, &objc::makeInstance<Name>); \
        return cls;                                                                                   \
    }                                                                                                 \
    static void addRuntimeMethods(Class);
