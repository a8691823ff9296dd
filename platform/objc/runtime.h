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

namespace objc {
template<class T, class... Args>
[[nodiscard]] std::shared_ptr<T> alloc(Args&&... args);
}
// An instance of the class: of the C++ type of the nearest class that has one (as the
// platform lays out a run-time subclass like its superclass), with the class set.
[[nodiscard]] id class_createInstance(Class);
// How instances of a class with a C++ type of its own are made.
void class_setInstanceFactory(Class, id (*factory)());
// Defines a class with its metaclass; register it before use. The name must be new.
Class objc_allocateClassPair(Class superclass, const char* name);

// The platform's boolean: a signed char on 32-bit Arm, a C++ bool on arm64.
#if defined(TESSARY8_CGFLOAT_IS_DOUBLE)
using BOOL = bool;
#else
using BOOL = signed char;
#endif
inline constexpr BOOL YES = static_cast<BOOL>(1);
inline constexpr BOOL NO = static_cast<BOOL>(0);

namespace objc {

// Runtime objects are made only by objc::alloc: their constructors take this key,
// which nothing else can make, so every object is owned from birth and its
// didAllocate hook can hand out references to it.
class AllocationKey {
    AllocationKey() = default;
    template<class T, class... Args>
    friend std::shared_ptr<T> alloc(Args&&...);
    friend id(::class_createInstance)(Class);
    friend Class(::objc_allocateClassPair)(Class, const char*);
};

}

struct objc_object : std::enable_shared_from_this<objc_object> {
    explicit objc_object(objc::AllocationKey) { }
    objc_object(const objc_object&) = delete;
    objc_object& operator=(const objc_object&) = delete;
    virtual ~objc_object() = default;

    Class isa = nullptr;

protected:
    // Runs once, right after objc::alloc has made the object and set its class, when
    // shared_from_this works: where an object builds what holds a reference back to it.
    // Overrides call their superclass's first.
    virtual void didAllocate() { }

private:
    template<class T, class... Args>
    friend std::shared_ptr<T> objc::alloc(Args&&...);
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

void objc_registerClassPair(Class);
[[nodiscard]] std::vector<std::string> objc_copyClassNames();

namespace objc {

// Makes an object of T, sets its class as +alloc does, then runs its didAllocate hook.
template<class T, class... Args>
std::shared_ptr<T> alloc(Args&&... args)
{
    auto object = std::make_shared<T>(AllocationKey {}, std::forward<Args>(args)...);
    object->isa = T::runtimeClass();
    static_cast<objc_object&>(*object).didAllocate();
    return object;
}

}
