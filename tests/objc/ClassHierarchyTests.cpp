#include "objc/NSObject.h"
#include "support/RuntimeTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

TEST(ClassLookup, FindsRegisteredClassesByExactName)
{
    Class cls = defineUniqueClass("LookupTarget", NSObject::runtimeClass());
    std::string name = class_getName(cls);
    struct Case {
        const char* name;
        Class expected;
    };
    for (const auto& c : { Case { name.c_str(), cls }, Case { "NSObject", NSObject::runtimeClass() }, Case { "LookupTarget", nullptr },
             Case { "NoSuchClass", nullptr }, Case { nullptr, nullptr } }) {
        SCOPED_TRACE(c.name ? c.name : "null");
        EXPECT_EQ(objc_getClass(c.name), c.expected);
    }
    // A taken name cannot be defined again; a new one is invisible until registered.
    EXPECT_EQ(objc_allocateClassPair(nullptr, name.c_str()), nullptr);
    Class unregistered = objc_allocateClassPair(cls, (name + "_unregistered").c_str());
    ASSERT_NE(unregistered, nullptr);
    EXPECT_EQ(objc_getClass(class_getName(unregistered)), nullptr);
    objc_registerClassPair(unregistered);
    EXPECT_EQ(objc_getClass(class_getName(unregistered)), unregistered);
}

TEST(ClassObjects, InstanceClassAndMetaclass)
{
    Class root = NSObject::runtimeClass();
    Class cls = defineUniqueClass("Shape", root);
    Class meta = object_getClass(cls);
    Class rootMeta = object_getClass(root);
    EXPECT_EQ(object_getClass(makeInstance(cls)), cls);
    EXPECT_NE(meta, cls);
    EXPECT_STREQ(class_getName(meta), class_getName(cls));

    struct Case {
        const char* label;
        Class cls;
        bool isMeta;
        Class superclass, classOfClass;
    };
    const Case cases[] = {
        { "class", cls, false, root, meta },
        { "metaclass", meta, true, rootMeta, rootMeta },
        { "root class", root, false, nullptr, rootMeta },
        // The root metaclass inherits from the root class and is its own class.
        { "root metaclass", rootMeta, true, root, rootMeta },
        { "nil", nullptr, false, nullptr, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(class_isMetaClass(c.cls), c.isMeta);
        EXPECT_EQ(class_getSuperclass(c.cls), c.superclass);
        EXPECT_EQ(object_getClass(c.cls), c.classOfClass);
    }
}
