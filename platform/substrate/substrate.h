#pragma once

#include "objc/message.h"
#include "objc/runtime.h"

#include <cstdio>

// Replaces the implementation of selector on cls with replacement and stores the
// implementation that was in place in *previous before the replacement can be
// called, so a replacement running at once already finds it. A method the class
// only inherits gets a method of its own, so the superclass is left untouched. A
// nil class or a selector the class does not answer is reported on standard
// error and changes nothing.
void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* previous);

namespace substrate {

// The implementation a hook replaced, called with the method's own signature.
// Self is id for an instance method and Class for a class method.
template<class Signature, class Self = id>
class Original;
template<class R, class... Args, class Self>
class Original<R(Args...), Self> {
public:
    [[nodiscard]] explicit operator bool() const { return m_implementation != nullptr; }
    R operator()(Self self, SEL selector, Args... args) const
    {
        return reinterpret_cast<R (*)(Self, SEL, Args...)>(m_implementation)(self, selector, args...);
    }
    [[nodiscard]] IMP* slot() { return &m_implementation; }

private:
    IMP m_implementation = nullptr;
};

// MSHookMessageEx for a replacement of the method's own type. Replacements run
// inside host processes, so they must not throw: only noexcept functions are
// taken. A method whose recorded encoding differs from the replacement's is left
// alone, with a message, rather than called through the wrong type. On a class
// method, pass the metaclass, as with MSHookMessageEx.
template<class R, class Self, class... Args>
bool hookMessage(Class cls, SEL selector, R (*replacement)(Self, SEL, Args...) noexcept, Original<R(Args...), Self>& previous)
{
    Method method = class_getInstanceMethod(cls, selector);
    const char* expected = objc::methodEncoding<R(Args...)>();
    if (method && std::string_view(method_getTypeEncoding(method)) != expected) {
        std::fprintf(stderr, "MS:Error: [%s %s] is \"%s\", not \"%s\"; left alone\n", class_getName(cls), sel_getName(selector),
            method_getTypeEncoding(method), expected);
        return false;
    }
    IMP* slot = previous.slot();
    MSHookMessageEx(cls, selector, reinterpret_cast<IMP>(replacement), slot);
    return *slot != nullptr;
}

}
