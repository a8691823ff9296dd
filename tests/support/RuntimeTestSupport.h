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
    Class cls = objc_allocateClassPair(superclass, (base + "_" + std::to_string(++serial)).c_str());
    objc_registerClassPair(cls);
    return cls;
}

inline id makeInstance(Class cls)
{
    return class_createInstance(cls);
}

template<class Function>
IMP toIMP(Function* function) { return reinterpret_cast<IMP>(function); }

}
