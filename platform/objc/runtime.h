#pragma once

// The object runtime: classes looked up by name, each with a superclass and a
// metaclass, interned selectors, and method tables that can be extended and
// replaced while the process runs. Only the keyboard classes and the methods a
// plug-in hooks go through it; everything else is plain C++ dispatch.

#include <memory>
#include <string>
#include <vector>

struct objc_object;
struct objc_class;
struct objc_selector;
struct objc_method;

using Class = objc_class*;           // classes live until the process ends
using SEL = const objc_selector*;    // interned: equal names give equal pointers
using Method = objc_method*;
using IMP = void (*)();              // cast to the method's real type before calling
using id = std::shared_ptr<objc_object>;

// The platform's boolean: a signed char on 32-bit Arm, a C++ bool on arm64.
#if defined(TESSARY8_CGFLOAT_IS_DOUBLE)
using BOOL = bool;
#define OBJC_BOOL_ENCODING "B"
#else
using BOOL = signed char;
#define OBJC_BOOL_ENCODING "c"
#endif
inline constexpr BOOL YES = static_cast<BOOL>(1);
inline constexpr BOOL NO = static_cast<BOOL>(0);

struct objc_object : std::enable_shared_from_this<objc_object> {
    objc_object() = default;
    objc_object(const objc_object&) = delete;
    objc_object& operator=(const objc_object&) = delete;
    virtual ~objc_object() = default;

    Class isa = nullptr;
};

[[nodiscard]] SEL sel_registerName(const char* name);
[[nodiscard]] const char* sel_getName(SEL);

[[nodiscard]] Class objc_getClass(const char* name);
[[nodiscard]] Class object_getClass(const objc_object*);  // a class object's class is its metaclass
[[nodiscard]] Class object_getClass(const id&);
[[nodiscard]] Class object_getClass(Class);  // the metaclass
[[nodiscard]] const char* object_getClassName(const objc_object*);

[[nodiscard]] const char* class_getName(Class);
[[nodiscard]] Class class_getSuperclass(Class);
[[nodiscard]] bool class_isMetaClass(Class);
// Adds unless the class itself already has a method of that name; answers whether it added.
bool class_addMethod(Class, SEL, IMP, const char* types);
// Searches the class and then its superclasses.
[[nodiscard]] Method class_getInstanceMethod(Class, SEL);
[[nodiscard]] Method class_getClassMethod(Class, SEL);
[[nodiscard]] IMP class_getMethodImplementation(Class, SEL);  // nullptr when nothing answers
[[nodiscard]] bool class_respondsToSelector(Class, SEL);
[[nodiscard]] std::vector<Method> class_copyMethodList(Class);  // the class's own methods

[[nodiscard]] SEL method_getName(Method);
[[nodiscard]] IMP method_getImplementation(Method);
[[nodiscard]] const char* method_getTypeEncoding(Method);
IMP method_setImplementation(Method, IMP);  // answers the implementation it replaced

// Defines and registers a class with its metaclass. The name must be new.
Class objc_allocateClassPair(Class superclass, const char* name);
void objc_registerClassPair(Class);
[[nodiscard]] std::vector<std::string> objc_copyClassNames();

namespace objc {

// Sets a new object's class, as +alloc does.
template<class T, class... Args>
[[nodiscard]] std::shared_ptr<T> alloc(Args&&... args)
{
    auto object = std::make_shared<T>(std::forward<Args>(args)...);
    object->isa = T::runtimeClass();
    return object;
}

}
