#pragma once

// Message send: look the selector up in the receiver's class chain and call the
// implementation found there with the signature the caller states, as a cast of
// objc_msgSend does. A receiver that is nil answers a zero value, as on the
// platform; a selector nothing answers raises objc::UnrecognizedSelector.

#include "objc/runtime.h"

#include <stdexcept>
#include <string>

namespace objc {

class UnrecognizedSelector : public std::runtime_error {
public:
    UnrecognizedSelector(const char* className, SEL selector, bool classMethod);
};

[[nodiscard]] IMP lookUpImplementation(Class cls, SEL selector);

template<class Signature>
struct Send;

template<class R, class... Args>
struct Send<R(Args...)> {
    // Instance method: self is an object.
    static R to(const id& receiver, SEL selector, Args... args)
    {
        if (!receiver)
            return R();
        Class cls = object_getClass(receiver);
        IMP imp = lookUpImplementation(cls, selector);
        if (!imp)
            throw UnrecognizedSelector(class_getName(cls), selector, false);
        return reinterpret_cast<R (*)(id, SEL, Args...)>(imp)(receiver, selector, args...);
    }

    // Class method: self is the class, its methods live on the metaclass.
    static R to(Class receiver, SEL selector, Args... args)
    {
        if (!receiver)
            return R();
        IMP imp = lookUpImplementation(object_getClass(receiver), selector);
        if (!imp)
            throw UnrecognizedSelector(class_getName(receiver), selector, true);
        return reinterpret_cast<R (*)(Class, SEL, Args...)>(imp)(receiver, selector, args...);
    }
};

// objc::send<CGSize(int)>(cls, sel_registerName("sizeForInterfaceOrientation:"), 1)
template<class Signature, class Receiver, class... Args>
decltype(auto) send(const Receiver& receiver, SEL selector, Args&&... args)
{
    return Send<Signature>::to(receiver, selector, std::forward<Args>(args)...);
}

// The implementation types a method of that signature has, for casting IMPs.
template<class Signature>
struct Implementation;
template<class R, class... Args>
struct Implementation<R(Args...)> {
    using Instance = R (*)(id, SEL, Args...);
    using ClassMethod = R (*)(Class, SEL, Args...);
};

}
