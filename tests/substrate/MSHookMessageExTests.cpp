#include "objc/NSObject.h"
#include "objc/message.h"
#include "substrate/substrate.h"
#include "support/RuntimeTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

using ValueIMP = int (*)(id, SEL, int);
using ClassValueIMP = int (*)(Class, SEL, int);

int original(id, SEL, int x) { return x + 1; }
int classOriginal(Class, SEL, int x) { return x * 10; }

// Hooks that call through to what they replaced, as a plug-in's usually do.
ValueIMP previousValue = nullptr;
int replacement(id self, SEL selector, int x) { return 1000 + previousValue(self, selector, x); }
ClassValueIMP previousClassValue = nullptr;
int classReplacement(Class self, SEL selector, int x) { return 5000 + previousClassValue(self, selector, x); }

struct HookFixture : testing::Test {
    HookFixture()
    {
        class_addMethod(base, value, toIMP(original), "i@:i");
        class_addMethod(object_getClass(base), classValue, toIMP(classOriginal), "i@:i");
    }
    int send(Class cls, int x) const { return objc::send<int(int)>(makeInstance(cls), value, x); }
    int sendToClass(Class cls, int x) const { return objc::send<int(int)>(cls, classValue, x); }

    Class base = defineUniqueClass("HookBase", NSObject::runtimeClass());
    Class derived = defineUniqueClass("HookDerived", base);
    SEL value = sel_registerName("value:");
    SEL classValue = sel_registerName("classValue:");
};

}

TEST_F(HookFixture, ReplacesAnInstanceMethodAndHandsBackTheOldOne)
{
    IMP previous = nullptr;
    MSHookMessageEx(base, value, toIMP(replacement), &previous);
    ASSERT_EQ(previous, toIMP(original));
    previousValue = reinterpret_cast<ValueIMP>(previous);
    EXPECT_EQ(send(base, 1), 1002);
    EXPECT_EQ(send(derived, 5), 1006);
    EXPECT_EQ(sendToClass(base, 1), 10);
}

TEST_F(HookFixture, ReplacesAClassMethodOnTheMetaclass)
{
    IMP previous = nullptr;
    MSHookMessageEx(object_getClass(base), classValue, toIMP(classReplacement), &previous);
    ASSERT_EQ(previous, toIMP(classOriginal));
    previousClassValue = reinterpret_cast<ClassValueIMP>(previous);
    EXPECT_EQ(sendToClass(base, 3), 5030);
    EXPECT_EQ(sendToClass(derived, 4), 5040);
    EXPECT_EQ(send(base, 3), 4);
}

TEST_F(HookFixture, HookingAnInheritedMethodLeavesTheSuperclassAlone)
{
    IMP previous = nullptr;
    MSHookMessageEx(derived, value, toIMP(replacement), &previous);
    ASSERT_EQ(previous, toIMP(original));
    previousValue = reinterpret_cast<ValueIMP>(previous);
    EXPECT_EQ(send(derived, 2), 1003);
    EXPECT_EQ(send(base, 2), 3);
    // The subclass's own entry keeps the inherited method's types.
    EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(derived, value)), "i@:i");

    MSHookMessageEx(object_getClass(derived), classValue, toIMP(classReplacement), &previous);
    ASSERT_EQ(previous, toIMP(classOriginal));
    previousClassValue = reinterpret_cast<ClassValueIMP>(previous);
    EXPECT_EQ(sendToClass(derived, 2), 5020);
    EXPECT_EQ(sendToClass(base, 2), 20);
}

TEST_F(HookFixture, BadArgumentsChangeNothing)
{
    struct Case {
        const char* label;
        Class cls;
        SEL selector;
        IMP replacement;
    };
    const Case cases[] = {
        { "nil class", nullptr, value, toIMP(replacement) },
        { "unknown selector", base, sel_registerName("notAMethod:"), toIMP(replacement) },
        { "class method named on the class", base, classValue, toIMP(replacement) },
        { "nil selector", base, nullptr, toIMP(replacement) },
        { "nil replacement", base, value, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        IMP previous = toIMP(classOriginal);
        MSHookMessageEx(c.cls, c.selector, c.replacement, &previous);
        EXPECT_EQ(previous, toIMP(classOriginal));
        EXPECT_EQ(send(base, 1), 2);
        EXPECT_EQ(sendToClass(base, 1), 10);
        EXPECT_TRUE(class_copyMethodList(base).size() == 1 && class_copyMethodList(derived).empty());
    }
}

namespace {

substrate::Original<int(int)> typedPrevious;
int typedReplacement(id self, SEL selector, int x) noexcept { return 2000 + typedPrevious(self, selector, x); }
substrate::Original<double(int)> mistypedPrevious;
double mistypedReplacement(id, SEL, int) noexcept { return 0; }

}

TEST_F(HookFixture, TypedHookCallsThroughAndRefusesAnotherSignature)
{
    ASSERT_TRUE(substrate::hookMessage(derived, value, &typedReplacement, typedPrevious));
    EXPECT_EQ(send(derived, 1), 2002);
    EXPECT_EQ(send(base, 1), 2) << "the inherited method stays the superclass's";

    testing::internal::CaptureStderr();
    EXPECT_FALSE(substrate::hookMessage(base, value, &mistypedReplacement, mistypedPrevious));
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("is \"i@:i\", not \"d@:i\""), std::string::npos) << message;
    EXPECT_FALSE(mistypedPrevious);
    EXPECT_EQ(send(base, 1), 2);
}
