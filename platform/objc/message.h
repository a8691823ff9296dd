#pragma once

// Message send: look the selector up in the receiver's class chain and call the
// implementation found there with the signature the caller states, as a cast of
// objc_msgSend does. A receiver that is nil answers a zero value, as on the
// platform; a selector nothing answers raises objc::UnrecognizedSelector. Debug
// builds also compare the stated signature with the method's recorded encoding
// and raise objc::SignatureMismatch where they differ, since the call would
// otherwise go through a function of another type.
//
// Methods are added with their encoding computed from the implementing function:
// objc::addMethod(cls, selector, &implementation).

#include "objc/encoding.h"
#include "objc/runtime.h"

#include <stdexcept>
#include <string>
#include <type_traits>

namespace objc {

class UnrecognizedSelector : public std::runtime_error {
public:
    UnrecognizedSelector(const char* className, SEL selector, bool classMethod);
};

class SignatureMismatch : public std::logic_error {
public:
    SignatureMismatch(const char* className, SEL selector, bool classMethod, std::string_view stated, std::string_view recorded);
};

#if defined(NDEBUG)
inline constexpr bool checksSignatures = false;
#else
inline constexpr bool checksSignatures = true;
#endif

// The method a receiver of that class answers with, or nullptr.
[[nodiscard]] Method lookUpMethod(Class cls, SEL selector);
// Raises SignatureMismatch when the method records an encoding other than the stated one.
void checkSignature(Class receiverClass, Method, const char* stated, bool classMethod);

// What an implementing function is: its signature as sent (without self and the
// selector), and whether self is an object or a class.
template<class Function>
struct ImplementationTraits;
template<class R, class Self, class... Args>
struct ImplementationTraits<R (*)(Self, SEL, Args...)> {
    using Signature = R(Args...);
    using SelfType = Self;
    static constexpr bool isNoexcept = false;
};
template<class R, class Self, class... Args>
struct ImplementationTraits<R (*)(Self, SEL, Args...) noexcept> : ImplementationTraits<R (*)(Self, SEL, Args...)> {
    static constexpr bool isNoexcept = true;
};

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
        IMP imp = implementation(cls, selector, false);
        return reinterpret_cast<R (*)(id, SEL, Args...)>(imp)(receiver, selector, args...);
    }

    // Class method: self is the class, its methods live on the metaclass.
    static R to(Class receiver, SEL selector, Args... args)
    {
        if (!receiver)
            return R();
        IMP imp = implementation(object_getClass(receiver), selector, true);
        return reinterpret_cast<R (*)(Class, SEL, Args...)>(imp)(receiver, selector, args...);
    }

private:
    static IMP implementation(Class cls, SEL selector, bool classMethod)
    {
        Method method = lookUpMethod(cls, selector);
        IMP imp = method_getImplementation(method);
        if (!imp)
            throw UnrecognizedSelector(class_getName(cls), selector, classMethod);
        if constexpr (checksSignatures)
            checkSignature(cls, method, methodEncoding<R(Args...)>(), classMethod);
        return imp;
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

// Adds an instance method (self an object) unless the class itself has one of that name.
template<class Function>
bool addMethod(Class cls, SEL selector, Function implementation)
{
    using Traits = ImplementationTraits<Function>;
    static_assert(std::is_same_v<typename Traits::SelfType, id>, "an instance method takes id self");
    return class_addMethod(cls, selector, reinterpret_cast<IMP>(implementation), methodEncoding<typename Traits::Signature>());
}

// Adds a class method (self the class) to the class's metaclass.
template<class Function>
bool addClassMethod(Class cls, SEL selector, Function implementation)
{
    using Traits = ImplementationTraits<Function>;
    static_assert(std::is_same_v<typename Traits::SelfType, Class>, "a class method takes Class self");
    return class_addMethod(object_getClass(cls), selector, reinterpret_cast<IMP>(implementation), methodEncoding<typename Traits::Signature>());
}

}
