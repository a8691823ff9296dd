#pragma once

#include "objc/runtime.h"

#include <atomic>
#include <memory>
#include <string>

namespace TestSupport {

// A new registered class. Names stay taken for the life of the process, so each
// gets a serial number and a test can run again under --gtest_repeat.
inline Class defineUniqueClass(const std::string& base, Class superclass)
{
    static std::atomic<int> serial { 0 };
    std::string name = base + "_" + std::to_string(++serial);
    Class cls = objc_allocateClassPair(superclass, name.c_str());
    objc_registerClassPair(cls);
    return cls;
}

// A bare instance of cls, as +alloc would give.
inline id makeInstance(Class cls)
{
    auto object = std::make_shared<objc_object>();
    object->isa = cls;
    return object;
}

template<class Function>
IMP toIMP(Function* function)
{
    return reinterpret_cast<IMP>(function);
}

}
