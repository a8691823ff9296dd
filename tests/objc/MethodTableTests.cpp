#include "objc/NSObject.h"
#include "support/RuntimeTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
int one(id, SEL) { return 1; }
int two(id, SEL) { return 2; }
int three(id, SEL) { return 3; }
}

TEST(Selectors, AreInternedByName)
{
    for (std::string name : { "count", "initWithFrame:primaryBackdrop:", "" }) {
        SCOPED_TRACE(name);
        std::string copy = name;  // another buffer: only the characters can make the pointers equal
        EXPECT_EQ(sel_registerName(copy.c_str()), sel_registerName(name.c_str()));
        EXPECT_EQ(sel_getName(sel_registerName(name.c_str())), name);
    }
    EXPECT_NE(sel_registerName("count"), sel_registerName("Count"));
    EXPECT_EQ(sel_registerName(nullptr), nullptr);
}

TEST(ClassAddMethod, AddsOnlyWhenTheClassItselfLacksTheName)
{
    Class base = defineUniqueClass("AddBase", NSObject::runtimeClass());
    Class derived = defineUniqueClass("AddDerived", base);
    SEL selector = sel_registerName("value");
    struct Step {
        const char* label;
        Class cls;
        SEL selector;
        IMP imp;
        bool added;
        IMP baseAfter, derivedAfter;
    };
    const Step steps[] = {
        { "new name", base, selector, toIMP(one), true, toIMP(one), toIMP(one) },
        { "same name again keeps the first", base, selector, toIMP(two), false, toIMP(one), toIMP(one) },
        { "subclass may add what its superclass has", derived, selector, toIMP(two), true, toIMP(one), toIMP(two) },
        { "then the subclass has it too", derived, selector, toIMP(three), false, toIMP(one), toIMP(two) },
        { "nil class", nullptr, selector, toIMP(three), false, toIMP(one), toIMP(two) },
        { "nil selector", base, nullptr, toIMP(three), false, toIMP(one), toIMP(two) },
        { "nil implementation", base, sel_registerName("other"), nullptr, false, toIMP(one), toIMP(two) },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.label);
        EXPECT_EQ(class_addMethod(step.cls, step.selector, step.imp, "i@:"), step.added);
        EXPECT_EQ(class_getMethodImplementation(base, selector), step.baseAfter);
        EXPECT_EQ(class_getMethodImplementation(derived, selector), step.derivedAfter);
    }
    EXPECT_FALSE(class_respondsToSelector(base, sel_registerName("other")));
    EXPECT_EQ(class_copyMethodList(derived).size(), 1u);
}

TEST(ClassAddMethod, ClassMethodsLiveOnTheMetaclass)
{
    Class cls = defineUniqueClass("Factory", NSObject::runtimeClass());
    Class derived = defineUniqueClass("FactoryHeir", cls);
    SEL selector = sel_registerName("make");
    ASSERT_TRUE(class_addMethod(object_getClass(cls), selector, toIMP(one), "i@:"));
    EXPECT_NE(class_getClassMethod(cls, selector), nullptr);
    EXPECT_EQ(class_getClassMethod(derived, selector), class_getClassMethod(cls, selector));
    EXPECT_EQ(class_getInstanceMethod(cls, selector), nullptr);
}

TEST(Methods, SetImplementationAnswersTheOneItReplacedAndEncodingsAreKept)
{
    Class cls = defineUniqueClass("Replaceable", NSObject::runtimeClass());
    std::string types = "{CGSize=ff}@:i";
    ASSERT_TRUE(class_addMethod(cls, sel_registerName("size:"), toIMP(one), types.c_str()));
    ASSERT_TRUE(class_addMethod(cls, sel_registerName("untyped"), toIMP(one), nullptr));
    types.assign(types.size(), 'x');  // the runtime keeps its own copy
    Method method = class_getInstanceMethod(cls, sel_registerName("size:"));
    EXPECT_STREQ(method_getTypeEncoding(method), "{CGSize=ff}@:i");
    EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(cls, sel_registerName("untyped"))), "");

    EXPECT_EQ(method_setImplementation(method, toIMP(two)), toIMP(one));
    EXPECT_EQ(method_setImplementation(method, toIMP(three)), toIMP(two));
    EXPECT_EQ(method_setImplementation(method, nullptr), nullptr);  // nil changes nothing
    EXPECT_EQ(method_getImplementation(method), toIMP(three));
}
