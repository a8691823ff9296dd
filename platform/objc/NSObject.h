#pragma once

#include "objc/runtime.h"

// The root class. Platform classes that the runtime knows derive from it and
// name their runtime class with runtimeClass(); objects are made by
// objc::alloc<T>(), which sets the class the way +alloc does.
class NSObject : public objc_object {
public:
    static Class runtimeClass();

    [[nodiscard]] Class objcClass() const { return isa; }
    [[nodiscard]] bool respondsToSelector(SEL) const;
    [[nodiscard]] bool isKindOfClass(Class) const;
};

namespace objc {
// Defines a class once and registers it; for platform classes' runtimeClass().
Class defineClass(const char* name, Class superclass);
}
