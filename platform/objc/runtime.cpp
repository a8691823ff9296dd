#include "objc/runtime.h"

#include "objc/message.h"

#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

struct objc_selector {
    std::string name;
};

struct objc_method {
    SEL name;
    IMP imp;
    std::string types;
};

struct objc_class : objc_object {
    using objc_object::objc_object;
    std::string name;
    Class superclass = nullptr;
    bool isMeta = false;
    bool registered = false;
    std::map<SEL, std::unique_ptr<objc_method>> methods;
    id (*factory)() = nullptr;
};

namespace {

// One lock for the whole runtime: it is taken for short lookups, and hooks are
// installed while a process starts, so contention does not matter.
std::shared_mutex& runtimeLock()
{
    static std::shared_mutex lock;
    return lock;
}

// The tables are never destroyed: selectors and classes live as long as the
// process, and code running in static destructors (a plug-in's) may still send.
std::unordered_map<std::string, std::unique_ptr<objc_selector>>& selectorTable()
{
    static auto* table = new std::unordered_map<std::string, std::unique_ptr<objc_selector>>;
    return *table;
}

std::map<std::string, Class>& classTable()
{
    static auto* table = new std::map<std::string, Class>;
    return *table;
}

Method ownMethod(Class cls, SEL selector)
{
    auto found = cls->methods.find(selector);
    return found == cls->methods.end() ? nullptr : found->second.get();
}

Method findMethod(Class cls, SEL selector)
{
    for (; cls; cls = cls->superclass) {
        if (Method method = ownMethod(cls, selector))
            return method;
    }
    return nullptr;
}

}

SEL sel_registerName(const char* name)
{
    if (!name)
        return nullptr;
    std::unique_lock lock(runtimeLock());
    auto& slot = selectorTable()[name];
    if (!slot)
        slot = std::make_unique<objc_selector>(objc_selector { name });
    return slot.get();
}

const char* sel_getName(SEL selector)
{
    return selector ? selector->name.c_str() : "<null selector>";
}

Class objc_getClass(const char* name)
{
    if (!name)
        return nullptr;
    std::shared_lock lock(runtimeLock());
    auto found = classTable().find(name);
    return found == classTable().end() ? nullptr : found->second;
}

Class object_getClass(const objc_object* object)
{
    return object ? object->isa : nullptr;
}

Class object_getClass(const id& object)
{
    return object_getClass(object.get());
}

Class object_getClass(Class cls)
{
    return cls ? cls->isa : nullptr;
}

const char* object_getClassName(const objc_object* object)
{
    return class_getName(object_getClass(object));
}

const char* class_getName(Class cls)
{
    return cls ? cls->name.c_str() : "nil";
}

Class class_getSuperclass(Class cls)
{
    return cls ? cls->superclass : nullptr;
}

bool class_isMetaClass(Class cls)
{
    return cls && cls->isMeta;
}

bool class_addMethod(Class cls, SEL selector, IMP imp, const char* types)
{
    if (!cls || !selector || !imp)
        return false;
    std::unique_lock lock(runtimeLock());
    if (ownMethod(cls, selector))
        return false;
    cls->methods.emplace(selector, std::make_unique<objc_method>(objc_method { selector, imp, types ? types : "" }));
    return true;
}

Method class_getInstanceMethod(Class cls, SEL selector)
{
    if (!cls || !selector)
        return nullptr;
    std::shared_lock lock(runtimeLock());
    return findMethod(cls, selector);
}

Method class_getClassMethod(Class cls, SEL selector)
{
    return class_getInstanceMethod(object_getClass(cls), selector);
}

IMP class_getMethodImplementation(Class cls, SEL selector)
{
    Method method = class_getInstanceMethod(cls, selector);
    return method_getImplementation(method);
}

bool class_respondsToSelector(Class cls, SEL selector)
{
    return class_getInstanceMethod(cls, selector) != nullptr;
}

std::vector<Method> class_copyMethodList(Class cls)
{
    std::vector<Method> list;
    if (!cls)
        return list;
    std::shared_lock lock(runtimeLock());
    for (auto& [selector, method] : cls->methods)
        list.push_back(method.get());
    return list;
}

SEL method_getName(Method method)
{
    return method ? method->name : nullptr;
}

IMP method_getImplementation(Method method)
{
    if (!method)
        return nullptr;
    std::shared_lock lock(runtimeLock());
    return method->imp;
}

const char* method_getTypeEncoding(Method method)
{
    return method ? method->types.c_str() : nullptr;
}

IMP method_setImplementation(Method method, IMP imp)
{
    if (!method || !imp)
        return nullptr;
    std::unique_lock lock(runtimeLock());
    IMP previous = method->imp;
    method->imp = imp;
    return previous;
}

Class objc_allocateClassPair(Class superclass, const char* name)
{
    if (!name || objc_getClass(name))
        return nullptr;
    // Classes are never freed: the runtime hands out plain pointers to them forever.
    auto* cls = new objc_class(objc::AllocationKey {});
    auto* meta = new objc_class(objc::AllocationKey {});
    cls->name = name;
    cls->superclass = superclass;
    meta->name = name;
    meta->isMeta = true;
    // A root class's metaclass inherits from the root class itself, so class
    // methods fall back to the root's instance methods, as on the platform.
    meta->superclass = superclass ? superclass->isa : cls;
    meta->isa = superclass ? superclass->isa->isa : meta;
    cls->isa = meta;
    return cls;
}

void objc_registerClassPair(Class cls)
{
    if (!cls || cls->registered)
        return;
    std::unique_lock lock(runtimeLock());
    cls->registered = true;
    classTable().emplace(cls->name, cls);
}

void class_setInstanceFactory(Class cls, id (*factory)())
{
    if (cls)
        cls->factory = factory;
}

id class_createInstance(Class cls)
{
    if (!cls)
        return nullptr;
    id object;
    for (Class typed = cls; typed && !object; typed = typed->superclass) {
        if (typed->factory)
            object = typed->factory();
    }
    if (!object)
        object = std::make_shared<objc_object>(objc::AllocationKey {});
    object->isa = cls;
    return object;
}

std::vector<std::string> objc_copyClassNames()
{
    std::shared_lock lock(runtimeLock());
    std::vector<std::string> names;
    for (auto& [name, cls] : classTable())
        names.push_back(name);
    return names;
}

namespace objc {

UnrecognizedSelector::UnrecognizedSelector(const char* className, SEL selector, bool classMethod)
    : std::runtime_error(std::string(classMethod ? "+[" : "-[") + className + " " + sel_getName(selector) + "]: unrecognized selector sent to "
        + (classMethod ? "class" : "instance"))
{
}

SignatureMismatch::SignatureMismatch(const char* className, SEL selector, bool classMethod, std::string_view stated, std::string_view recorded)
    : std::logic_error(std::string(classMethod ? "+[" : "-[") + className + " " + sel_getName(selector) + "] sent as \"" + std::string(stated)
        + "\" but implemented as \"" + std::string(recorded) + "\"")
{
}

Method lookUpMethod(Class cls, SEL selector)
{
    return class_getInstanceMethod(cls, selector);
}

void checkSignature(Class receiverClass, Method method, const char* stated, bool classMethod)
{
    // A method added without an encoding states nothing to compare with.
    std::string_view recorded = method_getTypeEncoding(method);
    if (!recorded.empty() && recorded != stated)
        throw SignatureMismatch(class_getName(receiverClass), method_getName(method), classMethod, stated, recorded);
}

}
